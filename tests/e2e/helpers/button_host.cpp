// A host window titled "ButtonHost" for the Command button's end-to-end test: button 1 ("設定") enabled, button 2
// ("キャンセル") disabled, both 93 x 25 pixels in the dialog's font and initialised as the settings dialog does.
// Usage: button_host.exe STATE_FILE. The state file, rewritten at start and after every click, holds
// "button1=left,top,width,height" and "button2=..." (screen pixels) and "clicks1=N" and "clicks2=N".
#include <windows.h>

#include <string>

#include "apps/windows/command_control.h"
#include "helper.h"
#include "host/win32/font.h"
#include "host/win32/window_class.h"

namespace {

std::wstring g_stateFile;
HWND g_buttons[2] = {};
int g_clicks[2] = {};

std::string Rect(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right - r.left) + "," +
           std::to_string(r.bottom - r.top);
}

void WriteState() {
    WriteStateFile(g_stateFile, "button1=" + Rect(g_buttons[0]) + "\nbutton2=" + Rect(g_buttons[1]) +
                                    "\nclicks1=" + std::to_string(g_clicks[0]) +
                                    "\nclicks2=" + std::to_string(g_clicks[1]) + "\n");
}

LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) >= 1 && LOWORD(wParam) <= 2) {
        ++g_clicks[LOWORD(wParam) - 1];
        WriteState();
        return 0;
    }
    if (message == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
    g_stateFile = commandLine;
    const quorvel::win32::WindowClass frameClass{.name = L"QuorvelButtonHost",
                                                 .procedure = FrameProc,
                                                 .instance = instance,
                                                 .background = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)};
    quorvel::win32::RegisterWindowClass(frameClass);
    HWND frame = CreateWindowExW(0, frameClass.name, L"ButtonHost", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 100, 100,
                                 320, 160, nullptr, nullptr, instance, nullptr);
    {
        // The buttons keep only the font's face name, so it may go once they are made.
        const quorvel::win32::UniqueFont font =
            quorvel::win32::CreateFontOf({.face = L"ＭＳ Ｐゴシック", .pixelHeight = 13, .charset = SHIFTJIS_CHARSET});
        g_buttons[0] = quorvel::win32::CreateCommand(frame, 1, 30, 40, 93, 25, L"設定", font.Get());
        g_buttons[1] = quorvel::win32::CreateCommand(frame, 2, 170, 40, 93, 25, L"キャンセル", font.Get());
    }
    if (!frame || !g_buttons[0] || !g_buttons[1]) return 2;
    quorvel::win32::Command_SetEnabled(g_buttons[1], false);
    for (HWND button : g_buttons) quorvel::win32::Command_Initialize(button);
    ShowWindow(frame, SW_SHOW);
    WriteState();
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
