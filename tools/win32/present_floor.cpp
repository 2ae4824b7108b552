// The floor the saver's CPU use is measured against: a full-screen window that does nothing but present two
// 8-bit buffers of the screen's size each frame, paced to the display's refresh rate the way the saver is.
// Usage: present_floor.exe [SECONDS=10] [RESULT_FILE] [--unpaced]
// Writes "frames=N seconds=S fps=F" to RESULT_FILE when given, then exits.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#include "host/win32/dib.h"
#include "host/win32/frame_clock.h"
#include "host/win32/message_wait.h"
#include "host/win32/window_class.h"
#include "saver/run_loop.h"

namespace {

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

// Both buffers whole to the window each frame, at the run loop's pace (or as fast as it goes, unpaced), for
// `seconds` or until a click.
class Floor final : public quorvel::RunHost {
public:
    Floor(HDC windowDc, const Buffer (&buffers)[2], int pitch, int height, double seconds, bool paced)
        : windowDc_(windowDc), buffers_(buffers), pitch_(pitch), height_(height), seconds_(seconds),
          loop_(*this, paced ? quorvel::RunTiming::ForRefresh(quorvel::win32::DisplayRefreshRate(windowDc))
                             : quorvel::RunTiming{0}) {}

    // The frames presented.
    long Run() {
        start_ = Now();
        loop_.Run();
        return frames_;
    }
    double Elapsed() { return Now() - start_; }

    double Now() override { return quorvel::win32::Now(); }
    void WaitUntil(double deadline) override {
        wait_.Until(deadline);
        if (quorvel::win32::DispatchPending() || !running || Elapsed() >= seconds_) loop_.End();
    }
    void ApplyResize() override {}
    void Present(quorvel::PresentScope) override {
        for (const Buffer& buffer : buffers_) BitBlt(windowDc_, 0, 0, pitch_, height_, buffer.dc, 0, 0, SRCCOPY);
        ++frames_;
    }

private:
    HDC windowDc_;
    const Buffer (&buffers_)[2];
    int pitch_, height_;
    double seconds_, start_ = 0;
    long frames_ = 0;
    quorvel::win32::FrameWait wait_;
    quorvel::RunLoop loop_;
};

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
    Buffer buffers[2] = {MakeBuffer(width, height), MakeBuffer(width, height)};
    const int pitch = (width + 3) & ~3;
    std::memset(buffers[0].bits, 0, static_cast<size_t>(pitch) * height);
    for (int y = 0; y < height; ++y) std::memset(buffers[1].bits + static_cast<size_t>(y) * pitch, y & 255, pitch);

    Floor floor(windowDc, buffers, pitch, height, seconds, paced);
    const long frames = floor.Run();
    const double elapsed = floor.Elapsed();
    if (!resultFile.empty()) {
        if (FILE* out = _wfopen(resultFile.c_str(), L"w")) {
            std::fprintf(out, "frames=%ld seconds=%.3f fps=%.2f\n", frames, elapsed, frames / elapsed);
            std::fclose(out);
        }
    }
    for (Buffer& buffer : buffers) FreeBuffer(buffer);
    DestroyWindow(window);
    return 0;
}
