// The settings window's controls as data: twip rectangles, kinds, texts, colours and the font, plus their
// conversion to pixels for a display's DPI.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "dialog/dialog_texts.h"

namespace quorvel {

// The window's inner size in twips.
inline constexpr int kDialogClientWidthTwips = 4575;
inline constexpr int kDialogClientHeightTwips = 4215;

// The Japanese texts' font: regular weight, Shift-JIS character set. Every language's labels and captions are
// shown at its size.
inline constexpr std::wstring_view kDialogFontFace = L"ＭＳ Ｐゴシック";
inline constexpr int kDialogFontHundredthsOfPoint = 975;  // 9.75 points

// Faces tried in order when the design face is missing, so the Japanese texts never come out as boxes.
inline constexpr std::wstring_view kDialogFontFallbacks[] = {
    L"ＭＳ Ｐゴシック", L"MS PGothic",  L"Meiryo UI", L"Yu Gothic UI",  L"IPAPGothic",
    L"IPA Pゴシック",   L"IPAゴシック", L"IPAGothic", L"ＭＳ ゴシック", L"MS Gothic",
};
static_assert(kDialogFontFallbacks[0] == kDialogFontFace, "the design face is tried first");

// The link label opens this file, looked up beside the program; the label shows the same text. The project
// has no public page of its own, so the link leads to the README shipped with the program.
inline constexpr std::wstring_view kLinkTarget = L"README.txt";

enum class ControlId : uint8_t {
    Pic_2,
    lbl_URL,
    Cmd_Set,
    Cmd_Can,
    Shape0,
    lbl0,
    HS_Size,
    lbl1,
    lbl2,
    lbl_Size,
    Shape1,
    lbl3,
    HS_Length,
    lbl5,
    lbl6,
    lbl_Length,
    Shape3,
    lbl10,
    HS_Speed,
    lbl11,
    lbl12,
    lbl_Speed,
};

enum class ControlKind : uint8_t {
    Panel,       // picture box holding the sliders, painted with bands
    LinkLabel,   // white underlined text with a hand cursor
    Button,      // the owner-drawn Command control
    Frame,       // one-pixel rectangle outline, no fill
    Heading,     // centred label, black
    EndLabel,    // label sized to its text, left-aligned
    ValueLabel,  // centred label showing a slider's value
    Slider,      // horizontal scroll bar
};

enum class TextAlign : uint8_t { Left, Centre };

// Colours that are either fixed or taken from the system's colour scheme at paint time.
enum class ColourRole : uint8_t { None, Black, White, ButtonText, WindowText, PanelGrey };

enum class Parent : uint8_t { Window, Panel };

struct LayoutRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    int right() const { return left + width; }
    int bottom() const { return top + height; }
    bool operator==(const LayoutRect&) const = default;
};

struct ControlSpec {
    ControlId id;
    ControlKind kind;
    Parent parent;
    LayoutRect twips;  // relative to the parent's inner area
    TextId text;        // a slider's is its heading, the name it gives accessibility tools
    ColourRole colour;  // text colour of labels, border of frames, background of the panel
    TextAlign align;
    bool underlined;
};

struct SliderRange {
    int16_t min;
    int16_t max;
    int16_t designPosition;  // kept when a setting cannot be given to the slider
};

inline constexpr int16_t kSliderSmallChange = 1;
inline constexpr int16_t kSliderLargeChange = 10;
inline constexpr SliderRange kSizeRange{50, 150, 150};
inline constexpr SliderRange kLengthRange{50, 200, 50};
inline constexpr SliderRange kSpeedRange{50, 120, 50};

// Every control of the window, window children first and then the panel's, in design order.
std::span<const ControlSpec> DialogControls();
const ControlSpec& FindControl(ControlId id);

// The words a control shows in a language: its table text, the file name for the link, nothing for the others.
std::wstring_view ControlText(const ControlSpec& control, const DialogLanguage& language);

// The pixels a control's text may take at a DPI without being cut or running into a neighbour: a heading the
// inside of its frame, a button its face inside the skin's frame, an end label the width up to its slider (left)
// or to the panel's edge (right), 1 pixel clear. End labels are drawn unclipped with nothing below them for a
// row, so only their width counts (height 0). Empty for controls without words of a language.
struct TextRoom {
    int width = 0;
    int height = 0;
};
std::optional<TextRoom> TextRoomPixels(ControlId id, int dpi);

// Each of left, top, width and height converted on its own, the way a control's properties are.
LayoutRect RectToPixels(const LayoutRect& twips, int dpi);

// The font's cell height in pixels (positive; a LOGFONT takes its negative).
int DialogFontPixelHeight(int dpi);

struct PixelLayout {
    int clientWidth = 0;
    int clientHeight = 0;
};
PixelLayout DialogClientPixels(int dpi);

}  // namespace quorvel
