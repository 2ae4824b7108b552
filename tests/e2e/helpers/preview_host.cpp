// Stands in for the display settings' preview monitor: a frame window holding a preview window of the given
// client size, with the program inside it.
// Usage: preview_host.exe WIDTH HEIGHT STATE_FOLDER, with QV_LAUNCH_EXE the program and QV_HOST_ARGS its
// arguments, %h standing for the preview window's handle. With QV_HOST_MODE=thread the program's own preview code
// runs on a thread of this process instead (the program file loaded for its resources only): Wine shows no window
// of one process inside a window of another, so this is how a screenshot can see what the preview paints.
// The state folder receives host.txt ("left=" and "top=" of the preview's client area on the screen, "program=" the
// process that shows the preview) and children.txt (one line per child of the preview window, rewritten when it
// changes). command.txt in it takes one command at a time: "destroy" (the preview window), "again" (a new preview
// window of the same size with the program started in it anew, host.txt rewritten), "destroy-frame" or
// "close-frame" (WM_CLOSE to the frame). The host ends when its frame is gone.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "apps/windows/preview_window.h"
#include "helper.h"
#include "host/win32/window_class.h"

namespace {

HWND g_frame = nullptr;
HWND g_preview = nullptr;
HINSTANCE g_resources = nullptr;

std::string Children() {
    std::string text;
    for (HWND child = GetWindow(g_preview, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        RECT r{};
        GetWindowRect(child, &r);
        MapWindowPoints(HWND_DESKTOP, g_preview, reinterpret_cast<POINT*>(&r), 2);
        DWORD pid = 0;
        GetWindowThreadProcessId(child, &pid);
        char line[160];
        std::snprintf(line, sizeof line, "pid=%lu child=%d visible=%d at=%ld,%ld size=%ldx%ld\n", pid,
                      (GetWindowLongW(child, GWL_STYLE) & WS_CHILD) ? 1 : 0, IsWindowVisible(child) ? 1 : 0, r.left,
                      r.top, r.right - r.left, r.bottom - r.top);
        text += line;
    }
    return text;
}

std::string TakeCommand(const std::wstring& path) {
    char text[64] = {};
    if (FILE* file = _wfopen(path.c_str(), L"rb")) {
        std::fscanf(file, "%63s", text);
        std::fclose(file);
        DeleteFileW(path.c_str());
    }
    return text;
}

DWORD WINAPI PreviewThread(void*) {
    quorvel::win32::RunPreview(g_resources, g_preview);
    return 0;
}

LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY && window == g_frame) PostQuitMessage(0);
    return DefWindowProcW(window, message, wParam, lParam);
}

constexpr wchar_t kHostClass[] = L"QuorvelTestPreviewHost";

struct Host {
    HINSTANCE instance = nullptr;
    int width = 0;
    int height = 0;
    std::wstring folder;   // the state folder, with its trailing separator
    std::wstring program;  // QV_LAUNCH_EXE
    bool thread = false;   // the program's preview code on a thread of this process
};

// A preview window with the program (or its preview code) inside it, and host.txt saying where and whose.
bool OpenPreview(const Host& host) {
    g_preview = CreateWindowExW(0, kHostClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 8, 8, host.width,
                                host.height, g_frame, nullptr, host.instance, nullptr);
    std::wstring arguments = Variable(L"QV_HOST_ARGS");
    const std::wstring handle = std::to_wstring(reinterpret_cast<ULONG_PTR>(g_preview));
    for (size_t at = arguments.find(L"%h"); at != std::wstring::npos; at = arguments.find(L"%h", at))
        arguments.replace(at, 2, handle);
    const bool started = g_preview && host.thread && CreateThread(nullptr, 0, PreviewThread, nullptr, 0, nullptr);
    const DWORD programPid = !g_preview     ? 0
                             : host.thread ? (started ? GetCurrentProcessId() : 0)
                                           : Launch(host.program, arguments).dwProcessId;
    POINT origin{0, 0};
    ClientToScreen(g_preview, &origin);
    WriteStateFile(host.folder + L"host.txt", "left=" + std::to_string(origin.x) + "\ntop=" +
                                                  std::to_string(origin.y) + "\nprogram=" +
                                                  std::to_string(programPid) + "\n");
    return programPid != 0;
}

// Keeps children.txt up to date and obeys command.txt until the frame is gone.
int ServeStateFolder(const Host& host) {
    std::string children = "none";
    for (;;) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) return 0;
            DispatchMessageW(&message);
        }
        const std::string now = IsWindow(g_preview) ? Children() : "";
        if (now != children) {
            children = now;
            WriteStateFile(host.folder + L"children.txt", children);
        }
        const std::string command = TakeCommand(host.folder + L"command.txt");
        if (command == "destroy") DestroyWindow(g_preview);
        if (command == "again" && !IsWindow(g_preview) && !OpenPreview(host)) return 5;
        if (command == "destroy-frame") DestroyWindow(g_frame);
        if (command == "close-frame") PostMessageW(g_frame, WM_CLOSE, 0, 0);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    if (__argc != 4) return 2;
    Host host;
    host.instance = instance;
    host.width = std::wcstol(__wargv[1], nullptr, 10);
    host.height = std::wcstol(__wargv[2], nullptr, 10);
    host.folder = std::wstring(__wargv[3]) + L"\\";
    host.program = Variable(L"QV_LAUNCH_EXE");
    host.thread = Variable(L"QV_HOST_MODE") == L"thread";

    // Magenta, so any part of the preview that the program leaves unpainted stands out.
    quorvel::win32::RegisterWindowClass({.name = kHostClass,
                                         .procedure = FrameProc,
                                         .instance = instance,
                                         .background = CreateSolidBrush(RGB(255, 0, 255))});

    const DWORD frameStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    RECT outer{0, 0, host.width + 16, host.height + 16};
    AdjustWindowRect(&outer, frameStyle, FALSE);
    g_frame = CreateWindowExW(0, kHostClass, L"Quorvel preview host", frameStyle, 60, 60, outer.right - outer.left,
                              outer.bottom - outer.top, nullptr, nullptr, instance, nullptr);
    if (!g_frame) return 3;
    ShowWindow(g_frame, SW_SHOW);
    UpdateWindow(g_frame);
    if (host.thread && !(g_resources = static_cast<HINSTANCE>(LoadLibraryExW(
                             host.program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE))))
        return 4;
    if (!OpenPreview(host)) return 5;
    return ServeStateFolder(host);
}
