// What the settings window does for its user: Form_Load fills it, Set saves and Cancel discards, the link opens
// the read-me, and Form_Unload zooms it away.
#include <cstdint>
#include <string>
#include <utility>

#include "apps/windows/command_control.h"
#include "apps/windows/settings_dialog_state.h"
#include "apps/windows/settings_location.h"
#include "host/win32/system_library.h"

namespace quorvel::win32::settings_dialog {
namespace {

void InitializeButtons(DialogWindow& dialog) {
    for (HWND button : {dialog.cmdSet, dialog.cmdCan}) {
        if (button) Command_Initialize(button);
    }
}

// The link's file, looked up in the program's own folder.
std::wstring LinkAddress() { return ProgramFolder() + L"\\" + std::wstring(kLinkTarget); }

LayoutRect ToLayout(const RECT& r) { return LayoutRect{r.left, r.top, r.right - r.left, r.bottom - r.top}; }

// Centred over an owner that is on screen, inside its monitor's work area; otherwise where the design puts the
// window on the screen.
WindowPosition StartPosition(const DialogWindow& dialog, const RECT& outer) {
    const int width = outer.right - outer.left;
    const int height = outer.bottom - outer.top;
    RECT owner{};
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (dialog.owner && IsWindowVisible(dialog.owner) && !IsIconic(dialog.owner) &&
        GetWindowRect(dialog.owner, &owner) &&
        GetMonitorInfoW(MonitorFromWindow(dialog.owner, MONITOR_DEFAULTTONEAREST), &monitor)) {
        return CentredOverOwner(ToLayout(owner), width, height, ToLayout(monitor.rcWork));
    }
    return CentredWindowPixels(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), width, height,
                               dialog.dpi);
}

}  // namespace

void DisableOwner(DialogWindow& dialog) {
    if (!dialog.owner || dialog.ownerDisabled) return;
    EnableWindow(dialog.owner, FALSE);
    dialog.ownerDisabled = true;
}

// Before the window goes, so that the system hands the activation back to the owner.
void ReleaseOwner(DialogWindow& dialog) {
    if (!std::exchange(dialog.ownerDisabled, false)) return;
    EnableWindow(dialog.owner, TRUE);
}

void Form_Load(DialogWindow& dialog) {
    RECT outer{};
    GetWindowRect(dialog.window, &outer);
    const WindowPosition at = StartPosition(dialog, outer);
    SetWindowPos(dialog.window, nullptr, at.left, at.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);

    InitializeButtons(dialog);

    const DialogSliders sliders = SlidersFromSettings(dialog.settings);
    SetSliderFromCode(dialog, dialog.HS_Size, sliders.size);
    SetSliderFromCode(dialog, dialog.HS_Length, sliders.length);
    SetSliderFromCode(dialog, dialog.HS_Speed, sliders.speed);

    const DialogLabels labels = LabelsFromSettings(dialog.settings);
    SetValueLabel(dialog, dialog.HS_Size, WideText(labels.size));
    SetValueLabel(dialog, dialog.HS_Length, WideText(labels.length));
    SetValueLabel(dialog, dialog.HS_Speed, WideText(labels.speed));

    POINT cursor{};
    if (GetCursorPos(&cursor)) {
        dialog.zoomOriginX = static_cast<int16_t>(LOWORD(cursor.x));
        dialog.zoomOriginY = static_cast<int16_t>(LOWORD(cursor.y));
    } else {
        dialog.zoomOriginX = 0;
        dialog.zoomOriginY = 0;
    }
    ZoomFromCursor(dialog, dialog.window);
    dialog.pointer = AppPointer::Default;
}

void Form_Unload(DialogWindow& dialog) {
    if (dialog.unloaded) return;
    dialog.unloaded = true;
    ZoomToCursor(dialog, dialog.window);
    ReleaseOwner(dialog);
    dialog.ownedWindow.Reset();
}

void Cmd_Set_Click(DialogWindow& dialog) {
    const bool saved = SaveSettings(dialog.HS_Size.slider.Position(), dialog.HS_Length.slider.Position(),
                                    dialog.HS_Speed.slider.Position(), SettingsFileForWriting());
    if (!saved) {
        // The settings would otherwise be lost without a word: say so before closing.
        MessageBoxW(dialog.window, Text(dialog, TextId::SaveFailed).c_str(), Text(dialog, TextId::WindowTitle).c_str(),
                    MB_OK | MB_ICONWARNING);
    }
    PostMessageW(dialog.window, kUnloadMessage, 0, 0);
}

void Cmd_Can_Click(DialogWindow& dialog) { PostMessageW(dialog.window, kUnloadMessage, 0, 0); }

void ApplyPointer(const DialogWindow& dialog) {
    if (dialog.pointer == AppPointer::Hourglass) {
        SetCursor(LoadCursorW(nullptr, IDC_WAIT));
        return;
    }
    POINT screen{};
    GetCursorPos(&screen);
    POINT client = screen;
    ScreenToClient(dialog.window, &client);
    const RECT link = PixelRect(dialog, ControlId::lbl_URL);
    const bool overLink = PtInRect(&link, client) && WindowFromPoint(screen) == dialog.window;
    SetCursor(LoadCursorW(nullptr, overLink ? IDC_HAND : IDC_ARROW));
}

bool InLink(const DialogWindow& dialog, LPARAM lParam) {
    const RECT link = PixelRect(dialog, ControlId::lbl_URL);
    const POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    return PtInRect(&link, at) != FALSE;
}

void lbl_URL_Click(DialogWindow& dialog) {
    dialog.pointer = AppPointer::Hourglass;
    ApplyPointer(dialog);
    const std::wstring address = LinkAddress();
    // A missing file or no program for it fails quietly: the link is a courtesy. shell32 is loaded only now, from
    // the system folder (see SystemFunction).
    using Execute = HINSTANCE(WINAPI*)(HWND, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, INT);
    if (const auto execute = SystemFunctionAs<Execute>(L"shell32.dll", "ShellExecuteW"))
        execute(dialog.window, L"open", address.c_str(), L"", L"", SW_SHOWNORMAL);
    dialog.pointer = AppPointer::Default;
    ApplyPointer(dialog);
}

}  // namespace quorvel::win32::settings_dialog
