// When the next frame is due: one frame per display refresh, on a fixed grid of deadlines so the rate holds
// on average, without a burst of catch-up frames after a stall.
#pragma once

namespace quorvel {

inline constexpr int kFallbackRefreshHz = 60;

// The refresh rate to pace to: the reported one, or 60 Hz where the system reports none (0 or 1 means "the
// hardware default") or something implausible.
int PacingRate(int reportedHz);

class FramePacer {
public:
    explicit FramePacer(int refreshHz) : period_(1.0 / PacingRate(refreshHz)) {}

    // Starts the grid at now (seconds on any steady clock): the first frame is due at once.
    void Start(double now) { deadline_ = now; }

    // Seconds still to wait before the next frame is due; 0 when it is due.
    double Remaining(double now) const { return deadline_ > now ? deadline_ - now : 0; }

    // A frame has been started at now: the next one is due one period after the previous deadline, or one
    // period from now when the loop has fallen more than a period behind.
    void FrameStarted(double now) {
        deadline_ += period_;
        if (deadline_ < now) deadline_ = now + period_;
    }

private:
    double period_;
    double deadline_ = 0;
};

}  // namespace quorvel
