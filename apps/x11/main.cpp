// quorvel for X11: the saver core drawing into a window of the daemon's (xscreensaver), a window it is given, or
// one of its own; frames paced to the display's refresh, the timer every 600 ms, and only what changed sent.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <tuple>
#include <utility>

#include "apps/x11/embedded_sheets.h"
#include "host/x11/frame_clock.h"
#include "host/x11/monitors.h"
#include "apps/x11/options.h"
#include "host/x11/presenter.h"
#include "host/x11/scale.h"
#include "host/x11/x_errors.h"
#include "saver/run_loop.h"

namespace quorvel::x11 {
namespace {

constexpr int kOwnWidth = 800, kOwnHeight = 600;

// The daemon ends its programs with a signal: each one becomes a byte on a pipe that the wait watches.
int g_signalPipe[2] = {-1, -1};

void OnSignal(int) {
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = write(g_signalPipe[1], &byte, 1);
    errno = saved;
}

bool CatchEndingSignals() {
    if (pipe2(g_signalPipe, O_NONBLOCK | O_CLOEXEC) != 0) return false;
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    for (int signal : {SIGTERM, SIGINT, SIGHUP})
        if (sigaction(signal, &action, nullptr) != 0) return false;
    return true;
}

// The window drawn on, whoever made it.
struct DrawTarget {
    Window window = None;
    bool own = false;
    Visual* visual = nullptr;
    int depth = 0;
    int width = 0, height = 0;
    // A bare root window or a full-screen one of our own spans the monitors; a daemon's or another program's
    // window is one place to fill, whatever lies under it.
    bool spansMonitors = false;
};

std::optional<DrawTarget> Foreign(Display* display, Window window) {
    XWindowAttributes attributes{};
    {
        QuietErrors quiet;  // a window id that names nothing is reported below, in words
        if (!XGetWindowAttributes(display, window, &attributes)) return std::nullopt;
    }
    // Told of its destruction and size; its input stays with whoever made it.
    XSelectInput(display, window, StructureNotifyMask | ExposureMask);
    return DrawTarget{window, false, attributes.visual, attributes.depth, attributes.width, attributes.height};
}

DrawTarget OwnWindow(Display* display, bool fullscreen) {
    const int screen = DefaultScreen(display);
    DrawTarget target{None, true, DefaultVisual(display, screen), DefaultDepth(display, screen), kOwnWidth, kOwnHeight};
    if (fullscreen) {
        target.width = DisplayWidth(display, screen);
        target.height = DisplayHeight(display, screen);
    }
    XSetWindowAttributes attributes{};
    attributes.background_pixel = BlackPixel(display, screen);
    attributes.event_mask = StructureNotifyMask | ExposureMask | ButtonPressMask | KeyPressMask;
    target.window = XCreateWindow(display, RootWindow(display, screen), 0, 0, static_cast<unsigned>(target.width),
                                  static_cast<unsigned>(target.height), 0, CopyFromParent, InputOutput,
                                  CopyFromParent, CWBackPixel | CWEventMask, &attributes);
    XStoreName(display, target.window, "Quorvel");
    Atom deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(display, target.window, &deleteWindow, 1);
    if (fullscreen) {
        Atom state = XInternAtom(display, "_NET_WM_STATE_FULLSCREEN", False);
        XChangeProperty(display, target.window, XInternAtom(display, "_NET_WM_STATE", False), XA_ATOM, 32,
                        PropModeReplace, reinterpret_cast<unsigned char*>(&state), 1);
    }
    XMapWindow(display, target.window);
    return target;
}

// The X11 side of the run loop: the clock, a wait on the X connection and the signal pipe, and presenting.
class Shell final : public RunHost {
public:
    Shell(Display* display, const DrawTarget& target, const Settings& settings, const Image& cyan, const Image& green)
        : display_(display), target_(target), presenter_(display, target.window, target.visual, target.depth),
          saver_(settings, Box(target.width, target.height), cyan, green, Monitors(), DrawnBuffers::kVisibleOnly,
                 static_cast<float>(ScaleForXftDpi(XGetDefault(display, "Xft", "dpi")))),
          loop_(*this, RunTiming::ForRefresh(RefreshRate(display, target.window)), saver_, random_) {}

    // False when nothing can be presented in this window's format.
    bool Start() { return presenter_.Resize(target_.width, target_.height); }
    void Run(bool logTargets) {
        logTargets_ = logTargets;
        loop_.Run();
    }

    double Now() override { return x11::Now(); }
    void WaitUntil(double deadline) override;
    void ApplyResize() override;
    void Present(PresentScope scope) override;

private:
    static PictureBox Box(int width, int height) { return {nullptr, double(width), double(height)}; }
    std::vector<ScreenRect> Monitors() const {
        return target_.spansMonitors ? MonitorsOn(display_, target_.window) : std::vector<ScreenRect>{};
    }
    void LogTargets();
    void HandlePending();
    void HandleEvent(const XEvent& event);

