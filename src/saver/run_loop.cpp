// The one run loop: the order of waiting, resizing, ticking, stepping, drawing and presenting within a pass.
#include "saver/run_loop.h"

#include <algorithm>
#include <utility>

namespace quorvel {

void RunLoop::Run() {
    const double start = host_.Now();
    frames_.Start(start);  // the first frame at once
    ticks_.Start(start + ticks_.Period());
    steps_.Start(start);
    while (Going()) {
        host_.WaitUntil(std::min(frames_.Deadline(), ticks_.Deadline()));
        if (!Going()) break;
        if (std::exchange(resize_, false)) host_.ApplyResize();
        const double now = host_.Now();
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
    if (saver_) saver_->End();
}

void RunLoop::Advance(int steps) {
    for (int i = 0; i < steps; ++i) saver_->Advance();
}

// The frame shows the crawlers as they were before the steps due at it, as one drawn and then stepped would.
void RunLoop::Frame(double now, int& budget) {
    frames_.Next(now);
    if (saver_) {
        const int due = steps_.TakeDue(now, budget);
        budget -= due;
        if (due + std::exchange(undrawn_, 0) == 0) return;  // a refresh faster than the steps: nothing new
        saver_->Draw();
        Advance(due);
    }
    host_.Present(std::exchange(repaint_, false) ? PresentScope::kWhole : PresentScope::kChanged);
}

}  // namespace quorvel
