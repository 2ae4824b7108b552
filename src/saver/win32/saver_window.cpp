// The saver window Tavrin_S on Win32: window, hidden sheet picture boxes, paced animation loop, Timer2 and
// the mouse press that ends it. Everything the crawlers do lives in the portable SaverCore.
#include "saver/win32/saver_window.h"

#include <cmath>
#include <cstdint>
#include <cstring>

#include "platform/gdi.h"
#include "platform/win32/handles.h"
#include "saver/frame_pacer.h"
#include "saver/random_source.h"
#include "saver/saver_core.h"
#include "saver/sprite_cells.h"
#include "saver/win32/saver_resources.h"
#include "surface/palette.h"

namespace quorvel::win32 {
namespace {

constexpr wchar_t kWindowClass[] = L"Tavrin_S";
constexpr wchar_t kWindowCaption[] = L"Tavrin_Main";
constexpr UINT_PTR kTimer2 = 2;
constexpr UINT kTimer2IntervalMs = 600;

plat::Dc ToPlat(HDC dc) { return reinterpret_cast<plat::Dc>(dc); }

// A hidden picture box holding one sprite sheet. The sheet is matched to the palette here, exactly, and
// held as an 8-bit DIB section with the palette's colour table: the surface's grab then copies indices one
// to one. A 24-bit picture would leave the matching to GDI, and some GDIs match coarsely enough to turn the
// sheet's black into a dark non-zero entry that the blits would draw as boxes.
class SheetPictureBox {
public:
    bool Load(HINSTANCE instance, int resourceId);
    PictureBox Box() const { return {ToPlat(dc_.Get()), double(kSheetSize), double(kSheetSize)}; }

private:
    UniqueMemoryDc dc_;
    UniqueBitmap bitmap_;
    SelectedObject selected_;  // released first: the bitmap leaves the DC before either is deleted
};

// Reads the resource as a BMP file of the sheet's size in 24 bits per pixel, the form the generator writes.
// Every offset is checked against the resource's length before it is used.
bool SheetPictureBox::Load(HINSTANCE instance, int resourceId) {
    HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(resourceId), MAKEINTRESOURCEW(10) /* RT_RCDATA */);
    HGLOBAL loaded = found ? LoadResource(instance, found) : nullptr;
    const auto* data = static_cast<const uint8_t*>(loaded ? LockResource(loaded) : nullptr);
    const DWORD size = found ? SizeofResource(instance, found) : 0;
    if (!data || size < sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER)) return false;
    BITMAPFILEHEADER file;
    BITMAPINFOHEADER header;
    std::memcpy(&file, data, sizeof file);
    std::memcpy(&header, data + sizeof file, sizeof header);
    const int height = header.biHeight < 0 ? -header.biHeight : header.biHeight;
    if (file.bfType != 0x4D42 || header.biBitCount != 24 || header.biCompression != BI_RGB ||
        header.biWidth != kSheetSize || height != kSheetSize)
        return false;
    const size_t stride = (size_t{kSheetSize} * 3 + 3) & ~size_t{3};
    if (uint64_t{file.bfOffBits} + uint64_t{stride} * kSheetSize > size) return false;
    const bool bottomUp = header.biHeight > 0;

    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colours[256];
    } info{};
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    info.header.biWidth = kSheetSize;
    info.header.biHeight = -kSheetSize;  // top-down
    info.header.biPlanes = 1;
    info.header.biBitCount = 8;
    info.header.biCompression = BI_RGB;
    for (int i = 0; i < 256; ++i) {
        info.colours[i].rgbRed = kPalette[static_cast<size_t>(i)].red;
        info.colours[i].rgbGreen = kPalette[static_cast<size_t>(i)].green;
        info.colours[i].rgbBlue = kPalette[static_cast<size_t>(i)].blue;
    }
    void* bits = nullptr;
    dc_ = UniqueMemoryDc(CreateCompatibleDC(nullptr));
    if (!dc_) return false;
    bitmap_ = UniqueBitmap(
        CreateDIBSection(dc_.Get(), reinterpret_cast<const BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap_ || !bits) return false;
    auto* indices = static_cast<uint8_t*>(bits);
    uint32_t lastColour = 0;  // runs of one colour (mostly black) are matched once
    uint8_t lastIndex = 0;
    for (int y = 0; y < kSheetSize; ++y) {
        const uint8_t* row = data + file.bfOffBits + stride * static_cast<size_t>(bottomUp ? kSheetSize - 1 - y : y);
        for (int x = 0; x < kSheetSize; ++x) {
            const uint8_t* p = row + 3 * x;
            const uint32_t colour = (uint32_t{p[2]} << 16) | (uint32_t{p[1]} << 8) | p[0];
            if (colour != lastColour) {
                lastColour = colour;
                lastIndex = NearestPaletteIndex(p[2], p[1], p[0]);
            }
            indices[y * kSheetSize + x] = lastIndex;
        }
    }
    selected_ = SelectedObject(dc_.Get(), bitmap_.Get());
    return true;
}

// Seconds on the high-resolution performance counter.
double Now() {
    static const double frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return double(f.QuadPart);
    }();
    LARGE_INTEGER c;
    QueryPerformanceCounter(&c);
    return double(c.QuadPart) / frequency;
}