    Display* display_;
    DrawTarget target_;
    Presenter presenter_;
    Saver saver_;
    TimeOfDayRandom random_;
    RunLoop loop_;
    bool logTargets_ = false;
    ScreenPoint logged_[2] = {{-1, -1}, {-1, -1}};
    std::pair<int, int> newSize_;
    Atom deleteWindow_ = XInternAtom(display_, "WM_DELETE_WINDOW", False);
};

// Sleeps until the time is up, X has something for us or a signal came; never spins.
void Shell::WaitUntil(double deadline) {
    HandlePending();
    const double seconds = deadline - Now();
    if (seconds > 0) {
        pollfd fds[2] = {{ConnectionNumber(display_), POLLIN, 0}, {g_signalPipe[0], POLLIN, 0}};
        const int milliseconds = static_cast<int>(std::ceil(seconds * 1000));
        if (poll(fds, 2, std::max(milliseconds, 1)) > 0 && (fds[1].revents & POLLIN)) loop_.End();
        HandlePending();
    }
    if (WatchedWindowGone()) loop_.End();
}

void Shell::HandlePending() {
    while (XPending(display_) > 0) {
        XEvent event;
        XNextEvent(display_, &event);
        HandleEvent(event);
    }
}

void Shell::HandleEvent(const XEvent& event) {
    switch (event.type) {
    case Expose: loop_.Repaint(); break;
    case ConfigureNotify:
        if (event.xconfigure.window == target_.window &&
            (event.xconfigure.width != target_.width || event.xconfigure.height != target_.height)) {
            newSize_ = {event.xconfigure.width, event.xconfigure.height};
            loop_.Resize();
        }
        break;
    case DestroyNotify:
        if (event.xdestroywindow.window == target_.window) loop_.End();
        break;
    case ClientMessage:
        if (static_cast<Atom>(event.xclient.data.l[0]) == deleteWindow_) loop_.End();
        break;
    case ButtonPress:
        if (target_.own) loop_.End();
        break;
    case KeyPress: {
        const KeySym key = XLookupKeysym(const_cast<XKeyEvent*>(&event.xkey), 0);
        if (target_.own && (key == XK_q || key == XK_Escape)) loop_.End();
        break;
    }
    }
}

// New buffers and a new image of the new size; the crawlers carry on along their paths.
void Shell::ApplyResize() {
    std::tie(target_.width, target_.height) = newSize_;
    saver_.Resize(Box(target_.width, target_.height), Monitors());
    presenter_.Resize(target_.width, target_.height);
}

// Only the buffer drawn from the green sheet stays on the screen, so only it is sent: what changed, or all of it
// when the window was exposed.
void Shell::Present(PresentScope scope) {
    const std::span<const PresentRect> changed = saver_.FindChanges();
    const PixelView frame = saver_.Visible();
    if (!frame.Pixels) return;
    const PresentRect whole{0, 0, target_.width, target_.height};
    presenter_.Put(frame.Pixels, frame.Pitch,
                   scope == PresentScope::kWhole ? std::span<const PresentRect>(&whole, 1) : changed);
    if (logTargets_) LogTargets();
}

void Shell::LogTargets() {
    for (int crawler = 0; crawler < 2; ++crawler) {
        const ScreenPoint target = saver_.Target(crawler);
        if (target.X == logged_[crawler].X && target.Y == logged_[crawler].Y) continue;
        logged_[crawler] = target;
        std::printf("target %d %d %d\n", crawler, target.X, target.Y);
        std::fflush(stdout);
    }
}

// The saver on `target` (the window found as `window`) until it ends; the exit status, the reason printed.
int RunOn(Display* display, Window window, const std::optional<DrawTarget>& target, const Options& options,
          const Image& cyan, const Image& green) {
    if (!target) {
        std::fprintf(stderr, "quorvel: no window 0x%lx on this display\n", window);
        return 1;
    }
    if (target->visual->c_class != TrueColor) {
        std::fprintf(stderr, "quorvel: the window's visual is not TrueColor, which is all this program draws on\n");
        return 1;
    }
    Shell shell(display, *target, options.settings, cyan, green);
    if (shell.Start()) {
        shell.Run(options.logTargets);
    } else if (!WatchedWindowGone()) {
        std::fprintf(stderr, "quorvel: cannot present on this window: its pixels are 16, 24 or 32 bits with "
                             "colour masks this program does not know\n");
        return 1;
    }
    return 0;
}

int Main(int argc, char** argv) {
    const ParsedOptions parsed = ParseOptions(argc - 1, argv + 1);
    if (!parsed.error.empty()) {
        std::fprintf(stderr, "quorvel: %s\n%s", parsed.error.c_str(), kUsage);
        return 2;
    }
    const Options& options = parsed.options;
    if (options.help) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    Image cyan, green;
    if (!DecodeBmp(kCyanSheetBmp, cyan) || !DecodeBmp(kGreenSheetBmp, green)) {
        std::fprintf(stderr, "quorvel: the sprite sheets it carries do not decode\n");
        return 1;
    }
    if (!CatchEndingSignals()) {
        std::perror("quorvel: signals");
        return 1;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "quorvel: cannot open display '%s'\n", XDisplayName(nullptr));
        return 1;
    }
    Window window = None;
    std::optional<DrawTarget> target;
    bool spansMonitors = options.fullscreen;
    if (options.target == Target::OwnWindow) {
        target = OwnWindow(display, options.fullscreen);
        window = target->window;
        TrapErrors(window);
    } else {
        window = options.target == Target::WindowId ? options.windowId : DefaultRootWindow(display);
        spansMonitors = options.target == Target::Root;
        if (const char* named = std::getenv("XSCREENSAVER_WINDOW"); named && options.target == Target::Root) {
            spansMonitors = false;
            const auto id = ParseWindowId(named);
            if (!id) {
                std::fprintf(stderr, "quorvel: XSCREENSAVER_WINDOW holds no window id: '%s'\n", named);
                XCloseDisplay(display);
                return 1;
            }
            window = *id;
        }
        TrapErrors(window);
        target = Foreign(display, window);
    }
    if (target) target->spansMonitors = spansMonitors;
    const int status = RunOn(display, window, target, options, cyan, green);
    if (target && target->own && !WatchedWindowGone()) XDestroyWindow(display, target->window);
    XCloseDisplay(display);
    return status;
}

}  // namespace
}  // namespace quorvel::x11

int main(int argc, char** argv) { return quorvel::x11::Main(argc, argv); }
