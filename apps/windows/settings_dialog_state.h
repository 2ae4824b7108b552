// The settings window Tavrin_P inside: its state in one object that every handler reaches, and the handlers its
// files share. settings_window.cpp makes the window and lists its messages; the other settings_dialog_*.cpp files
// hold the texts and font, the painting and zoom, the sliders, and the load, buttons and link.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "apps/windows/settings_dialog_resources.h"
#include "dialog/background_bands.h"
#include "dialog/dialog_layout.h"
#include "dialog/dialog_texts.h"
#include "dialog/slider_state.h"
#include "host/win32/handles.h"
#include "settings/settings.h"

namespace quorvel::win32::settings_dialog {

// Posted by the buttons' Click handlers so that the window is not destroyed under the button's own code.
inline constexpr UINT kUnloadMessage = WM_APP + 1;

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
    const DialogLanguage* language = &kJapaneseTexts;
    HWND owner = nullptr;  // the window that opened the dialog, if any
    bool ownerDisabled = false;
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

inline std::array<SliderControl*, 3> SlidersOf(DialogWindow& dialog) {
    return {&dialog.HS_Size, &dialog.HS_Length, &dialog.HS_Speed};
}
inline std::array<const SliderControl*, 3> SlidersOf(const DialogWindow& dialog) {
    return {&dialog.HS_Size, &dialog.HS_Length, &dialog.HS_Speed};
}

// A control's design rectangle in pixels at the window's DPI, in its parent's client coordinates.
inline RECT PixelRect(const DialogWindow& dialog, ControlId id) {
    const LayoutRect r = RectToPixels(FindControl(id).twips, dialog.dpi);
    return RECT{r.left, r.top, r.right(), r.bottom()};
}

// settings_window.cpp: a child window at its design rectangle.
HWND CreateChild(const DialogWindow& dialog, HWND parent, const wchar_t* windowClass, DWORD exStyle, DWORD style,
                 ControlId id, int controlId, void* parameter);

inline std::wstring Text(const DialogWindow& dialog, TextId id) { return std::wstring(dialog.language->Text(id)); }

// settings_dialog_texts.cpp: the font the window's words are shown in.
UniqueFont CreateDialogFont(const DialogLanguage& language, int dpi);
void CreateFonts(DialogWindow& dialog);

// settings_dialog_paint.cpp: the bands, labels and frames, and the zoom to and from the cursor.
void PaintWindow(DialogWindow& dialog);
void PaintPanel(DialogWindow& dialog);
void Form_Resize(DialogWindow& dialog);
void ZoomFromCursor(const DialogWindow& dialog, HWND window);
void ZoomToCursor(const DialogWindow& dialog, HWND window);

// settings_dialog_sliders.cpp: the scroll bars and the value labels that follow them.
void CreateSlider(DialogWindow& dialog, SliderControl& control);
void OnSliderScroll(DialogWindow& dialog, HWND bar, int code);
void SetSliderFromCode(DialogWindow& dialog, SliderControl& control, const Slider& from);
void SetValueLabel(DialogWindow& dialog, SliderControl& control, std::wstring text);
std::wstring_view ValueText(const DialogWindow& dialog, ControlId label);

// settings_dialog_actions.cpp: the owner kept disabled while the window is open, load and unload, the two
// buttons, the link and the mouse pointer.
void DisableOwner(DialogWindow& dialog);
void ReleaseOwner(DialogWindow& dialog);
void Form_Load(DialogWindow& dialog);
void Form_Unload(DialogWindow& dialog);
void Cmd_Set_Click(DialogWindow& dialog);
void Cmd_Can_Click(DialogWindow& dialog);
void lbl_URL_Click(DialogWindow& dialog);
bool InLink(const DialogWindow& dialog, LPARAM lParam);
void ApplyPointer(const DialogWindow& dialog);

}  // namespace quorvel::win32::settings_dialog
