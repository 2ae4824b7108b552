// The end-to-end tests' small hand on the Windows side: what Windows and the program's own code say (so the tests
// keep no copies of layouts or colours), an exact command line, and a window of another program.
//   probe.exe               prints "acp=N", the ANSI code page Windows programs see here
//   probe.exe layout DPI    prints the settings window as the program lays it out at DPI: "client W H", one line
//                           "NAME X Y W H" per control in client pixels, and "window_rows" and "panel_rows" with the
//                           band colour (RRGGBB) of every pixel row of the window and of the panel
//   probe.exe texts DPI     prints "LANGUAGE NAME WIDTH HEIGHT ROOM_WIDTH ROOM_HEIGHT" for every text of every
//                           language that has a room to fit (dialog_layout.h), measured at DPI in the font the
//                           program shows that language in: its extent and the font's cell height, in pixels
//   probe.exe window TITLE  opens an ordinary window with this title and keeps it until the process is ended; with
//                           QV_LAUNCH_EXE set it starts that with "/c:HWND", its own handle, as the display settings do
//   probe.exe state TITLE   prints lines "window H", "owner H", "enabled 0|1", "foreground 0|1", "rect X Y W H",
//                           "focus CLASS TEXT" and one "control CLASS TEXT" per descendant of the window with this
//                           title (H in decimal; "none" when there is no such window)
//   probe.exe lock FILE     opens FILE sharing nothing, prints "locked" and keeps it until the process is ended
//   probe.exe gui NAME      prints "gdi=N user=M", the GDI and USER objects (GetGuiResources) of the process whose
//                           program file is NAME, or "none" when no such process runs
//   probe.exe monitors      prints "monitors=N virtual=X,Y,W,H", the monitors and the virtual screen Windows
//                           programs see here once the desktop is up
//   probe.exe launch        starts the program QV_LAUNCH_EXE with exactly the argument text QV_LAUNCH_ARGS (Wine
//                           would rebuild a command line from Unix arguments) and ends with its exit code, 250 when
//                           it could not start it
//   probe.exe dpi           prints "system=N caps=N primary=N scale=F" as a per-monitor aware thread sees them, like
//                           the saver: GetDpiForSystem (0 where missing), LOGPIXELSX of the screen, the primary
//                           monitor's DPI and scale factor as the program reads them
//   probe.exe launch2       starts it twice, one right after the other, with QV_LAUNCH_ARGS and QV_LAUNCH_ARGS2,
//                           and ends when both have ended
#include <windows.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <utility>
#include <vector>

#include "apps/windows/settings_dialog_state.h"
#include "helper.h"
#include "host/win32/dpi.h"
#include "host/win32/handles.h"
#include "host/win32/system_library.h"
#include "dialog/background_bands.h"
#include "dialog/dialog_layout.h"
#include "dialog/dialog_texts.h"

