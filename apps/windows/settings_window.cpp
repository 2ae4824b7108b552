// The settings window Tavrin_P on Win32: creates the controls of the design table, paints the bands and
// labels, follows the sliders, and saves or discards on Set and Cancel.
#include "apps/windows/settings_window.h"

#include <array>
#include <cstdint>
#include <iterator>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "apps/windows/command_control.h"
#include "host/win32/dpi.h"
#include "host/win32/handles.h"
#include "apps/windows/resource_ids.h"
#include "apps/windows/settings_location.h"
#include "host/win32/system_library.h"
#include "dialog/background_bands.h"
#include "dialog/dialog_layout.h"
#include "dialog/slider_state.h"
#include "apps/windows/settings_dialog_resources.h"
#include "apps/windows/window_titles.h"

namespace quorvel::win32 {
namespace {

constexpr wchar_t kWindowClass[] = L"Tavrin_P";
constexpr wchar_t kPanelClass[] = L"Tavrin_P.Pic_2";
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
// The window is created at this size and sized properly once the DPI of its monitor is known.
constexpr int kProvisionalSize = 320;
// Posted by the buttons' Click handlers so that the window is not destroyed under the button's own code.
constexpr UINT kUnloadMessage = WM_APP + 1;

// --- Painting off screen ---

// WM_PAINT into an off-screen bitmap the size of the client area, copied out at the end, so that bands and
// labels appear in one step.
class BufferedPaint {
public:
    explicit BufferedPaint(HWND window) : window_(window) {
        target_ = BeginPaint(window_, &paint_);
        GetClientRect(window_, &client_);
        memory_ = UniqueMemoryDc(CreateCompatibleDC(target_));
        if (memory_) bitmap_ = UniqueBitmap(CreateCompatibleBitmap(target_, client_.right, client_.bottom));
        selected_ = SelectedObject(memory_.Get(), bitmap_.Get());
    }
    BufferedPaint(const BufferedPaint&) = delete;
    BufferedPaint& operator=(const BufferedPaint&) = delete;
    ~BufferedPaint() {
        if (selected_) {
            const RECT& r = paint_.rcPaint;
            BitBlt(target_, r.left, r.top, r.right - r.left, r.bottom - r.top, memory_.Get(), r.left, r.top, SRCCOPY);
        }
        selected_.Restore();
        memory_.Reset();
        EndPaint(window_, &paint_);
    }

    // Where to draw: the off-screen bitmap, or the window itself when no bitmap could be had.
    HDC Dc() const { return selected_ ? memory_.Get() : target_; }
    const RECT& Client() const { return client_; }

private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC target_ = nullptr;
    UniqueBitmap bitmap_;
    UniqueMemoryDc memory_;
    SelectedObject selected_;
    RECT client_{};
};

// --- The window's state ---

struct DialogWindow;
using SliderHandler = void (*)(DialogWindow&);

void HS_Size_Change(DialogWindow& dialog);
void HS_Size_Scroll(DialogWindow& dialog);
void HS_Length_Change(DialogWindow& dialog);
void HS_Length_Scroll(DialogWindow& dialog);
void HS_Speed_Change(DialogWindow& dialog);
void HS_Speed_Scroll(DialogWindow& dialog);

// One slider of the panel: its scroll bar, its position, its value label and its two handlers.
struct SliderControl {
    ControlId bar;
    int controlId;
    ControlId label;
    SliderHandler change;
    SliderHandler scroll;
    Slider slider;
    HWND window = nullptr;
    std::wstring text;  // what the value label shows
};

enum class AppPointer { Default, Hourglass };

struct DialogWindow {
    HINSTANCE instance = nullptr;
    Settings settings;
    HWND window = nullptr;
    HWND panel = nullptr;
    HWND cmdSet = nullptr;
    HWND cmdCan = nullptr;
    int dpi = USER_DEFAULT_SCREEN_DPI;
    SliderControl HS_Size{ControlId::HS_Size, IDC_HS_SIZE, ControlId::lbl_Size,
                          HS_Size_Change, HS_Size_Scroll, Slider(kSizeRange), nullptr, {}};
    SliderControl HS_Length{ControlId::HS_Length, IDC_HS_LENGTH, ControlId::lbl_Length,
                            HS_Length_Change, HS_Length_Scroll, Slider(kLengthRange), nullptr, {}};
    SliderControl HS_Speed{ControlId::HS_Speed, IDC_HS_SPEED, ControlId::lbl_Speed,
                           HS_Speed_Change, HS_Speed_Scroll, Slider(kSpeedRange), nullptr, {}};
    UniqueFont labelFont;
    UniqueFont linkFont;
    std::vector<BandColour> windowRows;
    std::vector<BandColour> panelRows;
    int16_t zoomOriginX = 0;
    int16_t zoomOriginY = 0;
    AppPointer pointer = AppPointer::Default;
    bool linkPressed = false;
    bool unloaded = false;
    bool destroyed = false;
    // Owns `window`. Declared last, so that the window goes before the state its procedures reach into.
    UniqueWindow ownedWindow;
};

DialogWindow* StateOf(HWND window) { return reinterpret_cast<DialogWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA)); }

