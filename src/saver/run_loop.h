// The saver's rhythm, written once for every program that shows it: frames paced to the display's refresh on a
// fixed grid, 60 animation steps a second whatever the refresh, Timer2 every 600 ms of the same clock, a new display size taken between frames, the whole frame
// presented again when the display lost it, and the end. A program lends the loop only what is its own: its
// clock, a wait that handles its window's events as they come, and presenting.
#pragma once

#include "saver/frame_pacer.h"
#include "saver/random_source.h"
#include "saver/saver.h"

namespace quorvel {

inline constexpr double kTimer2Seconds = 0.6;
inline constexpr double kStepSeconds = 1.0 / 60;
// Steps taken at most in one pass after a stall; the rest are dropped rather than run in a burst.
inline constexpr int kMostStepsAtOnce = 4;

// What a program lends the loop. Each is called at most a few times a frame, never inside the pixel loops.
class RunHost {
public:
    // Seconds on a steady clock, from any origin.
    virtual double Now() = 0;
    // Sleeps until `deadline` on that clock or until events come, and handles the events that came, telling the
    // loop what they mean for it (End, Resize, Repaint). With the deadline passed it only handles what is
    // pending. Returning early is fine: the loop asks again.
    virtual void WaitUntil(double deadline) = 0;
    // Takes the display's new size on the program's side: its window or image, and Saver::Resize.
    virtual void ApplyResize() = 0;
    // The frame just drawn, to the display.
    virtual void Present(PresentScope scope) = 0;

protected:
    ~RunHost() = default;
};

// The loop's periods, in seconds of the host's clock.
struct RunTiming {
    double framePeriod;                  // 0: the next frame as soon as the last is presented
    double tickPeriod = kTimer2Seconds;  // Timer2; infinity: never
    double stepPeriod = kStepSeconds;    // the animation's steps, whatever the frames

    static RunTiming ForRefresh(int reportedHz) { return {FramePacer::ForRefresh(reportedHz).Period()}; }
};

class RunLoop {
public:
    // Animates `saver`, its timer drawing on `random`, and ends it when the loop ends.
    RunLoop(RunHost& host, RunTiming timing, Saver& saver, RandomSource& random)
        : RunLoop(host, timing) {
        saver_ = &saver;
        random_ = &random;
    }
    // Paces presents with nothing to animate: the presenting floors, which measure what presenting alone costs.
    RunLoop(RunHost& host, RunTiming timing)
        : host_(host),
          frames_(FramePacer::Every(timing.framePeriod)),
          ticks_(FramePacer::Every(timing.tickPeriod)),
          steps_(FramePacer::Every(timing.stepPeriod)) {}

    // Returns when the loop has been told to end or the saver stopped running. Each pass waits for the next
    // deadline, handling events, then ticks the timer as it falls due, and at a frame's deadline draws, takes the
    // steps due and presents; a frame with no step due is neither drawn nor presented.
    void Run();

    // What the host tells the loop as it handles events: stop after this pass; the display took another size
    // (taken before the next frame); the display lost what it showed (the next present is whole).
    void End() { ending_ = true; }
    void Resize() { resize_ = true; }
    void Repaint() { repaint_ = true; }

private:
    bool Going() const { return !ending_ && (!saver_ || saver_->Running()); }
    void Advance(int steps);
    void Frame(double now, int& budget);

    RunHost& host_;
    Saver* saver_ = nullptr;
    RandomSource* random_ = nullptr;
    FramePacer frames_, ticks_, steps_;
    int undrawn_ = 0;  // steps taken since the last frame drawn
    bool ending_ = false, resize_ = false, repaint_ = false;
};

}  // namespace quorvel
