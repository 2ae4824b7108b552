// The floor the X11 program's CPU use is measured against: it only presents two whole 8-bit frames of the
// window's size each refresh, through the same presenter (converted, in shared memory where possible) and the
// same pacing, on the root window or $XSCREENSAVER_WINDOW.
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
#include "saver/frame_pacer.h"

using namespace quorvel::x11;

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
    const int width = attributes.width, height = attributes.height, pitch = (width + 3) & ~3;
    int frames = 0;
    {
        Presenter presenter(display, window, attributes.visual, attributes.depth);
        if (!presenter.Resize(width, height)) return 1;
        // Two frames whose pixels differ, as the saver's two buffers do.
        std::vector<uint8_t> buffers[2];
        for (int b = 0; b < 2; ++b) {
            buffers[b].resize(static_cast<size_t>(pitch) * height);
            for (size_t i = 0; i < buffers[b].size(); ++i) buffers[b][i] = static_cast<uint8_t>((i >> 4) + b * 97);
        }
        const quorvel::PresentRect whole{0, 0, width, height};
        quorvel::FramePacer pacer(RefreshRate(display, window));
        const double start = Now();
        pacer.Start(start);
        while (Now() - start < seconds) {
            pacer.FrameStarted(Now());
            for (const auto& buffer : buffers) presenter.Put(buffer.data(), pitch, {&whole, 1});
            ++frames;
            if (const double wait = pacer.Remaining(Now()); wait > 0)
                poll(nullptr, 0, static_cast<int>(std::ceil(wait * 1000)));
        }
        std::printf("frames=%d seconds=%.1f fps=%.1f shared=%d\n", frames, seconds, frames / seconds,
                    presenter.Shared() ? 1 : 0);
    }
    XCloseDisplay(display);
    return 0;
}
