// Stands in for the display settings' preview monitor. Opens a frame window holding a child
// "preview" window of the requested client size, starts the program with that child's handle in
// its command line, and reports through files in a state folder so a test script can follow it.
//
// Usage: preview_host.exe <width> <height>
// Environment:
//   QV_LAUNCH_EXE  Windows path of the program to start
//   QV_HOST_MODE   "process" (default): start the program with the handle on its command line.
//                  "thread": run the program's own preview code (compiled in here) on a second
//                  thread of this process, with the program file loaded only for its resources.
//                  Wine draws no window of one process inside a window of another, so this is
//                  how a screenshot can show what the preview paints.
//   QV_HOST_ARGS   the program's argument text with %h standing for the preview window's handle in
//                  decimal, e.g. "/p %h", "/P %h", "/p:%h" (passed here, not on the command line,
//                  so that blanks and quotes arrive untouched)
//   QV_HOST_DIR    Windows path of the state folder
// Files written into the state folder (each written whole, then renamed into place):
//   host.txt      hwnd=, frame=, left=, top= (screen position of the preview's client area),
//                 width=, height=, pid= (the process that shows the preview)
//   exit.txt      code= (the program's or thread's exit code), ms_after_destroy= (time from the
//                 destroy command to the program's end, -1 when no destroy was asked for)
//   children.txt  one line per child window of the preview window: hwnd, pid, child style bit,
//                 visibility and its rectangle relative to the preview's client area
// Commands, read from command.txt in the state folder (the file is removed once read):
//   destroy        destroy the preview window (the program's window goes with it)
//   destroy-frame  destroy the whole frame window
//   close-frame    post WM_CLOSE to the frame window
//   children       write children.txt
// The host ends when its frame is gone and the program has ended (or 10 s after that).
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "startup/win32/preview_window.h"

