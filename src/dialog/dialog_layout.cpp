// The settings window's design table and its twip-to-pixel conversion.
#include "dialog/dialog_layout.h"

#include <array>
#include <cstdlib>

#include "base/numeric.h"

namespace quorvel {
namespace {

constexpr ControlSpec Control(ControlId id, ControlKind kind, Parent parent, LayoutRect twips, TextId text,
                              ColourRole colour, TextAlign align = TextAlign::Left, bool underlined = false) {
    return ControlSpec{id, kind, parent, twips, text, colour, align, underlined};
}

using K = ControlKind;
using C = ColourRole;
using A = TextAlign;
using T = TextId;
constexpr Parent W = Parent::Window;
constexpr Parent P = Parent::Panel;

constexpr std::array kControls{
    Control(ControlId::Pic_2, K::Panel, W, {180, 180, 2655, 3255}, T::None, C::PanelGrey),
    Control(ControlId::lbl_URL, K::LinkLabel, W, {180, 3780, 3105, 195}, T::None, C::White, A::Left, true),
    Control(ControlId::Cmd_Set, K::Button, W, {3000, 2640, 1395, 375}, T::SetCaption, C::Black, A::Centre),
    Control(ControlId::Cmd_Can, K::Button, W, {3000, 3060, 1395, 375}, T::CancelCaption, C::Black, A::Centre),

    Control(ControlId::Shape0, K::Frame, P, {120, 120, 1515, 315}, T::None, C::WindowText),
    Control(ControlId::lbl0, K::Heading, P, {120, 180, 1515, 255}, T::SizeHeading, C::Black, A::Centre),
    Control(ControlId::HS_Size, K::Slider, P, {720, 540, 1095, 255}, T::SizeHeading, C::None),
    Control(ControlId::lbl1, K::EndLabel, P, {120, 600, 525, 195}, T::SizeSmall, C::ButtonText),
    Control(ControlId::lbl2, K::EndLabel, P, {1860, 600, 540, 195}, T::SizeLarge, C::ButtonText),
    Control(ControlId::lbl_Size, K::ValueLabel, P, {720, 840, 1065, 195}, T::None, C::ButtonText, A::Centre),

    Control(ControlId::Shape1, K::Frame, P, {120, 1140, 1515, 315}, T::None, C::WindowText),
    Control(ControlId::lbl3, K::Heading, P, {120, 1200, 1515, 255}, T::LengthHeading, C::Black, A::Centre),
    Control(ControlId::HS_Length, K::Slider, P, {720, 1560, 1035, 255}, T::LengthHeading, C::None),
    Control(ControlId::lbl5, K::EndLabel, P, {300, 1620, 375, 195}, T::LengthShort, C::ButtonText),
    Control(ControlId::lbl6, K::EndLabel, P, {1800, 1620, 375, 195}, T::LengthLong, C::ButtonText),
    Control(ControlId::lbl_Length, K::ValueLabel, P, {720, 1860, 1005, 195}, T::None, C::ButtonText, A::Centre),

    Control(ControlId::Shape3, K::Frame, P, {120, 2160, 1515, 315}, T::None, C::WindowText),
    Control(ControlId::lbl10, K::Heading, P, {120, 2220, 1515, 255}, T::SpeedHeading, C::Black, A::Centre),
    Control(ControlId::HS_Speed, K::Slider, P, {720, 2580, 1035, 255}, T::SpeedHeading, C::None),
    Control(ControlId::lbl11, K::EndLabel, P, {300, 2640, 375, 195}, T::SpeedSlow, C::ButtonText),
    Control(ControlId::lbl12, K::EndLabel, P, {1800, 2640, 375, 195}, T::SpeedFast, C::ButtonText),
    Control(ControlId::lbl_Speed, K::ValueLabel, P, {720, 2880, 1005, 195}, T::None, C::ButtonText, A::Centre),
};

}  // namespace

std::span<const ControlSpec> DialogControls() { return kControls; }

const ControlSpec& FindControl(ControlId id) {
    for (const ControlSpec& control : kControls) {
        if (control.id == id) return control;
    }
    std::abort();  // every ControlId has a row; reaching here is a programming error
}

std::wstring_view ControlText(const ControlSpec& control, const DialogLanguage& language) {
    if (control.kind == ControlKind::LinkLabel) return kLinkTarget;
    return language.Text(control.text);
}

namespace {

// The first control of a kind in the panel whose rectangle meets `where`.
const ControlSpec* PanelControl(ControlKind kind, bool (*where)(const LayoutRect& candidate, const LayoutRect& of),
                                const LayoutRect& of) {
    for (const ControlSpec& control : kControls) {
        if (control.kind == kind && control.parent == Parent::Panel && where(control.twips, of)) return &control;
    }
    return nullptr;
}
bool Encloses(const LayoutRect& frame, const LayoutRect& r) {
    return frame.left <= r.left && r.right() <= frame.right() && frame.top <= r.top && r.bottom() <= frame.bottom();
}
bool BesideOf(const LayoutRect& slider, const LayoutRect& r) { return slider.top <= r.top && r.top < slider.bottom(); }

// The skin's frame around a button's face, 4 pixels at 96 dpi.
constexpr int kButtonFrameTwips = 60;

}  // namespace

std::optional<TextRoom> TextRoomPixels(ControlId id, int dpi) {
    const ControlSpec& control = FindControl(id);
    const LayoutRect r = RectToPixels(control.twips, dpi);
    switch (control.kind) {
        case ControlKind::Heading: {
            const ControlSpec* frame = PanelControl(ControlKind::Frame, Encloses, control.twips);
            if (!frame) return std::nullopt;
            const LayoutRect f = RectToPixels(frame->twips, dpi);
            return TextRoom{f.width - 2, f.bottom() - 1 - r.top};  // inside the one-pixel border
        }
        case ControlKind::EndLabel: {
            const ControlSpec* slider = PanelControl(ControlKind::Slider, BesideOf, control.twips);
            if (!slider) return std::nullopt;
            const LayoutRect s = RectToPixels(slider->twips, dpi);
            const int end = s.left > r.left ? s.left : RectToPixels(FindControl(ControlId::Pic_2).twips, dpi).width;
            return TextRoom{end - 1 - r.left, 0};
        }
        case ControlKind::Button: {
            const int frame = 2 * TwipsToPixels(kButtonFrameTwips, dpi);
            return TextRoom{r.width - frame, r.height - frame};
        }
        default: return std::nullopt;
    }
}

LayoutRect RectToPixels(const LayoutRect& twips, int dpi) {
    return LayoutRect{TwipsToPixels(twips.left, dpi), TwipsToPixels(twips.top, dpi),
                      TwipsToPixels(twips.width, dpi), TwipsToPixels(twips.height, dpi)};
}

int DialogFontPixelHeight(int dpi) { return TwipsToPixels(kDialogFontHundredthsOfPoint * kTwipsPerPoint / 100, dpi); }

PixelLayout DialogClientPixels(int dpi) {
    return PixelLayout{TwipsToPixels(kDialogClientWidthTwips, dpi),
                       TwipsToPixels(kDialogClientHeightTwips, dpi)};
}

}  // namespace quorvel
