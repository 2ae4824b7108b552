// The floor the X11 program's CPU use is measured against: it only presents two whole 8-bit frames of the
// window's size each refresh, through the same presenter (converted, in shared memory where possible) and the
// same run loop, on the root window or $XSCREENSAVER_WINDOW.
// Usage: quorvel-present-floor [SECONDS=10]; prints "frames=N seconds=S fps=F shared=0|1", then exits.
#include <X11/Xlib.h>

#include <poll.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "host/x11/frame_clock.h"
#include "apps/x11/options.h"
#include "host/x11/presenter.h"
#include "host/x11/x_errors.h"
#include "saver/run_loop.h"

using namespace quorvel::x11;

namespace {

// Two frames whose pixels differ, as the saver's two buffers do, presented whole each frame for `seconds`.
class Floor final : public quorvel::RunHost {
public:
    Floor(Presenter& presenter, int width, int height, double seconds, int refreshHz)
        : presenter_(presenter), pitch_((width + 3) & ~3), whole_{0, 0, width, height}, seconds_(seconds),
          loop_(*this, quorvel::RunTiming::ForRefresh(refreshHz)) {
        for (int b = 0; b < 2; ++b) {
            buffers_[b].resize(static_cast<size_t>(pitch_) * height);
            for (size_t i = 0; i < buffers_[b].size(); ++i) buffers_[b][i] = static_cast<uint8_t>((i >> 4) + b * 97);
        }
    }

    // The frames presented.
    int Run() {
        start_ = Now();
        loop_.Run();
        return frames_;
    }

    double Now() override { return quorvel::x11::Now(); }
    void WaitUntil(double deadline) override {
        if (Now() - start_ >= seconds_)
            loop_.End();
        else if (const double wait = deadline - Now(); wait > 0)
            poll(nullptr, 0, static_cast<int>(std::ceil(wait * 1000)));
    }
    void ApplyResize() override {}
    void Present(quorvel::PresentScope) override {
        for (const auto& buffer : buffers_) presenter_.Put(buffer.data(), pitch_, {&whole_, 1});
        ++frames_;
    }

private:
    Presenter& presenter_;
    int pitch_;
    quorvel::PresentRect whole_;
    std::vector<uint8_t> buffers_[2];
    double seconds_, start_ = 0;
    int frames_ = 0;
    quorvel::RunLoop loop_;
};

}  // namespace

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? std::atof(argv[1]) : 10;
    Display* display = XOpenDisplay(nullptr);
    if (!display) return 1;
    Window window = DefaultRootWindow(display);
    if (const char* named = std::getenv("XSCREENSAVER_WINDOW"))
        if (const auto id = ParseWindowId(named)) window = *id;
    TrapErrors(window);
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(display, window, &attributes)) return 1;
    {
        Presenter presenter(display, window, attributes.visual, attributes.depth);
        if (!presenter.Resize(attributes.width, attributes.height)) return 1;
        Floor floor(presenter, attributes.width, attributes.height, seconds, RefreshRate(display, window));
        const int frames = floor.Run();
        std::printf("frames=%d seconds=%.1f fps=%.1f shared=%d\n", frames, seconds, frames / seconds,
                    presenter.Shared() ? 1 : 0);
    }
    XCloseDisplay(display);
    return 0;
}