int DisplayRefreshRate(HDC windowDc) {
    DEVMODEW mode{};
    mode.dmSize = sizeof mode;
    if (EnumDisplaySettingsW(nullptr, ENUM_CURRENT_SETTINGS, &mode) && mode.dmDisplayFrequency > 1)
        return static_cast<int>(mode.dmDisplayFrequency);
    return windowDc ? GetDeviceCaps(windowDc, VREFRESH) : 0;
}

class SaverWindow {
public:
    SaverWindow(HINSTANCE instance, const Settings& settings) : instance_(instance), core_(settings) {}
    // The window goes while this object is still whole, since its handlers reach into it.
    ~SaverWindow() { Unload(); }

    bool Create();
    void Form_Load();
    void Form_Activate();

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    void RunAnimation();
    bool ProcessEvents();
    void WaitForNextFrame(FramePacer& pacer);
    void SetUpSurfaces();
    void TearDownSurfaces() { core_.TearDownSurfaces(); }
    void Unload();

    void Form_QueryUnload() { core_.Form_QueryUnload(); }
    void Form_Unload() { TearDownSurfaces(); }
    void Display_MouseDown() { Unload(); }
    void Timer2_Timer() { core_.Timer2_Timer(random_); }
    void Paint(HDC dc);

    HINSTANCE instance_;
    SaverCore core_;
    TimeOfDayRandom random_;
    UniqueWindow window_;
    HDC displayDc_ = nullptr;  // the window's own DC (CS_OWNDC): never released, it lives with the window
    int width_ = 0;
    int height_ = 0;
    SheetPictureBox picSource_[2];
    UniqueKernelHandle frameTimer_;
    WindowTimer timer2_;
    bool presented_ = false;
    bool unloaded_ = false;
};

bool SaverWindow::Create() {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_OWNDC;
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance_;
    wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512) /* IDC_ARROW */);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);  // Display's colour until the first frame
    wc.lpszClassName = kWindowClass;
    RegisterClassExW(&wc);  // fails harmlessly when already registered
    HWND window =
        CreateWindowExW(0, kWindowClass, kWindowCaption, WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance_, this);
    if (!window) return false;
    window_ = UniqueWindow(window);
    displayDc_ = GetDC(window);
    return true;
}

void SaverWindow::Form_Load() {
    HWND window = window_.Get();
    width_ = GetSystemMetrics(SM_CXSCREEN);
    height_ = GetSystemMetrics(SM_CYSCREEN);
    // The window and its drawing area cover the whole primary screen.
    MoveWindow(window, 0, 0, width_, height_, FALSE);
    RECT client{};
    GetClientRect(window, &client);
    width_ = client.right - client.left;
    height_ = client.bottom - client.top;
    core_.FillTrails(width_, height_);
    timer2_ = WindowTimer(window, kTimer2, kTimer2IntervalMs);
    ShowWindow(window, SW_SHOWNORMAL);
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
}

void SaverWindow::Form_Activate() {
    SetForegroundWindow(window_.Get());
    SetUpSurfaces();
    RunAnimation();
}

void SaverWindow::SetUpSurfaces() {
    picSource_[0].Load(instance_, IDR_SHEET_CYAN);
    picSource_[1].Load(instance_, IDR_SHEET_GREEN);
    const PictureBox display{ToPlat(displayDc_), double(width_), double(height_)};
    core_.ActivateDisplay(display, picSource_[0].Box(), picSource_[1].Box());
}

void SaverWindow::RunAnimation() {
    core_.StartAnimation();
    FramePacer pacer(DisplayRefreshRate(displayDc_));
    // A high-resolution timer where the system has one, so a 16.7 ms wait does not round up to 31 ms.
    frameTimer_ =
        UniqueKernelHandle(CreateWaitableTimerExW(nullptr, nullptr, 0x2 /* HIGH_RESOLUTION */, TIMER_ALL_ACCESS));
    if (!frameTimer_) frameTimer_ = UniqueKernelHandle(CreateWaitableTimerW(nullptr, FALSE, nullptr));
    pacer.Start(Now());
    while (core_.Running) {
        pacer.FrameStarted(Now());
        core_.RunFrame();
        core_.Present();
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
    return core_.Running != 0;
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
    Form_QueryUnload();
    Form_Unload();
    window_.Reset();
}

// The visible frame into dc: the display itself for WM_PAINT, or whatever DC WM_PRINTCLIENT hands over.
void SaverWindow::Paint(HDC dc) {
    if (!presented_) return;
    if (dc == displayDc_) {
        core_.Present();
        return;
    }
    const Tavrin_C* frame = core_.Surfaces[3].get();
    if (frame && frame->GetDC())
        BitBlt(dc, 0, 0, width_, height_, reinterpret_cast<HDC>(frame->GetDC()), 0, 0, SRCCOPY);
}

LRESULT CALLBACK SaverWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<SaverWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self) return DefWindowProcW(window, message, wParam, lParam);
    return self->HandleMessage(window, message, wParam, lParam);
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
                Form_QueryUnload();
                Form_Unload();
            }
            SetWindowLongPtrW(window, GWLP_USERDATA, 0);
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