std::array<SliderControl*, 3> SlidersOf(DialogWindow& dialog) {
    return {&dialog.HS_Size, &dialog.HS_Length, &dialog.HS_Speed};
}
std::array<const SliderControl*, 3> SlidersOf(const DialogWindow& dialog) {
    return {&dialog.HS_Size, &dialog.HS_Length, &dialog.HS_Speed};
}

RECT PixelRect(const DialogWindow& dialog, ControlId id) {
    const LayoutRect r = RectToPixels(FindControl(id).twips, dialog.dpi);
    return RECT{r.left, r.top, r.right(), r.bottom()};
}

SliderControl* SliderControlOf(DialogWindow& dialog, HWND bar) {
    for (SliderControl* control : SlidersOf(dialog)) {
        if (control->window == bar) return control;
    }
    return nullptr;
}

COLORREF ColourOf(ColourRole role) {
    switch (role) {
        case ColourRole::White: return RGB(255, 255, 255);
        case ColourRole::ButtonText: return GetSysColor(COLOR_BTNTEXT);
        case ColourRole::WindowText: return GetSysColor(COLOR_WINDOWTEXT);
        case ColourRole::PanelGrey: return RGB(128, 128, 128);
        case ColourRole::Black:
        case ColourRole::None: break;
    }
    return RGB(0, 0, 0);
}

// --- Fonts ---

int CALLBACK NoteFaceFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

bool FaceInstalled(HDC dc, std::wstring_view face) {
    LOGFONTW query{};
    query.lfCharSet = DEFAULT_CHARSET;
    face.copy(query.lfFaceName, LF_FACESIZE - 1);
    bool found = false;
    EnumFontFamiliesExW(dc, &query, NoteFaceFound, reinterpret_cast<LPARAM>(&found), 0);
    return found;
}

// Every character the window writes with its font, to check that a face has glyphs for them.
std::wstring DialogCharacters() {
    std::wstring text(kSettingsWindowTitle);
    for (const ControlSpec& control : DialogControls()) text += control.text;
    return text;
}

bool FaceHasGlyphs(HDC dc, HFONT font, const std::wstring& text) {
    SelectedObject selected(dc, font);
    std::vector<WORD> glyphs(text.size());
    if (GetGlyphIndicesW(dc, text.c_str(), static_cast<int>(text.size()), glyphs.data(), GGI_MARK_NONEXISTING_GLYPHS) ==
        GDI_ERROR) {
        return false;
    }
    constexpr WORD kMissingGlyph = 0xFFFF;  // what GGI_MARK_NONEXISTING_GLYPHS puts in place of a missing glyph
    for (WORD glyph : glyphs) {
        if (glyph == kMissingGlyph) return false;
    }
    return true;
}

LOGFONTW DialogLogFont(int dpi, std::wstring_view face, bool underlined) {
    LOGFONTW font{};
    font.lfHeight = -DialogFontPixelHeight(dpi);
    font.lfWeight = FW_NORMAL;
    font.lfUnderline = underlined ? TRUE : FALSE;
    font.lfCharSet = SHIFTJIS_CHARSET;
    font.lfOutPrecision = OUT_DEFAULT_PRECIS;
    font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    font.lfQuality = DEFAULT_QUALITY;
    font.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
    face.copy(font.lfFaceName, LF_FACESIZE - 1);
    return font;
}

