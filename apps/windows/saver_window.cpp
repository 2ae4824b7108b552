// The saver window Tavrin_S on Win32: window, hidden sheet picture boxes, and what the run loop asks of Windows
// (the clock, a wait that dispatches messages, presenting); the mouse press ends it. Everything the crawlers do,
// and the rhythm of frames and Timer2, lives in the portable saver.
#include "apps/windows/saver_window.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "seam/gdi.h"
#include "host/win32/dpi.h"
#include "host/win32/frame_clock.h"
#include "host/win32/handles.h"
#include "host/win32/message_wait.h"
#include "host/win32/resource_picture.h"
#include "host/win32/window_class.h"
#include "host/win32/window_procedure.h"
#include "saver/run_loop.h"
#include "apps/windows/saver_resources.h"
#include "apps/windows/window_titles.h"

namespace quorvel::win32 {
namespace {

constexpr wchar_t kWindowClass[] = L"Tavrin_S";

plat::Dc ToPlat(HDC dc) { return reinterpret_cast<plat::Dc>(dc); }

// Every monitor together: the virtual screen's rectangle, and each monitor's place within it.
struct VirtualScreen {
    RECT rect{};
    std::vector<ScreenRect> monitors;

    bool operator==(const VirtualScreen& other) const {
        return EqualRect(&rect, &other.rect) && monitors.size() == other.monitors.size() &&
               std::equal(monitors.begin(), monitors.end(), other.monitors.begin(),
                          [](const ScreenRect& a, const ScreenRect& b) {
                              return a.Left == b.Left && a.Top == b.Top && a.Right == b.Right && a.Bottom == b.Bottom;
                          });
    }
};

BOOL CALLBACK AddMonitor(HMONITOR, HDC, LPRECT area, LPARAM data) {
    auto* screen = reinterpret_cast<VirtualScreen*>(data);
    screen->monitors.push_back({area->left - screen->rect.left, area->top - screen->rect.top,
                                area->right - screen->rect.left, area->bottom - screen->rect.top});
    return TRUE;
}

VirtualScreen ReadVirtualScreen() {
    VirtualScreen screen;
    const int x = GetSystemMetrics(SM_XVIRTUALSCREEN), y = GetSystemMetrics(SM_YVIRTUALSCREEN);
    const int width = GetSystemMetrics(SM_CXVIRTUALSCREEN), height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    if (width > 0 && height > 0)
        SetRect(&screen.rect, x, y, x + width, y + height);
    else  // a system that knows only one screen
        SetRect(&screen.rect, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&screen));
    return screen;
}

class SaverWindow final : public RunHost {
public:
    SaverWindow(HINSTANCE instance, const Settings& settings) : instance_(instance), settings_(settings) {}
    // The window goes while this object is still whole, since its handlers reach into it.
    ~SaverWindow() { Unload(); }

    bool Create();
    void Form_Load();
    void Form_Activate();

private:
    LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    void RunAnimation();
    void ProcessEvents();
    void SetUpSurfaces();
    void Unload();

    // What the run loop asks of this window.
    double Now() override { return win32::Now(); }
    void WaitUntil(double deadline) override;
    void ApplyResize() override { Form_Resize(); }
    void Present(PresentScope scope) override;

    // Form_QueryUnload and Form_Unload together: the loop stops, the running flag drops and the surfaces go.
    void EndSaver() {
        if (loop_) loop_->End();
        if (saver_) saver_->End();
    }
    void Display_MouseDown() { Unload(); }
    void Form_Resize();
    void CoverScreen();
    void Paint(HDC dc);
    PictureBox Display() const { return {ToPlat(displayDc_), double(width_), double(height_)}; }

    HINSTANCE instance_;
    Settings settings_;
    std::optional<Saver> saver_;
    TimeOfDayRandom random_;
    std::optional<RunLoop> loop_;
    FrameWait wait_;
    UniqueWindow window_;
    HDC displayDc_ = nullptr;  // the window's own DC (CS_OWNDC): never released, it lives with the window
    VirtualScreen screen_;
    int width_ = 0;
    int height_ = 0;
    bool presented_ = false;
    bool unloaded_ = false;
};

bool SaverWindow::Create() {
    RegisterWindowClass({.name = kWindowClass,
                         .procedure = WindowProcedure<SaverWindow, &SaverWindow::HandleMessage>,
                         .instance = instance_,
                         .style = CS_OWNDC,
                         .cursor = LoadCursorW(nullptr, IDC_ARROW),
                         // Display's colour until the first frame
                         .background = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1)});
    HWND window =
        CreateWindowExW(0, kWindowClass, kSaverWindowTitle, WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance_, this);
    if (!window) return false;
    window_ = UniqueWindow(window);
    displayDc_ = GetDC(window);
    return true;
}

