// The one run loop: the order of waiting, resizing, ticking, stepping, drawing and presenting within a pass.
#include "saver/run_loop.h"

#include <algorithm>
#include <cassert>
#include <utility>

namespace quorvel {

void RunLoop::Run() {
    assert(waiting_ && "a loop whose host cannot wait is served, not run");
    Start(waiting_->Now());
    while (Going()) {
        waiting_->WaitUntil(std::min(frames_.Deadline(), ticks_.Deadline()));
        Service(waiting_->Now());
    }
    if (saver_) saver_->End();
}

void RunLoop::Start(double now) {
    frames_.Start(now);
    ticks_.Start(now + ticks_.Period());
    // Steps fall due half a step before the frames of a display as fast as they are: a host called at each
    // refresh comes a little before or after the refresh's own time, and on a grid that the refreshes straddle it
    // would take no step at one and two at the next.
    steps_.Start(now - steps_.Period() / 2);
}

void RunLoop::Service(double now) {
    if (!Going()) return;
    if (std::exchange(resize_, false)) host_.ApplyResize();
    int budget = kMostStepsAtOnce;
    // A tick comes after the steps due before it and before any due with or after it, whatever the refresh,
    // so the crawlers take the same path at every rate.
    if (ticks_.Due(now)) {
        if (saver_) {
            const int taken = steps_.TakeBefore(ticks_.Deadline(), budget);
            budget -= taken;
            undrawn_ += taken;
            Advance(taken);
        }
        ticks_.Next(now);
        if (saver_) saver_->Tick(*random_);
    }
    if (frames_.Due(now)) Frame(now, budget);
}

void RunLoop::Advance(int steps) {
    for (int i = 0; i < steps; ++i) saver_->Advance();
}

// The frame shows the crawlers as they were before the steps due at it, as one drawn and then stepped would.
void RunLoop::Frame(double now, int& budget) {
    frames_.Next(now);
    const bool whole = std::exchange(repaint_, false);
    if (saver_) {
        const int due = steps_.TakeDue(now, budget);
        budget -= due;
        // A refresh faster than the steps brings nothing new, but a display that lost its picture gets it back.
        if (due + std::exchange(undrawn_, 0) == 0 && !whole) return;
        saver_->Draw();
        Advance(due);
    }
    host_.Present(whole ? PresentScope::kWhole : PresentScope::kChanged);
}

}  // namespace quorvel