// The design face when it is there and can show the texts, otherwise the first installed Japanese
// proportional Gothic that can.
std::wstring ChooseDialogFace(int dpi) {
    const WindowDc screen(nullptr);
    const std::wstring characters = DialogCharacters();
    for (std::wstring_view face : kDialogFontFallbacks) {
        if (!FaceInstalled(screen.Get(), face)) continue;
        const LOGFONTW description = DialogLogFont(dpi, face, false);
        const UniqueFont font(CreateFontIndirectW(&description));
        if (font && FaceHasGlyphs(screen.Get(), font.Get(), characters)) return std::wstring(face);
    }
    // Nothing suitable found by name: leave the choice to the font mapper, which honours the character set.
    return std::wstring(kDialogFontFace);
}

void CreateFonts(DialogWindow& dialog) {
    const std::wstring face = ChooseDialogFace(dialog.dpi);
    const LOGFONTW label = DialogLogFont(dialog.dpi, face, false);
    const LOGFONTW link = DialogLogFont(dialog.dpi, face, true);
    dialog.labelFont = UniqueFont(CreateFontIndirectW(&label));
    dialog.linkFont = UniqueFont(CreateFontIndirectW(&link));
}

// --- Painting ---

void PaintBands(HDC dc, const std::vector<BandColour>& rows, int width) {
    SelectedObject brush(dc, GetStockObject(DC_BRUSH));
    size_t row = 0;
    while (row < rows.size()) {
        // Rows of one colour are filled together.
        size_t end = row + 1;
        while (end < rows.size() && rows[end] == rows[row]) ++end;
        SetDCBrushColor(dc, RGB(rows[row].red, rows[row].green, rows[row].blue));
        PatBlt(dc, 0, static_cast<int>(row), width, static_cast<int>(end - row), PATCOPY);
        row = end;
    }
}

void PaintLabel(HDC dc, const DialogWindow& dialog, const ControlSpec& control, std::wstring_view text) {
    if (text.empty()) return;
    const LayoutRect r = RectToPixels(control.twips, dialog.dpi);
    RECT box{r.left, r.top, r.right(), r.bottom()};
    SelectedObject font(dc, control.underlined ? dialog.linkFont.Get() : dialog.labelFont.Get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ColourOf(control.colour));
    UINT format = DT_NOPREFIX | DT_TOP;
    if (control.kind == ControlKind::EndLabel) {
        format |= DT_LEFT | DT_SINGLELINE | DT_NOCLIP;  // these labels are as large as their text
    } else {
        format |= DT_WORDBREAK | (control.align == TextAlign::Centre ? DT_CENTER : DT_LEFT);
    }
    DrawTextW(dc, text.data(), static_cast<int>(text.size()), &box, format);
}

void PaintFrame(HDC dc, const DialogWindow& dialog, const ControlSpec& control) {
    const LayoutRect r = RectToPixels(control.twips, dialog.dpi);
    const UniquePen pen(CreatePen(PS_SOLID, 1, ColourOf(control.colour)));
    SelectedObject selectedPen(dc, pen.Get());
    SelectedObject hollow(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, r.left, r.top, r.right(), r.bottom());
}

std::wstring_view ValueText(const DialogWindow& dialog, ControlId label) {
    for (const SliderControl* control : SlidersOf(dialog)) {
        if (control->label == label) return control->text;
    }
    return {};
}

void PaintWindow(DialogWindow& dialog) {
    BufferedPaint paint(dialog.window);
    PaintBands(paint.Dc(), dialog.windowRows, paint.Client().right);
    PaintLabel(paint.Dc(), dialog, FindControl(ControlId::lbl_URL), FindControl(ControlId::lbl_URL).text);
}

void PaintPanel(DialogWindow& dialog) {
    BufferedPaint paint(dialog.panel);
    PaintBands(paint.Dc(), dialog.panelRows, paint.Client().right);
    for (const ControlSpec& control : DialogControls()) {
        if (control.parent != Parent::Panel) continue;
        switch (control.kind) {
            case ControlKind::Frame: PaintFrame(paint.Dc(), dialog, control); break;
            case ControlKind::Heading:
            case ControlKind::EndLabel: PaintLabel(paint.Dc(), dialog, control, control.text); break;
            case ControlKind::ValueLabel: PaintLabel(paint.Dc(), dialog, control, ValueText(dialog, control.id)); break;
            default: break;
        }
    }
}

