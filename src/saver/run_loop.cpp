// The one run loop: the order of waiting, resizing, ticking, drawing and presenting within a pass.
#include "saver/run_loop.h"

#include <algorithm>
#include <utility>

namespace quorvel {

void RunLoop::Run() {
    const double start = host_.Now();
    frames_.Start(start);  // the first frame at once
    ticks_.Start(start + ticks_.Period());
    while (Going()) {
        host_.WaitUntil(std::min(frames_.Deadline(), ticks_.Deadline()));
        if (!Going()) break;
        if (std::exchange(resize_, false)) host_.ApplyResize();
        const double now = host_.Now();
        // A tick that falls due with a frame comes first, as the timer's message would be handled before it.
        if (ticks_.Due(now)) {
            ticks_.Next(now);
            if (saver_) saver_->Tick(*random_);
        }
        if (frames_.Due(now)) {
            frames_.Next(now);
            if (saver_) saver_->Frame();
            host_.Present(std::exchange(repaint_, false) ? PresentScope::kWhole : PresentScope::kChanged);
        }
    }
    if (saver_) saver_->End();
}

}  // namespace quorvel
