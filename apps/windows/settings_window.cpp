// The settings window Tavrin_P on Win32: the window and its panel Pic_2 are made here and their messages listed;
// each message goes to the handler named for it in the settings_dialog_*.cpp files.
#include "apps/windows/settings_window.h"

#include <optional>
#include <utility>

#include "apps/windows/command_control.h"
#include "apps/windows/resource_ids.h"
#include "apps/windows/settings_dialog_state.h"
#include "dialog/dialog_keys.h"
#include "host/win32/dpi.h"
#include "host/win32/window_class.h"
#include "host/win32/window_procedure.h"

namespace quorvel::win32 {
namespace settings_dialog {

HWND CreateChild(const DialogWindow& dialog, HWND parent, const wchar_t* windowClass, DWORD exStyle, DWORD style,
                 ControlId id, int controlId, void* parameter) {
    const LayoutRect r = RectToPixels(FindControl(id).twips, dialog.dpi);
    // The window text names the control for accessibility tools: a slider takes its heading.
    const std::wstring name = Text(dialog, FindControl(id).text);
    return CreateWindowExW(exStyle, windowClass, name.c_str(), WS_CHILD | WS_VISIBLE | style, r.left, r.top, r.width,
                           r.height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId)),
                           dialog.instance, parameter);
}

namespace {

constexpr wchar_t kWindowClass[] = L"Tavrin_P";
constexpr wchar_t kPanelClass[] = L"Tavrin_P.Pic_2";
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
// The window is created at this size and sized properly once the DPI of its monitor is known.
constexpr int kProvisionalSize = 320;

// --- Creation ---

HWND CreateButton(const DialogWindow& dialog, ControlId id, int controlId) {
    const LayoutRect r = RectToPixels(FindControl(id).twips, dialog.dpi);
    const std::wstring caption = Text(dialog, FindControl(id).text);
    return CreateCommand(dialog.window, controlId, r.left, r.top, r.width, r.height, caption.c_str(),
                         dialog.labelFont.Get());
}

void CreateControls(DialogWindow& dialog) {
    CreateFonts(dialog);
    dialog.panel = CreateChild(dialog, dialog.window, kPanelClass, 0, WS_CLIPCHILDREN, ControlId::Pic_2, IDC_PIC_2,
                               &dialog);
    for (SliderControl* control : SlidersOf(dialog)) CreateSlider(dialog, *control);
    dialog.cmdSet = CreateButton(dialog, ControlId::Cmd_Set, IDC_CMD_SET);
    dialog.cmdCan = CreateButton(dialog, ControlId::Cmd_Can, IDC_CMD_CAN);
}

// Gives the window the design's inner size at the display's DPI, whatever its frame measures.
void SizeClientArea(DialogWindow& dialog) {
    dialog.dpi = DpiForWindow(dialog.window);
    const PixelLayout client = DialogClientPixels(dialog.dpi);
    RECT outer{};
    RECT inner{};
    GetWindowRect(dialog.window, &outer);
    GetClientRect(dialog.window, &inner);
    const int frameWidth = (outer.right - outer.left) - inner.right;
    const int frameHeight = (outer.bottom - outer.top) - inner.bottom;
    SetWindowPos(dialog.window, nullptr, 0, 0, client.clientWidth + frameWidth, client.clientHeight + frameHeight,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Places a child at its design rectangle for the current DPI.
void PlaceChild(const DialogWindow& dialog, HWND child, ControlId id) {
    const LayoutRect r = RectToPixels(FindControl(id).twips, dialog.dpi);
    SetWindowPos(child, nullptr, r.left, r.top, r.width, r.height, SWP_NOZORDER | SWP_NOACTIVATE);
}

// Moved to a display of another DPI: the same design at the new scale, where the system suggests.
void OnDpiChanged(DialogWindow& dialog, const RECT& suggested) {
    SetWindowPos(dialog.window, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    SizeClientArea(dialog);
    CreateFonts(dialog);
    PlaceChild(dialog, dialog.panel, ControlId::Pic_2);
    for (const SliderControl* control : SlidersOf(dialog)) PlaceChild(dialog, control->window, control->bar);
    if (dialog.cmdSet) PlaceChild(dialog, dialog.cmdSet, ControlId::Cmd_Set);
    if (dialog.cmdCan) PlaceChild(dialog, dialog.cmdCan, ControlId::Cmd_Can);
    Form_Resize(dialog);
}

// --- Messages ---

LRESULT PanelMessage(DialogWindow& dialog, HWND panel, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ERASEBKGND: return 1;
        case WM_PAINT: PaintPanel(dialog); return 0;
        case WM_HSCROLL: OnSliderScroll(dialog, reinterpret_cast<HWND>(lParam), LOWORD(wParam)); return 0;
        default: return DefWindowProcW(panel, message, wParam, lParam);
    }
}

// The system asks for the pointer's shape: the hourglass while the link opens, over the client area the hand or
// the arrow; elsewhere (the frame) the system's own.
bool OnSetCursor(const DialogWindow& dialog, HWND over, UINT hitTest) {
    if (dialog.pointer != AppPointer::Hourglass && (over != dialog.window || hitTest != HTCLIENT)) return false;
    ApplyPointer(dialog);
    return true;
}

LRESULT WindowMessage(DialogWindow& dialog, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_NCCREATE: dialog.window = window; break;
        case WM_ERASEBKGND: return 1;
        case WM_PAINT: PaintWindow(dialog); return 0;
        case WM_SIZE: Form_Resize(dialog); return 0;
        case WM_DPICHANGED: OnDpiChanged(dialog, *reinterpret_cast<const RECT*>(lParam)); return 0;
        case WM_SETCURSOR:
            if (OnSetCursor(dialog, reinterpret_cast<HWND>(wParam), LOWORD(lParam))) return TRUE;
            break;
        case WM_LBUTTONDOWN: dialog.linkPressed = InLink(dialog, lParam); return 0;
        case WM_LBUTTONUP:
            if (std::exchange(dialog.linkPressed, false) && InLink(dialog, lParam)) lbl_URL_Click(dialog);
            return 0;
        case WM_COMMAND:
            if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == IDC_CMD_SET) Cmd_Set_Click(dialog);
            if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == IDC_CMD_CAN) Cmd_Can_Click(dialog);
            return 0;
        case kUnloadMessage: Form_Unload(dialog); return 0;
        case WM_CLOSE: Form_Unload(dialog); return 0;
        case WM_DESTROY: ReleaseOwner(dialog); break;
        case WM_NCDESTROY:
            dialog.destroyed = true;
            dialog.ownedWindow.Forget();
            break;
        default: break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

bool RegisterClasses(HINSTANCE instance) {
    const auto smallIcon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_QUORVEL), IMAGE_ICON,
                                                         GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
    const bool window = RegisterWindowClass({.name = kWindowClass,
                                             .procedure = WindowProcedure<DialogWindow, &WindowMessage>,
                                             .instance = instance,
                                             .cursor = LoadCursorW(nullptr, IDC_ARROW),
                                             .background = nullptr,  // the bands cover the whole client area
                                             .icon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_QUORVEL)),
                                             .smallIcon = smallIcon});
    return window && RegisterWindowClass({.name = kPanelClass,
                                          .procedure = WindowProcedure<DialogWindow, &PanelMessage>,
                                          .instance = instance,
                                          .cursor = LoadCursorW(nullptr, IDC_ARROW)});
}

