// When the next frame (or timer tick) is due: on a fixed grid of deadlines, so the rate holds on average,
// without a burst of catch-up frames after a stall.
#pragma once

namespace quorvel {

inline constexpr int kFallbackRefreshHz = 60;

// The refresh rate to pace to: the reported one, or 60 Hz where the system reports none (0 or 1 means "the
// hardware default") or something implausible.
int PacingRate(int reportedHz);

class FramePacer {
public:
    // One deadline a display refresh, at the rate the system reports.
    static FramePacer ForRefresh(int reportedHz) { return FramePacer(1.0 / PacingRate(reportedHz)); }
    // Deadlines `seconds` apart: 0 makes every one due at once, infinity none after the first.
    static FramePacer Every(double seconds) { return FramePacer(seconds); }

    double Period() const { return period_; }

    // Starts the grid at `first` (seconds on any steady clock): the first deadline.
    void Start(double first) { deadline_ = first; }
    double Deadline() const { return deadline_; }
    bool Due(double now) const { return now >= deadline_; }

    // The deadline has been met at now: the next one is a period after it, or a period from now when the
    // caller has fallen more than a period behind.
    void Next(double now) {
        deadline_ += period_;
        if (deadline_ < now) deadline_ = now + period_;
    }

    // Meets up to `most` deadlines that have passed by `now`, on the grid, and drops any more that have: the next
    // one is then a period from now. Returns how many it met.
    int TakeDue(double now, int most) {
        int taken = 0;
        for (; taken < most && Due(now); ++taken) deadline_ += period_;
        if (Due(now)) deadline_ = now + period_;
        return taken;
    }
    // Meets every deadline before `limit`, at most `most` of them. Returns how many it met.
    int TakeBefore(double limit, int most) {
        int taken = 0;
        for (; taken < most && deadline_ < limit; ++taken) deadline_ += period_;
        return taken;
    }

private:
    explicit FramePacer(double period) : period_(period) {}

    double period_;
    double deadline_ = 0;
};

}  // namespace quorvel