void SaverWindow::Form_Load() {
    HWND window = window_.Get();
    screen_ = ReadVirtualScreen();
    CoverScreen();
    ShowWindow(window, SW_SHOWNORMAL);
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
}

void SaverWindow::Form_Activate() {
    SetForegroundWindow(window_.Get());
    SetUpSurfaces();
    RunAnimation();
}

// The rings, the surfaces and the body, all made by the core from the sheets the program carries.
void SaverWindow::SetUpSurfaces() {
    Image cyan, green;
    LoadPictureResource(instance_, IDR_SHEET_CYAN, cyan);
    LoadPictureResource(instance_, IDR_SHEET_GREEN, green);
    // Scaled by the primary monitor's DPI: being DPI aware, the window gets no magnification from Windows.
    saver_.emplace(settings_, Display(), cyan, green, screen_.monitors, DrawnBuffers::kBoth,
                   static_cast<float>(PrimaryMonitorScale()));
}

// The window and its drawing area cover every monitor, from the virtual screen's top-left corner (negative
// when a monitor lies left of or above the primary one).
void SaverWindow::CoverScreen() {
    const RECT& r = screen_.rect;
    MoveWindow(window_.Get(), r.left, r.top, r.right - r.left, r.bottom - r.top, FALSE);
    RECT client{};
    GetClientRect(window_.Get(), &client);
    width_ = client.right - client.left;
    height_ = client.bottom - client.top;
}

// The screen changed (a new resolution, a monitor added or removed): the window follows it and the frames with
// it; the crawlers carry on.
void SaverWindow::Form_Resize() {
    VirtualScreen screen = ReadVirtualScreen();
    if (screen == screen_) return;
    screen_ = std::move(screen);
    CoverScreen();
    if (saver_) saver_->Resize(Display(), screen_.monitors);
}

// Frames at the display's refresh rate and Timer2 every 600 ms, until the window unloads.
void SaverWindow::RunAnimation() {
    if (!saver_) return;
    loop_.emplace(*this, RunTiming::ForRefresh(DisplayRefreshRate(displayDc_)), *saver_, random_);
    loop_->Run();
    loop_.reset();
}

// Sleeps until the deadline, waking for window messages and handling them as they come.
void SaverWindow::WaitUntil(double deadline) {
    wait_.Until(deadline);
    ProcessEvents();
}

void SaverWindow::Present(PresentScope scope) {
    saver_->Present(scope);
    presented_ = true;
}

// Dispatches everything pending. A quit request unloads the window, which ends the loop before it touches a
// surface again.
void SaverWindow::ProcessEvents() {
    if (const auto quit = DispatchPending()) {
        Unload();
        PostQuitMessage(*quit);  // leave it for whoever runs after us
    }
}

void SaverWindow::Unload() {
    if (unloaded_) return;
    unloaded_ = true;
    EndSaver();
    window_.Reset();
}

// The visible frame into dc: the display itself for WM_PAINT (whole, with the next frame), or whatever DC
// WM_PRINTCLIENT hands over.
void SaverWindow::Paint(HDC dc) {
    if (!presented_ || !saver_) return;
    if (dc == displayDc_) {
        if (loop_) loop_->Repaint();
        return;
    }
    saver_->CopyVisibleTo(ToPlat(dc));
}

LRESULT SaverWindow::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_XBUTTONDOWN:
            Display_MouseDown();
            return 0;
        case WM_CLOSE:
            Unload();  // closed some other way: the same unload, never cancelled
            return 0;
        case WM_DISPLAYCHANGE:
            if (loop_)
                loop_->Resize();  // taken between frames
            else
                Form_Resize();
            return 0;
        case WM_ERASEBKGND:
            if (presented_) return 1;  // the frame covers everything; erasing would only flicker
            break;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            BeginPaint(window, &ps);
            Paint(displayDc_);
            EndPaint(window, &ps);
            return 0;
        }
        case WM_PRINTCLIENT:
            Paint(reinterpret_cast<HDC>(wParam));
            return 0;
        case WM_DESTROY:
            window_.Forget();
            if (!unloaded_) {
                unloaded_ = true;
                EndSaver();
            }
            return 0;
        default:
            break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

void RunSaver(HINSTANCE instance, const quorvel::Settings& settings) {
    SaverWindow saver(instance, settings);
    if (!saver.Create()) return;
    saver.Form_Load();
    saver.Form_Activate();
}

}  // namespace quorvel::win32
