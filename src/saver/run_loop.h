// The saver's rhythm, written once for every program that shows it: frames paced to the display's refresh on a
// fixed grid, 60 animation steps a second whatever the refresh, Timer2 every 600 ms of the same clock, a new
// display size taken between frames, the whole frame presented again when the display lost it, and the end. A
// program lends the loop only what is its own: its clock, a wait that handles its window's events as they come,
// and presenting; a program that cannot wait calls in at each refresh instead.
#pragma once

#include "saver/frame_pacer.h"
#include "saver/random_source.h"
#include "saver/saver.h"

namespace quorvel {

inline constexpr double kTimer2Seconds = 0.6;
inline constexpr double kStepSeconds = 1.0 / 60;
// Steps taken at most in one pass after a stall; the rest are dropped rather than run in a burst.
inline constexpr int kMostStepsAtOnce = 4;

// What every program lends the loop to show frames. Each is called at most a few times a frame, never inside
// the pixel loops.
class FrameHost {
public:
    // Takes the display's new size on the program's side: its window or image, and Saver::Resize.
    virtual void ApplyResize() = 0;
    // The frame just drawn, to the display.
    virtual void Present(PresentScope scope) = 0;

protected:
    ~FrameHost() = default;
};

// What a program the loop runs in lends it besides: its clock, and a wait that handles its window's events.
class RunHost : public FrameHost {
public:
    // Seconds on a steady clock, from any origin.
    virtual double Now() = 0;
    // Sleeps until `deadline` on that clock or until events come, and handles the events that came, telling the
    // loop what they mean for it (End, Resize, Repaint). With the deadline passed it only handles what is
    // pending. Returning early is fine: the loop asks again.
    virtual void WaitUntil(double deadline) = 0;

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
    RunLoop(RunHost& host, RunTiming timing, Saver& saver, RandomSource& random) : RunLoop(host, timing) {
        Animate(saver, random);
    }
    // Paces presents with nothing to animate: the presenting floors, which measure what presenting alone costs.
    RunLoop(RunHost& host, RunTiming timing) : RunLoop(static_cast<FrameHost&>(host), timing) { waiting_ = &host; }
    // For a program that cannot be kept waiting (a browser): it calls Start once and then Service each time the
    // display refreshes, and ends the saver itself.
    RunLoop(FrameHost& host, RunTiming timing, Saver& saver, RandomSource& random) : RunLoop(host, timing) {
        Animate(saver, random);
    }

    // Returns when the loop has been told to end or the saver stopped running. Each pass waits for the next
    // deadline, handling events, and then serves what fell due. Only for a loop made with a RunHost.
    void Run();

    // The loop's clock starts at `now`: the first frame is due at once, the first tick a period later.
    void Start(double now);
    // What has fallen due by `now`, without waiting: a new size taken, the timer ticked as it fell due, and at a
    // frame's deadline the steps due taken and the frame drawn and presented. A frame with no step due is neither
    // drawn nor presented, unless the display lost what it showed.
    void Service(double now);

    // What the host tells the loop as it handles events: stop after this pass; the display took another size
    // (taken before the next frame); the display lost what it showed (the next frame is presented whole).
    void End() { ending_ = true; }
    void Resize() { resize_ = true; }
    void Repaint() { repaint_ = true; }

private:
    RunLoop(FrameHost& host, RunTiming timing)
        : host_(host),
          frames_(FramePacer::Every(timing.framePeriod)),
          ticks_(FramePacer::Every(timing.tickPeriod)),
          steps_(FramePacer::Every(timing.stepPeriod)) {}
    void Animate(Saver& saver, RandomSource& random) {
        saver_ = &saver;
        random_ = &random;
    }
    bool Going() const { return !ending_ && (!saver_ || saver_->Running()); }
    void Advance(int steps);
    void Frame(double now, int& budget);

    FrameHost& host_;
    RunHost* waiting_ = nullptr;
    Saver* saver_ = nullptr;
    RandomSource* random_ = nullptr;
    FramePacer frames_, ticks_, steps_;
    int undrawn_ = 0;  // steps taken since the last frame drawn
    bool ending_ = false, resize_ = false, repaint_ = false;
};

}  // namespace quorvel