// --- Zoom ---

RECT ZoomPoint(const DialogWindow& dialog) {
    return RECT{dialog.zoomOriginX, dialog.zoomOriginY, dialog.zoomOriginX, dialog.zoomOriginY};
}

void ZoomFromCursor(const DialogWindow& dialog, HWND window) {
    const RECT from = ZoomPoint(dialog);
    RECT to{};
    GetWindowRect(window, &to);
    DrawAnimatedRects(window, IDANI_CAPTION, &from, &to);
}

void ZoomToCursor(const DialogWindow& dialog, HWND window) {
    RECT from{};
    GetWindowRect(window, &from);
    const RECT to = ZoomPoint(dialog);
    DrawAnimatedRects(window, IDANI_CAPTION, &from, &to);
}

// --- Sliders and their labels ---

void SetValueLabel(DialogWindow& dialog, SliderControl& control, std::wstring text) {
    control.text = std::move(text);
    const RECT box = PixelRect(dialog, control.label);
    InvalidateRect(dialog.panel, &box, FALSE);
}

void ShowSliderPosition(DialogWindow& dialog, SliderControl& control) {
    SetValueLabel(dialog, control, WideText(NumberText(control.slider.Position())));
}

void HS_Size_Change(DialogWindow& dialog) { ShowSliderPosition(dialog, dialog.HS_Size); }
void HS_Size_Scroll(DialogWindow& dialog) { ShowSliderPosition(dialog, dialog.HS_Size); }
void HS_Length_Change(DialogWindow& dialog) { ShowSliderPosition(dialog, dialog.HS_Length); }
void HS_Length_Scroll(DialogWindow& dialog) { ShowSliderPosition(dialog, dialog.HS_Length); }
void HS_Speed_Change(DialogWindow& dialog) { ShowSliderPosition(dialog, dialog.HS_Speed); }
void HS_Speed_Scroll(DialogWindow& dialog) { ShowSliderPosition(dialog, dialog.HS_Speed); }

void RaiseSliderEvent(DialogWindow& dialog, const SliderControl& control, SliderEvent event) {
    if (event == SliderEvent::Change) control.change(dialog);
    if (event == SliderEvent::Scroll) control.scroll(dialog);
}

static_assert(SB_LINELEFT == 0 && SB_LINERIGHT == 1 && SB_PAGELEFT == 2 && SB_PAGERIGHT == 3 &&
              SB_THUMBPOSITION == 4 && SB_THUMBTRACK == 5 && SB_LEFT == 6 && SB_RIGHT == 7 && SB_ENDSCROLL == 8);

void OnSliderScroll(DialogWindow& dialog, HWND bar, int code) {
    SliderControl* control = SliderControlOf(dialog, bar);
    const std::optional<ScrollRequest> request = ScrollRequestFromCode(code);
    if (!control || !request) return;
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_TRACKPOS | SIF_POS;
    GetScrollInfo(bar, SB_CTL, &info);
    const ScrollOutcome outcome = ApplyScroll(control->slider, *request, info.nTrackPos);
    if (outcome.event == SliderEvent::None) return;
    control->slider.SetPosition(outcome.position);
    SetScrollPos(bar, SB_CTL, control->slider.Position(), TRUE);
    RaiseSliderEvent(dialog, *control, outcome.event);
}

// Gives a slider its position the way code sets it: the scroll bar moves and Change follows.
void SetSliderFromCode(DialogWindow& dialog, SliderControl& control, const Slider& from) {
    control.slider = from;
    SetScrollPos(control.window, SB_CTL, control.slider.Position(), TRUE);
    RaiseSliderEvent(dialog, control, SliderEvent::Change);
}

// --- Link ---

// The link's file, looked up in the program's own folder.
std::wstring LinkAddress() { return ProgramFolder() + L"\\" + std::wstring(kLinkTarget); }

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

// --- Load, buttons, unload ---

void InitializeButtons(DialogWindow& dialog) {
    for (HWND button : {dialog.cmdSet, dialog.cmdCan}) {
        if (button) Command_Initialize(button);
    }
}