// --- Keys ---

static_assert(VK_TAB == kKeyTab && VK_RETURN == kKeyEnter && VK_ESCAPE == kKeyEscape);

HWND WindowOf(const DialogWindow& dialog, ControlId id) {
    for (const SliderControl* control : SlidersOf(dialog)) {
        if (control->bar == id) return control->window;
    }
    return id == ControlId::Cmd_Set ? dialog.cmdSet : id == ControlId::Cmd_Can ? dialog.cmdCan : nullptr;
}

std::optional<ControlId> FocusedControl(const DialogWindow& dialog) {
    const HWND focus = GetFocus();
    for (ControlId id : kTabOrder) {
        if (focus && WindowOf(dialog, id) == focus) return id;
    }
    return std::nullopt;
}

// The window's own keys, taken before the focused control sees them; true when the key was used up. A held key
// repeats Tab, but Enter and Escape act once.
bool OnDialogKey(DialogWindow& dialog, const MSG& message) {
    if (message.message != WM_KEYDOWN || (message.hwnd != dialog.window && !IsChild(dialog.window, message.hwnd)))
        return false;
    const bool repeated = (message.lParam & (LPARAM{1} << 30)) != 0;
    const KeyOutcome outcome =
        DecideKey(static_cast<int>(message.wParam), GetKeyState(VK_SHIFT) < 0, FocusedControl(dialog));
    switch (outcome.action) {
        case KeyAction::PassOn: return false;
        case KeyAction::MoveFocus: SetFocus(WindowOf(dialog, outcome.focus)); break;
        case KeyAction::Set:
            if (!repeated) Cmd_Set_Click(dialog);
            break;
        case KeyAction::Cancel:
            if (!repeated) Cmd_Can_Click(dialog);
            break;
    }
    return true;
}

// Runs until the window is gone; a quit request on the way is passed on to the caller's loop.
void RunModalLoop(DialogWindow& dialog) {
    MSG message{};
    while (!dialog.destroyed) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        if (got == -1) return;
        if (IsWindow(dialog.window) && OnDialogKey(dialog, message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

}  // namespace
}  // namespace settings_dialog

void RunSettingsDialog(HINSTANCE instance, const quorvel::Settings& settings, HWND owner) {
    using namespace settings_dialog;
    if (!RegisterClasses(instance)) return;
    RegisterCommandClass(instance);
    DialogWindow dialog;
    dialog.instance = instance;
    dialog.settings = settings;
    dialog.language = &LanguageFor(GetUserDefaultUILanguage());
    dialog.owner = owner;
    const std::wstring title = Text(dialog, TextId::WindowTitle);
    // Created hidden: the real size needs the DPI of the window's own monitor.
    HWND window = CreateWindowExW(0, kWindowClass, title.c_str(), kWindowStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                                  kProvisionalSize, kProvisionalSize, owner, nullptr, instance, &dialog);
    if (!window) return;
    dialog.ownedWindow = UniqueWindow(window);
    SizeClientArea(dialog);
    CreateControls(dialog);
    DisableOwner(dialog);
    Form_Load(dialog);
    Form_Resize(dialog);
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    RunModalLoop(dialog);
    // However the loop ended (a quit request leaves it early), the owner comes back, and the window must not
    // outlive the state it points to.
    ReleaseOwner(dialog);
    dialog.ownedWindow.Reset();
    if (owner && IsWindow(owner)) SetForegroundWindow(owner);
}

}  // namespace quorvel::win32