namespace {

using quorvel::ControlId;

constexpr std::pair<ControlId, const char*> kNames[] = {
    {ControlId::Pic_2, "Pic_2"},   {ControlId::lbl_URL, "lbl_URL"},     {ControlId::Cmd_Set, "Cmd_Set"},
    {ControlId::Cmd_Can, "Cmd_Can"}, {ControlId::Shape0, "Shape0"},     {ControlId::lbl0, "lbl0"},
    {ControlId::HS_Size, "HS_Size"}, {ControlId::lbl1, "lbl1"},         {ControlId::lbl2, "lbl2"},
    {ControlId::lbl_Size, "lbl_Size"}, {ControlId::Shape1, "Shape1"},   {ControlId::lbl3, "lbl3"},
    {ControlId::HS_Length, "HS_Length"}, {ControlId::lbl5, "lbl5"},     {ControlId::lbl6, "lbl6"},
    {ControlId::lbl_Length, "lbl_Length"}, {ControlId::Shape3, "Shape3"}, {ControlId::lbl10, "lbl10"},
    {ControlId::HS_Speed, "HS_Speed"}, {ControlId::lbl11, "lbl11"},     {ControlId::lbl12, "lbl12"},
    {ControlId::lbl_Speed, "lbl_Speed"},
};

void PrintRows(const char* name, const std::vector<quorvel::BandColour>& rows) {
    std::printf("%s", name);
    for (const quorvel::BandColour& row : rows) std::printf(" %02X%02X%02X", row.red, row.green, row.blue);
    std::printf("\n");
}

void PrintLayout(int dpi) {
    const quorvel::PixelLayout client = quorvel::DialogClientPixels(dpi);
    std::printf("client %d %d\n", client.clientWidth, client.clientHeight);
    const quorvel::LayoutRect panel = quorvel::RectToPixels(quorvel::FindControl(ControlId::Pic_2).twips, dpi);
    for (const auto& [id, name] : kNames) {
        const quorvel::ControlSpec& control = quorvel::FindControl(id);
        quorvel::LayoutRect r = quorvel::RectToPixels(control.twips, dpi);
        if (control.parent == quorvel::Parent::Panel) r.left += panel.left, r.top += panel.top;
        std::printf("%s %d %d %d %d\n", name, r.left, r.top, r.width, r.height);
    }
    PrintRows("window_rows", quorvel::WindowBandRows(client.clientHeight));
    PrintRows("panel_rows", quorvel::PanelBandRows(panel.height, dpi));
}

using quorvel::DialogLanguage;
using quorvel::win32::SelectedObject;
using quorvel::win32::UniqueFont;
using quorvel::win32::settings_dialog::CreateDialogFont;

void PrintTextExtents(int dpi) {
    const quorvel::win32::WindowDc screen(nullptr);
    for (const DialogLanguage* language : quorvel::DialogLanguages()) {
        const UniqueFont font = CreateDialogFont(*language, dpi);
        const SelectedObject selected(screen.Get(), font.Get());
        TEXTMETRICW metrics{};
        GetTextMetricsW(screen.Get(), &metrics);
        for (const auto& [id, name] : kNames) {
            const auto room = quorvel::TextRoomPixels(id, dpi);
            const std::wstring_view text = quorvel::ControlText(quorvel::FindControl(id), *language);
            if (!room || text.empty()) continue;
            SIZE extent{};
            GetTextExtentPoint32W(screen.Get(), text.data(), static_cast<int>(text.size()), &extent);
            std::printf("%s %s %ld %ld %d %d\n", language->name.data(), name, extent.cx, metrics.tmHeight, room->width,
                        room->height);
        }
    }
}

std::string Utf8(const std::wstring& text) {
    std::string out(static_cast<size_t>(text.size() * 3), '\0');
    out.resize(static_cast<size_t>(WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()),
                                                       out.data(), static_cast<int>(out.size()), nullptr, nullptr)));
    return out;
}

std::string ClassAndText(HWND window) {
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return Utf8(name) + " " + Utf8(text);
}

BOOL CALLBACK PrintControl(HWND child, LPARAM) {
    std::printf("control %s\n", ClassAndText(child).c_str());
    return TRUE;
}

long long Decimal(HWND window) { return static_cast<long long>(reinterpret_cast<intptr_t>(window)); }

void PrintState(const wchar_t* title) {
    const HWND window = FindWindowW(nullptr, title);
    if (!window) {
        std::printf("none\n");
        return;
    }
    RECT r{};
    GetWindowRect(window, &r);
    GUITHREADINFO thread{};
    thread.cbSize = sizeof thread;
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &thread);
    std::printf("window %lld\nowner %lld\nenabled %d\nforeground %d\nrect %ld %ld %ld %ld\nfocus %s\n",
                Decimal(window), Decimal(GetWindow(window, GW_OWNER)), IsWindowEnabled(window) ? 1 : 0,
                GetForegroundWindow() == window ? 1 : 0, r.left, r.top, r.right - r.left, r.bottom - r.top,
                thread.hwndFocus ? ClassAndText(thread.hwndFocus).c_str() : "none");
    EnumChildWindows(window, PrintControl, 0);
}

void RunWindow(const wchar_t* title) {
    const HWND window = CreateWindowExW(0, L"STATIC", title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 480, 360,
                                        nullptr, nullptr, nullptr, nullptr);
    if (!Variable(L"QV_LAUNCH_EXE").empty())
        Launch(Variable(L"QV_LAUNCH_EXE"), L"/c:" + std::to_wstring(Decimal(window)));
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
}

