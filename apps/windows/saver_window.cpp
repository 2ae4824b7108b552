// The saver window Tavrin_S on Win32: window, hidden sheet picture boxes, paced animation loop, Timer2 and
// the mouse press that ends it. Everything the crawlers do lives in the portable SaverCore.
#include "apps/windows/saver_window.h"

#include <algorithm>
#include <cmath>

#include <optional>
#include <vector>

#include "seam/gdi.h"
#include "host/win32/frame_clock.h"
#include "host/win32/handles.h"
#include "host/win32/resource_picture.h"
#include "host/win32/window_class.h"
#include "host/win32/window_procedure.h"
#include "saver/frame_pacer.h"
#include "saver/random_source.h"
#include "saver/saver.h"
#include "apps/windows/saver_resources.h"
#include "apps/windows/window_titles.h"

namespace quorvel::win32 {
namespace {

constexpr wchar_t kWindowClass[] = L"Tavrin_S";
constexpr UINT_PTR kTimer2 = 2;
constexpr UINT kTimer2IntervalMs = 600;
// Windows 10 1803's flag for a waitable timer that keeps sub-millisecond time; older headers lack the name.
#ifndef CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
#define CREATE_WAITABLE_TIMER_HIGH_RESOLUTION 0x00000002
#endif

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

class SaverWindow {
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
    bool ProcessEvents();
    void WaitForNextFrame(FramePacer& pacer);
    void SetUpSurfaces();
    void Unload();

    // Form_QueryUnload and Form_Unload together: the running flag drops and the surfaces go.
    void EndSaver() {
        if (saver_) saver_->End();
    }
    void Display_MouseDown() { Unload(); }
    void Timer2_Timer() {
        if (saver_) saver_->Tick(random_);
    }
    void Form_Resize();
    void CoverScreen();
    void Paint(HDC dc);
    PictureBox Display() const { return {ToPlat(displayDc_), double(width_), double(height_)}; }

    HINSTANCE instance_;
    Settings settings_;
    std::optional<Saver> saver_;
    TimeOfDayRandom random_;
    UniqueWindow window_;
    HDC displayDc_ = nullptr;  // the window's own DC (CS_OWNDC): never released, it lives with the window
    VirtualScreen screen_;
    int width_ = 0;
    int height_ = 0;
    UniqueKernelHandle frameTimer_;
    WindowTimer timer2_;
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
    timer2_ = WindowTimer(window, kTimer2, kTimer2IntervalMs);
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
    saver_.emplace(settings_, Display(), cyan, green, screen_.monitors);
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

void SaverWindow::RunAnimation() {
    FramePacer pacer(DisplayRefreshRate(displayDc_));
    // A high-resolution timer where the system has one, so a 16.7 ms wait does not round up to 31 ms.
    frameTimer_ = UniqueKernelHandle(
        CreateWaitableTimerExW(nullptr, nullptr, CREATE_WAITABLE_TIMER_HIGH_RESOLUTION, TIMER_ALL_ACCESS));
    if (!frameTimer_) frameTimer_ = UniqueKernelHandle(CreateWaitableTimerW(nullptr, FALSE, nullptr));
    pacer.Start(Now());
    while (saver_ && saver_->Running()) {
        pacer.FrameStarted(Now());
        saver_->Frame();
        saver_->Present();
        presented_ = true;
        if (!ProcessEvents()) break;
        WaitForNextFrame(pacer);
    }
}

// Dispatches everything pending; false once the window has been unloaded, so no surface is touched again.
bool SaverWindow::ProcessEvents() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            Unload();
            PostQuitMessage(static_cast<int>(message.wParam));  // leave it for whoever runs after us
            return false;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return saver_ && saver_->Running();
}

// Sleeps until the next frame is due, waking for window events and handling them as they come.
void SaverWindow::WaitForNextFrame(FramePacer& pacer) {
    for (;;) {
        const double remaining = pacer.Remaining(Now());
        if (remaining <= 0) return;
        DWORD result;
        if (frameTimer_) {
            LARGE_INTEGER due;
            due.QuadPart = -static_cast<LONGLONG>(std::ceil(remaining * 1e7));  // relative, 100 ns units
            SetWaitableTimer(frameTimer_.Get(), &due, 0, nullptr, nullptr, FALSE);
            HANDLE timer = frameTimer_.Get();
            result = MsgWaitForMultipleObjects(1, &timer, FALSE, INFINITE, QS_ALLINPUT);
        } else {
            result = MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(std::ceil(remaining * 1000)),
                                               QS_ALLINPUT);
        }
        if (!ProcessEvents()) return;
        if (result == WAIT_OBJECT_0 && frameTimer_) return;
        if (result == WAIT_TIMEOUT) return;
    }
}

void SaverWindow::Unload() {
    if (unloaded_) return;
    unloaded_ = true;
    EndSaver();
    window_.Reset();
}

// The visible frame into dc: the display itself for WM_PAINT, or whatever DC WM_PRINTCLIENT hands over.
void SaverWindow::Paint(HDC dc) {
    if (!presented_ || !saver_) return;
    if (dc == displayDc_) {
        saver_->Repaint();
        return;
    }
    const Tavrin_C* frame = saver_->Core().Surfaces[3].get();
    if (frame && frame->GetDC())
        BitBlt(dc, 0, 0, width_, height_, reinterpret_cast<HDC>(frame->GetDC()), 0, 0, SRCCOPY);
}

LRESULT SaverWindow::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_XBUTTONDOWN:
            Display_MouseDown();
            return 0;
        case WM_TIMER:
            if (wParam == kTimer2) Timer2_Timer();
            return 0;
        case WM_CLOSE:
            Unload();  // closed some other way: the same unload, never cancelled
            return 0;
        case WM_DISPLAYCHANGE:
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
            timer2_.Reset();
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