void Form_Load(DialogWindow& dialog) {
    RECT outer{};
    GetWindowRect(dialog.window, &outer);
    const WindowPosition at = CentredWindowPixels(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                                                  outer.right - outer.left, outer.bottom - outer.top, dialog.dpi);
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

void Form_Resize(DialogWindow& dialog) {
    RECT client{};
    GetClientRect(dialog.window, &client);
    dialog.windowRows = WindowBandRows(client.bottom);
    InvalidateRect(dialog.window, nullptr, FALSE);
    if (dialog.panel) {
        RECT panel{};
        GetClientRect(dialog.panel, &panel);
        dialog.panelRows = PanelBandRows(panel.bottom, dialog.dpi);
        InvalidateRect(dialog.panel, nullptr, FALSE);
    }
}

void Form_Unload(DialogWindow& dialog) {
    if (dialog.unloaded) return;
    dialog.unloaded = true;
    ZoomToCursor(dialog, dialog.window);
    dialog.ownedWindow.Reset();
}

std::wstring LoadText(HINSTANCE instance, UINT id) {
    wchar_t buffer[512] = {};  // room for any message of the string table
    const int length = LoadStringW(instance, id, buffer, static_cast<int>(std::size(buffer)));
    return std::wstring(buffer, length > 0 ? static_cast<size_t>(length) : 0);
}

void Cmd_Set_Click(DialogWindow& dialog) {
    const bool saved = SaveSettings(dialog.HS_Size.slider.Position(), dialog.HS_Length.slider.Position(),
                                    dialog.HS_Speed.slider.Position(), SettingsFileForWriting());
    if (!saved) {
        // The settings would otherwise be lost without a word: say so before closing.
        const std::wstring message = LoadText(dialog.instance, IDS_SETTINGS_SAVE_FAILED);
        MessageBoxW(dialog.window, message.c_str(), kSettingsWindowTitle, MB_OK | MB_ICONWARNING);
    }
    PostMessageW(dialog.window, kUnloadMessage, 0, 0);
}

void Cmd_Can_Click(DialogWindow& dialog) { PostMessageW(dialog.window, kUnloadMessage, 0, 0); }

// --- Creation ---

HWND CreateChild(const DialogWindow& dialog, HWND parent, const wchar_t* windowClass, DWORD exStyle, DWORD style,
                 ControlId id, int controlId, void* parameter) {
    const LayoutRect r = RectToPixels(FindControl(id).twips, dialog.dpi);
    return CreateWindowExW(exStyle, windowClass, L"", WS_CHILD | WS_VISIBLE | style, r.left, r.top, r.width, r.height,
                           parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId)), dialog.instance,
                           parameter);
}

void CreateSlider(DialogWindow& dialog, SliderControl& control) {
    control.window = CreateChild(dialog, dialog.panel, L"SCROLLBAR", 0, WS_TABSTOP | SBS_HORZ, control.bar,
                                 control.controlId, nullptr);
    const Slider& slider = control.slider;
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;  // no page size: the thumb reaches the maximum
    info.nMin = slider.Min();
    info.nMax = slider.Max();
    info.nPage = 0;
    info.nPos = slider.Position();
    SetScrollInfo(control.window, SB_CTL, &info, FALSE);
}

HWND CreateButton(const DialogWindow& dialog, ControlId id, int controlId) {
    const LayoutRect r = RectToPixels(FindControl(id).twips, dialog.dpi);
    const std::wstring caption(FindControl(id).text);
    return CreateCommand(dialog.window, controlId, r.left, r.top, r.width, r.height, caption.c_str(),
                         dialog.labelFont.Get());
}

