// A small host window for the Command button's end-to-end test: two buttons, clicks counted in a state file.
//
// Usage: button_host.exe <state file>
//   The window is titled "ButtonHost". Button 1 ("設定", id 1) is enabled; button 2 ("キャンセル", id 2)
//   is disabled. Both are 93 x 25 pixels, in the dialog's font, and initialised as the dialog does.
// State file (written whole, then renamed into place, at start and after every click):
//   ready=1
//   button1=left,top,width,height   (screen pixels)
//   button2=left,top,width,height
//   clicks1=N                        (WM_COMMAND/BN_CLICKED from button 1)
//   clicks2=N
//   clicksOther=N                    (any other WM_COMMAND)
//   focus=1|2|0                      (which button holds the focus)
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <string>

#include "button/win32/command_control.h"

namespace {

std::wstring g_statePath;
HWND g_frame = nullptr;
HWND g_buttons[2] = {};
int g_clicks[2] = {};
int g_otherCommands = 0;

std::string Rect(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    char text[96];
    std::snprintf(text, sizeof text, "%ld,%ld,%ld,%ld", r.left, r.top, r.right - r.left, r.bottom - r.top);
    return text;
}

void WriteState() {
    const HWND focus = GetFocus();
    const int focused = focus == g_buttons[0] ? 1 : focus == g_buttons[1] ? 2 : 0;
    std::string text = "ready=1\n";
    text += "button1=" + Rect(g_buttons[0]) + "\n";
    text += "button2=" + Rect(g_buttons[1]) + "\n";
    text += "clicks1=" + std::to_string(g_clicks[0]) + "\n";
    text += "clicks2=" + std::to_string(g_clicks[1]) + "\n";
    text += "clicksOther=" + std::to_string(g_otherCommands) + "\n";
    text += "focus=" + std::to_string(focused) + "\n";
    const std::wstring temporary = g_statePath + L".part";
    HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
    MoveFileExW(temporary.c_str(), g_statePath.c_str(), MOVEFILE_REPLACE_EXISTING);
}

LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == 1 && reinterpret_cast<HWND>(lParam) == g_buttons[0])
            ++g_clicks[0];
        else if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == 2 && reinterpret_cast<HWND>(lParam) == g_buttons[1])
            ++g_clicks[1];
        else
            ++g_otherCommands;
        WriteState();
        return 0;
    case WM_TIMER:
        WriteState();  // keeps focus= current
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc < 2) return 2;
    g_statePath = argv[1];
    LocalFree(argv);

    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = FrameProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = L"QuorvelButtonHost";
    if (!RegisterClassExW(&wc)) return 3;

    RECT frame{0, 0, 300, 120};
    AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
    g_frame = CreateWindowExW(0, wc.lpszClassName, L"ButtonHost", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 100, 100,
                              frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, instance, nullptr);
    if (!g_frame) return 4;

    HFONT font = CreateFontW(-13, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                             L"\xFF2D\xFF33 \xFF30\x30B4\x30B7\x30C3\x30AF");
    g_buttons[0] = quorvel::win32::CreateCommand(g_frame, 1, 30, 40, 93, 25, L"\x8A2D\x5B9A", font);  // 設定
    g_buttons[1] = quorvel::win32::CreateCommand(g_frame, 2, 170, 40, 93, 25,
                                                 L"\x30AD\x30E3\x30F3\x30BB\x30EB", font);  // キャンセル
    DeleteObject(font);  // the buttons keep only its face name
    if (!g_buttons[0] || !g_buttons[1]) return 5;
    quorvel::win32::Command_SetEnabled(g_buttons[1], false);
    quorvel::win32::Command_Initialize(g_buttons[0]);
    quorvel::win32::Command_Initialize(g_buttons[1]);

    ShowWindow(g_frame, SW_SHOW);
    UpdateWindow(g_frame);
    WriteState();
    SetTimer(g_frame, 1, 100, nullptr);

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