void PrintGuiResources(const wchar_t* name) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
        if (_wcsicmp(entry.szExeFile, name) != 0) continue;
        HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, entry.th32ProcessID);
        std::printf("gdi=%lu user=%lu\n", GetGuiResources(process, GR_GDIOBJECTS),
                    GetGuiResources(process, GR_USEROBJECTS));
        CloseHandle(process);
        CloseHandle(snapshot);
        return;
    }
    CloseHandle(snapshot);
    std::printf("none\n");
}

void PrintDpi() {
    using SetAwarenessFn = DPI_AWARENESS_CONTEXT(WINAPI*)(DPI_AWARENESS_CONTEXT);
    using GetDpiForSystemFn = UINT(WINAPI*)();
    namespace win32 = quorvel::win32;
    if (const auto setAwareness = win32::SystemFunctionAs<SetAwarenessFn>(L"user32.dll", "SetThreadDpiAwarenessContext"))
        setAwareness(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    const auto getDpiForSystem = win32::SystemFunctionAs<GetDpiForSystemFn>(L"user32.dll", "GetDpiForSystem");
    const win32::WindowDc screen(nullptr);
    std::printf("system=%u caps=%d primary=%d scale=%g\n", getDpiForSystem ? getDpiForSystem() : 0,
                GetDeviceCaps(screen.Get(), LOGPIXELSX), win32::DpiForPrimaryMonitor(), win32::PrimaryMonitorScale());
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc == 3 && std::wcscmp(argv[1], L"layout") == 0) {
        PrintLayout(static_cast<int>(std::wcstol(argv[2], nullptr, 10)));
    } else if (argc == 3 && std::wcscmp(argv[1], L"texts") == 0) {
        PrintTextExtents(static_cast<int>(std::wcstol(argv[2], nullptr, 10)));

    } else if (argc == 3 && std::wcscmp(argv[1], L"window") == 0) {
        RunWindow(argv[2]);
    } else if (argc == 3 && std::wcscmp(argv[1], L"state") == 0) {
        PrintState(argv[2]);
    } else if (argc == 3 && std::wcscmp(argv[1], L"lock") == 0) {
        if (CreateFileW(argv[2], GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr) == INVALID_HANDLE_VALUE) return 1;
        std::printf("locked\n");
        std::fflush(stdout);
        Sleep(INFINITE);
    } else if (argc == 3 && std::wcscmp(argv[1], L"gui") == 0) {
        PrintGuiResources(argv[2]);
    } else if (argc == 2 && std::wcscmp(argv[1], L"monitors") == 0) {
        GetDesktopWindow();  // the desktop process is what brings the monitors up to date
        std::printf("monitors=%d virtual=%d,%d,%d,%d\n", GetSystemMetrics(SM_CMONITORS),
                    GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                    GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN));
    } else if (argc == 2 && std::wcscmp(argv[1], L"launch") == 0) {
        const PROCESS_INFORMATION process = Launch(Variable(L"QV_LAUNCH_EXE"), Variable(L"QV_LAUNCH_ARGS"));
        DWORD code = 250;
        if (process.hProcess && WaitForSingleObject(process.hProcess, INFINITE) == WAIT_OBJECT_0)
            GetExitCodeProcess(process.hProcess, &code);
        return static_cast<int>(code);
    } else if (argc == 2 && std::wcscmp(argv[1], L"dpi") == 0) {
        PrintDpi();
    } else if (argc == 2 && std::wcscmp(argv[1], L"launch2") == 0) {
        const std::wstring program = Variable(L"QV_LAUNCH_EXE");
        const HANDLE both[2] = {Launch(program, Variable(L"QV_LAUNCH_ARGS")).hProcess,
                                Launch(program, Variable(L"QV_LAUNCH_ARGS2")).hProcess};
        if (!both[0] || !both[1]) return 250;
        WaitForMultipleObjects(2, both, TRUE, INFINITE);
    } else {
        std::printf("acp=%u\n", GetACP());
    }
    return 0;
}
