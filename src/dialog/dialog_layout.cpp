// The settings window's design table and its twip-to-pixel conversion.
#include "dialog/dialog_layout.h"

#include <array>
#include <cstdlib>

#include "base/numeric.h"

namespace quorvel {
namespace {

constexpr ControlSpec Control(ControlId id, ControlKind kind, Parent parent, LayoutRect twips, std::wstring_view text,
                              ColourRole colour, TextAlign align = TextAlign::Left, bool underlined = false) {
    return ControlSpec{id, kind, parent, twips, text, colour, align, underlined};
}

using K = ControlKind;
using C = ColourRole;
using A = TextAlign;
constexpr Parent W = Parent::Window;
constexpr Parent P = Parent::Panel;

constexpr std::array kControls{
    Control(ControlId::Pic_2, K::Panel, W, {180, 180, 2655, 3255}, L"", C::PanelGrey),
    Control(ControlId::lbl_URL, K::LinkLabel, W, {180, 3780, 3105, 195}, kLinkTarget, C::White, A::Left, true),
    Control(ControlId::Cmd_Set, K::Button, W, {3000, 2640, 1395, 375}, L"設定", C::Black, A::Centre),
    Control(ControlId::Cmd_Can, K::Button, W, {3000, 3060, 1395, 375}, L"ｷｬﾝｾﾙ", C::Black, A::Centre),

    Control(ControlId::Shape0, K::Frame, P, {120, 120, 1515, 315}, L"", C::WindowText),
    Control(ControlId::lbl0, K::Heading, P, {120, 180, 1515, 255}, L"Tavrinの大きさ", C::Black, A::Centre),
    Control(ControlId::HS_Size, K::Slider, P, {720, 540, 1095, 255}, L"", C::None),
    Control(ControlId::lbl1, K::EndLabel, P, {120, 600, 525, 195}, L"小さい", C::ButtonText),
    Control(ControlId::lbl2, K::EndLabel, P, {1860, 600, 540, 195}, L"大きい", C::ButtonText),
    Control(ControlId::lbl_Size, K::ValueLabel, P, {720, 840, 1065, 195}, L"", C::ButtonText, A::Centre),

    Control(ControlId::Shape1, K::Frame, P, {120, 1140, 1515, 315}, L"", C::WindowText),
    Control(ControlId::lbl3, K::Heading, P, {120, 1200, 1515, 255}, L"Tavrinの長さ", C::Black, A::Centre),
    Control(ControlId::HS_Length, K::Slider, P, {720, 1560, 1035, 255}, L"", C::None),
    Control(ControlId::lbl5, K::EndLabel, P, {300, 1620, 375, 195}, L"短い", C::ButtonText),
    Control(ControlId::lbl6, K::EndLabel, P, {1800, 1620, 375, 195}, L"長い", C::ButtonText),
    Control(ControlId::lbl_Length, K::ValueLabel, P, {720, 1860, 1005, 195}, L"", C::ButtonText, A::Centre),

    Control(ControlId::Shape3, K::Frame, P, {120, 2160, 1515, 315}, L"", C::WindowText),
    Control(ControlId::lbl10, K::Heading, P, {120, 2220, 1515, 255}, L"Tavrinのｽﾋﾟｰﾄﾞ", C::Black, A::Centre),
    Control(ControlId::HS_Speed, K::Slider, P, {720, 2580, 1035, 255}, L"", C::None),
    Control(ControlId::lbl11, K::EndLabel, P, {300, 2640, 375, 195}, L"遅い", C::ButtonText),
    Control(ControlId::lbl12, K::EndLabel, P, {1800, 2640, 375, 195}, L"速い", C::ButtonText),
    Control(ControlId::lbl_Speed, K::ValueLabel, P, {720, 2880, 1005, 195}, L"", C::ButtonText, A::Centre),
};

}  // namespace

std::span<const ControlSpec> DialogControls() { return kControls; }

const ControlSpec& FindControl(ControlId id) {
    for (const ControlSpec& control : kControls) {
        if (control.id == id) return control;
    }
    std::abort();  // every ControlId has a row; reaching here is a programming error
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
