// The floor the saver's CPU use is measured against: a full-screen window that does nothing but present two
// 8-bit buffers of the screen's size each frame, paced to the display's refresh rate the way the saver is.
// Usage: present_floor.exe [SECONDS=10] [RESULT_FILE] [--unpaced]
// Writes "frames=N seconds=S fps=F" to RESULT_FILE when given, then exits.
#include <windows.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#include "host/win32/dib.h"
#include "host/win32/frame_clock.h"
#include "host/win32/window_class.h"
#include "saver/frame_pacer.h"

namespace {

using quorvel::win32::Now;

bool running = true;

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_LBUTTONDOWN || message == WM_CLOSE) {
        running = false;
        return 0;
    }
    if (message == WM_ERASEBKGND) return 1;
    return DefWindowProcW(window, message, wParam, lParam);
}

struct Buffer {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ previous = nullptr;
    uint8_t* bits = nullptr;
};

Buffer MakeBuffer(int width, int height) {
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colours[256];
    } info{};
    info.header = quorvel::win32::TopDownDibHeader((width + 3) & ~3, height, 8);
    for (int i = 0; i < 256; ++i) info.colours[i] = RGBQUAD{BYTE(i), BYTE(255 - i), BYTE(i / 2), 0};
    Buffer b;
    b.dc = CreateCompatibleDC(nullptr);
    void* bits = nullptr;
    b.bitmap = CreateDIBSection(b.dc, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits, nullptr, 0);
    b.bits = static_cast<uint8_t*>(bits);
    b.previous = SelectObject(b.dc, b.bitmap);
    return b;
}

void FreeBuffer(Buffer& b) {
    SelectObject(b.dc, b.previous);
    DeleteDC(b.dc);
    DeleteObject(b.bitmap);
}

bool Pump() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) return false;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return running;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    const int argc = __argc;
    wchar_t** argv = __wargv;
    double seconds = 10;
    std::wstring resultFile;
    bool paced = true;
    for (int i = 1; i < argc; ++i) {
        if (std::wcscmp(argv[i], L"--unpaced") == 0)
            paced = false;
        else if (i == 1)
            seconds = std::wcstod(argv[i], nullptr);
        else
            resultFile = argv[i];
    }

    const quorvel::win32::WindowClass wc{
        .name = L"QuorvelPresentFloor", .procedure = WindowProc, .instance = instance, .style = CS_OWNDC};
    quorvel::win32::RegisterWindowClass(wc);
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    HWND window = CreateWindowExW(WS_EX_TOPMOST, wc.name, L"Quorvel present floor", WS_POPUP | WS_VISIBLE, 0,
                                  0, width, height, nullptr, nullptr, instance, nullptr);
    HDC windowDc = GetDC(window);
    Buffer first = MakeBuffer(width, height), second = MakeBuffer(width, height);
    const int pitch = (width + 3) & ~3;
    std::memset(first.bits, 0, static_cast<size_t>(pitch) * height);
    for (int y = 0; y < height; ++y) std::memset(second.bits + static_cast<size_t>(y) * pitch, y & 255, pitch);

    HANDLE timer = CreateWaitableTimerExW(nullptr, nullptr, 0x2 /* HIGH_RESOLUTION */, TIMER_ALL_ACCESS);
    if (!timer) timer = CreateWaitableTimerW(nullptr, FALSE, nullptr);
    const double period = 1.0 / quorvel::PacingRate(quorvel::win32::DisplayRefreshRate(windowDc));
    const double start = Now();
    double deadline = start;
    long frames = 0;
    while (running && Now() - start < seconds) {
        deadline += period;
        if (deadline < Now()) deadline = Now() + period;
        BitBlt(windowDc, 0, 0, pitch, height, first.dc, 0, 0, SRCCOPY);
        BitBlt(windowDc, 0, 0, pitch, height, second.dc, 0, 0, SRCCOPY);
        ++frames;
        if (!Pump()) break;
        while (paced && running) {
            const double remaining = deadline - Now();
            if (remaining <= 0) break;
            LARGE_INTEGER due;
            due.QuadPart = -static_cast<LONGLONG>(std::ceil(remaining * 1e7));
            SetWaitableTimer(timer, &due, 0, nullptr, nullptr, FALSE);
            const DWORD result = MsgWaitForMultipleObjects(1, &timer, FALSE, INFINITE, QS_ALLINPUT);
            if (!Pump() || result == WAIT_OBJECT_0) break;
        }
    }
    const double elapsed = Now() - start;
    if (!resultFile.empty()) {
        if (FILE* out = _wfopen(resultFile.c_str(), L"w")) {
            std::fprintf(out, "frames=%ld seconds=%.3f fps=%.2f\n", frames, elapsed, frames / elapsed);
            std::fclose(out);
        }
    }
    CloseHandle(timer);
    FreeBuffer(first);
    FreeBuffer(second);
    DestroyWindow(window);
    return 0;
}