void CreateControls(DialogWindow& dialog) {
    CreateFonts(dialog);
    // A control parent, so that the tab key reaches the sliders inside it.
    dialog.panel = CreateChild(dialog, dialog.window, kPanelClass, WS_EX_CONTROLPARENT, WS_CLIPCHILDREN,
                               ControlId::Pic_2, IDC_PIC_2, &dialog);
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

// --- Window procedures ---

LRESULT CALLBACK PanelProc(HWND panel, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(panel, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    DialogWindow* dialog = StateOf(panel);
    if (!dialog) return DefWindowProcW(panel, message, wParam, lParam);
    switch (message) {
        case WM_ERASEBKGND: return 1;
        case WM_PAINT: PaintPanel(*dialog); return 0;
        case WM_HSCROLL: OnSliderScroll(*dialog, reinterpret_cast<HWND>(lParam), LOWORD(wParam)); return 0;
        default: return DefWindowProcW(panel, message, wParam, lParam);
    }
}

bool InLink(const DialogWindow& dialog, LPARAM lParam) {
    const RECT link = PixelRect(dialog, ControlId::lbl_URL);
    const POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    return PtInRect(&link, at) != FALSE;
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        auto* state = static_cast<DialogWindow*>(create->lpCreateParams);
        state->window = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state));
    }
    DialogWindow* dialog = StateOf(window);
    if (!dialog) return DefWindowProcW(window, message, wParam, lParam);
    switch (message) {
        case WM_ERASEBKGND: return 1;
        case WM_PAINT: PaintWindow(*dialog); return 0;
        case WM_SIZE: Form_Resize(*dialog); return 0;
        case WM_DPICHANGED: OnDpiChanged(*dialog, *reinterpret_cast<const RECT*>(lParam)); return 0;
        case WM_SETCURSOR:
            if (dialog->pointer == AppPointer::Hourglass ||
                (reinterpret_cast<HWND>(wParam) == window && LOWORD(lParam) == HTCLIENT)) {
                ApplyPointer(*dialog);
                return TRUE;
            }
            break;
        case WM_LBUTTONDOWN: dialog->linkPressed = InLink(*dialog, lParam); return 0;
        case WM_LBUTTONUP:
            if (std::exchange(dialog->linkPressed, false) && InLink(*dialog, lParam)) lbl_URL_Click(*dialog);
            return 0;
        case WM_COMMAND:
            if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == IDC_CMD_SET) Cmd_Set_Click(*dialog);
            if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == IDC_CMD_CAN) Cmd_Can_Click(*dialog);
            return 0;
        case kUnloadMessage: Form_Unload(*dialog); return 0;
        case WM_CLOSE: Form_Unload(*dialog); return 0;
        case WM_NCDESTROY:
            dialog->destroyed = true;
            dialog->ownedWindow.Forget();
            SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            break;
        default: break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

bool RegisterClasses(HINSTANCE instance) {
    WNDCLASSEXW window{};
    window.cbSize = sizeof window;
    window.lpfnWndProc = WindowProc;
    window.hInstance = instance;
    window.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_QUORVEL));
    window.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_QUORVEL), IMAGE_ICON,
                                                   GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
    window.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    window.hbrBackground = nullptr;  // the bands cover the whole client area
    window.lpszClassName = kWindowClass;
    if (!RegisterClassExW(&window) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;

    WNDCLASSEXW panel{};
    panel.cbSize = sizeof panel;
    panel.lpfnWndProc = PanelProc;
    panel.hInstance = instance;
    panel.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    panel.lpszClassName = kPanelClass;
    if (!RegisterClassExW(&panel) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
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
        if (IsWindow(dialog.window) && IsDialogMessageW(dialog.window, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

}  // namespace

void RunSettingsDialog(HINSTANCE instance, const quorvel::Settings& settings) {
    if (!RegisterClasses(instance)) return;
    RegisterCommandClass(instance);
    DialogWindow dialog;
    dialog.instance = instance;
    dialog.settings = settings;
    // Created hidden: the real size needs the DPI of the window's own monitor.
    HWND window = CreateWindowExW(WS_EX_CONTROLPARENT, kWindowClass, kSettingsWindowTitle, kWindowStyle, CW_USEDEFAULT,
                                  CW_USEDEFAULT, kProvisionalSize, kProvisionalSize, nullptr, nullptr, instance, &dialog);
    if (!window) return;
    dialog.ownedWindow = UniqueWindow(window);
    SizeClientArea(dialog);
    CreateControls(dialog);
    Form_Load(dialog);
    Form_Resize(dialog);
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    RunModalLoop(dialog);
    // Left early on a quit request: the window must not outlive the state it points to.
    dialog.ownedWindow.Reset();
}

}  // namespace quorvel::win32