namespace {

std::wstring g_stateDir;
HWND g_frame = nullptr;
HWND g_preview = nullptr;
HINSTANCE g_resources = nullptr;

DWORD WINAPI PreviewThread(void* host) {
    quorvel::win32::RunPreview(g_resources, static_cast<HWND>(host));
    return 0;
}

std::wstring StatePath(const wchar_t* name) { return g_stateDir + L"\\" + name; }

void WriteStateFile(const wchar_t* name, const std::string& text) {
    const std::wstring finalPath = StatePath(name);
    const std::wstring temporaryPath = finalPath + L".part";
    HANDLE file = CreateFileW(temporaryPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
    MoveFileExW(temporaryPath.c_str(), finalPath.c_str(), MOVEFILE_REPLACE_EXISTING);
}

std::string ReadCommand() {
    const std::wstring path = StatePath(L"command.txt");
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    char buffer[256];
    DWORD read = 0;
    ReadFile(file, buffer, sizeof buffer - 1, &read, nullptr);
    CloseHandle(file);
    DeleteFileW(path.c_str());
    std::string command(buffer, read);
    while (!command.empty() && (command.back() == '\n' || command.back() == '\r' || command.back() == ' '))
        command.pop_back();
    return command;
}

std::string Line(const char* format, long long value) {
    char text[96];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

BOOL CALLBACK ListChild(HWND child, LPARAM parameter) {
    auto* text = reinterpret_cast<std::string*>(parameter);
    if (GetParent(child) != g_preview) return TRUE;  // direct children only
    RECT rect{};
    GetWindowRect(child, &rect);
    MapWindowPoints(HWND_DESKTOP, g_preview, reinterpret_cast<POINT*>(&rect), 2);
    DWORD pid = 0;
    GetWindowThreadProcessId(child, &pid);
    const LONG style = GetWindowLongW(child, GWL_STYLE);
    char line[200];
    std::snprintf(line, sizeof line, "hwnd=%lu pid=%lu child=%d visible=%d left=%ld top=%ld width=%ld height=%ld\n",
                  static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(child)), static_cast<unsigned long>(pid),
                  (style & WS_CHILD) ? 1 : 0, IsWindowVisible(child) ? 1 : 0, rect.left, rect.top,
                  rect.right - rect.left, rect.bottom - rect.top);
    *text += line;
    return TRUE;
}

LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
    wchar_t* rest = commandLine;
    const long width = std::wcstol(rest, &rest, 10);
    const long height = std::wcstol(rest, &rest, 10);
    if (width <= 0 || height <= 0) return 2;

    wchar_t buffer[1024];
    DWORD length = GetEnvironmentVariableW(L"QV_HOST_DIR", buffer, 1024);
    if (length == 0 || length >= 1024) return 3;
    g_stateDir = buffer;
    length = GetEnvironmentVariableW(L"QV_LAUNCH_EXE", buffer, 1024);
    if (length == 0 || length >= 1024) return 4;
    const std::wstring program = buffer;
    length = GetEnvironmentVariableW(L"QV_HOST_ARGS", buffer, 1024);
    if (length >= 1024) return 4;
    const std::wstring argumentTemplate(buffer, length);

    WNDCLASSW frameClass{};
    frameClass.lpfnWndProc = FrameProc;
    frameClass.hInstance = instance;
    frameClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    frameClass.hbrBackground = CreateSolidBrush(RGB(64, 64, 64));
    frameClass.lpszClassName = L"QuorvelTestPreviewFrame";
    RegisterClassW(&frameClass);

    // Magenta, so any part of the preview that the program leaves unpainted stands out.
    WNDCLASSW previewClass{};
    previewClass.lpfnWndProc = DefWindowProcW;
    previewClass.hInstance = instance;
    previewClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    previewClass.hbrBackground = CreateSolidBrush(RGB(255, 0, 255));
    previewClass.lpszClassName = L"QuorvelTestPreviewArea";
    RegisterClassW(&previewClass);

    const int margin = 8;
    const DWORD frameStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    RECT frameRect{0, 0, width + 2 * margin, height + 2 * margin};
    AdjustWindowRect(&frameRect, frameStyle, FALSE);
    g_frame = CreateWindowExW(0, frameClass.lpszClassName, L"Quorvel preview host", frameStyle, 60, 60,
                              frameRect.right - frameRect.left, frameRect.bottom - frameRect.top, nullptr, nullptr,
                              instance, nullptr);
    if (!g_frame) return 5;
    g_preview = CreateWindowExW(0, previewClass.lpszClassName, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, margin,
                                margin, width, height, g_frame, nullptr, instance, nullptr);
    if (!g_preview) return 6;
    ShowWindow(g_frame, SW_SHOW);
    UpdateWindow(g_frame);

    PROCESS_INFORMATION process{};
    length = GetEnvironmentVariableW(L"QV_HOST_MODE", buffer, 1024);
    if (length > 0 && length < 1024 && std::wstring(buffer) == L"thread") {
        g_resources = static_cast<HINSTANCE>(
            LoadLibraryExW(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
        if (!g_resources) return 8;
        process.hProcess = CreateThread(nullptr, 0, PreviewThread, g_preview, 0, nullptr);
        if (!process.hProcess) return 9;
        process.dwProcessId = GetCurrentProcessId();
    } else {
        std::wstring arguments = argumentTemplate;
        const std::wstring handleText = std::to_wstring(reinterpret_cast<ULONG_PTR>(g_preview));
        for (size_t at = arguments.find(L"%h"); at != std::wstring::npos; at = arguments.find(L"%h", at))
            arguments.replace(at, 2, handleText), at += handleText.size();
        std::wstring childCommandLine = L"\"" + program + L"\" " + arguments;

        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        if (!CreateProcessW(program.c_str(), childCommandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                            &startup, &process))
            return 7;
        CloseHandle(process.hThread);
    }

    POINT origin{0, 0};
    ClientToScreen(g_preview, &origin);
    std::string hostText = Line("hwnd=%lld\n", static_cast<long long>(reinterpret_cast<ULONG_PTR>(g_preview)));
    hostText += Line("frame=%lld\n", static_cast<long long>(reinterpret_cast<ULONG_PTR>(g_frame)));
    hostText += Line("left=%lld\n", origin.x) + Line("top=%lld\n", origin.y);
    hostText += Line("width=%lld\n", width) + Line("height=%lld\n", height);
    hostText += Line("pid=%lld\n", process.dwProcessId);
    WriteStateFile(L"host.txt", hostText);

    bool programRunning = true;
    bool frameGone = false;
    DWORD destroyTick = 0;
    bool destroyAsked = false;
    DWORD frameGoneTick = 0;
    for (;;) {
        const DWORD waited =
            MsgWaitForMultipleObjects(programRunning ? 1 : 0, &process.hProcess, FALSE, 20, QS_ALLINPUT);
        if (programRunning && waited == WAIT_OBJECT_0) {
            const DWORD endTick = GetTickCount();
            programRunning = false;
            DWORD code = 0;
            if (!GetExitCodeProcess(process.hProcess, &code)) GetExitCodeThread(process.hProcess, &code);
            std::string exitText = Line("code=%lld\n", code);
            exitText += Line("ms_after_destroy=%lld\n", destroyAsked ? static_cast<long long>(endTick - destroyTick) : -1);
            WriteStateFile(L"exit.txt", exitText);
        }
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                frameGone = true;
                frameGoneTick = GetTickCount();
                continue;
            }
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        if (frameGone && (!programRunning || GetTickCount() - frameGoneTick > 10000)) break;
        if (frameGone) continue;

        const std::string command = ReadCommand();
        if (command == "destroy" || command == "destroy-frame" || command == "close-frame") {
            destroyAsked = true;
            destroyTick = GetTickCount();
            if (command == "destroy")
                DestroyWindow(g_preview);
            else if (command == "destroy-frame")
                DestroyWindow(g_frame);
            else
                PostMessageW(g_frame, WM_CLOSE, 0, 0);
        } else if (command == "children") {
            std::string text;
            if (IsWindow(g_preview)) EnumChildWindows(g_preview, ListChild, reinterpret_cast<LPARAM>(&text));
            WriteStateFile(L"children.txt", text);
        }
    }
    CloseHandle(process.hProcess);
    return 0;
}
