// The settings window's sliders HS_Size, HS_Length and HS_Speed: scroll bars whose positions the portable Slider
// keeps, and the value labels lbl_Size, lbl_Length and lbl_Speed that their Change and Scroll handlers set.
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "apps/windows/settings_dialog_state.h"

namespace quorvel::win32::settings_dialog {
namespace {

SliderControl* SliderControlOf(DialogWindow& dialog, HWND bar) {
    for (SliderControl* control : SlidersOf(dialog)) {
        if (control->window == bar) return control;
    }
    return nullptr;
}

void ShowSliderPosition(DialogWindow& dialog, SliderControl& control) {
    SetValueLabel(dialog, control, WideText(NumberText(control.slider.Position())));
}

void RaiseSliderEvent(DialogWindow& dialog, const SliderControl& control, SliderEvent event) {
    if (event == SliderEvent::Change) control.change(dialog);
    if (event == SliderEvent::Scroll) control.scroll(dialog);
}

static_assert(SB_LINELEFT == 0 && SB_LINERIGHT == 1 && SB_PAGELEFT == 2 && SB_PAGERIGHT == 3 &&
              SB_THUMBPOSITION == 4 && SB_THUMBTRACK == 5 && SB_LEFT == 6 && SB_RIGHT == 7 && SB_ENDSCROLL == 8);

}  // namespace

void HS_Size_Change(DialogWindow& dialog) { ShowSliderPosition(dialog, dialog.HS_Size); }
void HS_Size_Scroll(DialogWindow& dialog) { ShowSliderPosition(dialog, dialog.HS_Size); }
void HS_Length_Change(DialogWindow& dialog) { ShowSliderPosition(dialog, dialog.HS_Length); }
void HS_Length_Scroll(DialogWindow& dialog) { ShowSliderPosition(dialog, dialog.HS_Length); }
void HS_Speed_Change(DialogWindow& dialog) { ShowSliderPosition(dialog, dialog.HS_Speed); }
void HS_Speed_Scroll(DialogWindow& dialog) { ShowSliderPosition(dialog, dialog.HS_Speed); }

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

void SetValueLabel(DialogWindow& dialog, SliderControl& control, std::wstring text) {
    control.text = std::move(text);
    const RECT box = PixelRect(dialog, control.label);
    InvalidateRect(dialog.panel, &box, FALSE);
}

std::wstring_view ValueText(const DialogWindow& dialog, ControlId label) {
    for (const SliderControl* control : SlidersOf(dialog)) {
        if (control->label == label) return control->text;
    }
    return {};
}

}  // namespace quorvel::win32::settings_dialog
