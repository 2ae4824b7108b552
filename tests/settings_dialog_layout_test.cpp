// The settings window's design table: positions in twips and pixels, kinds, texts, colours and font.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "base/numeric.h"
#include "settings_dialog/dialog_layout.h"

namespace quorvel {
namespace {

// Decodes UTF-8 into code points, so the wide and narrow texts can be compared without a library.
std::u32string DecodeUtf8(std::string_view text) {
    std::u32string out;
    for (size_t i = 0; i < text.size();) {
        const unsigned char lead = static_cast<unsigned char>(text[i]);
        int extra = lead < 0x80 ? 0 : lead < 0xE0 ? 1 : lead < 0xF0 ? 2 : 3;
        char32_t cp = extra == 0 ? lead : extra == 1 ? (lead & 0x1F) : extra == 2 ? (lead & 0x0F) : (lead & 0x07);
        for (int k = 1; k <= extra; ++k) cp = (cp << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        out.push_back(cp);
        i += static_cast<size_t>(extra) + 1;
    }
    return out;
}

std::u32string Widened(std::wstring_view text) {
    std::u32string out;
    for (wchar_t c : text) out.push_back(static_cast<char32_t>(c));  // all texts lie in the basic plane
    return out;
}

struct ExpectedPixels {
    ControlId id;
    LayoutRect at96;
    LayoutRect at144;
};

const ExpectedPixels kExpected[] = {
    {ControlId::Pic_2, {12, 12, 177, 217}, {18, 18, 266, 326}},
    {ControlId::lbl_URL, {12, 252, 207, 13}, {18, 378, 311, 20}},
    {ControlId::Cmd_Set, {200, 176, 93, 25}, {300, 264, 140, 38}},
    {ControlId::Cmd_Can, {200, 204, 93, 25}, {300, 306, 140, 38}},
    {ControlId::Shape0, {8, 8, 101, 21}, {12, 12, 152, 32}},
    {ControlId::lbl0, {8, 12, 101, 17}, {12, 18, 152, 26}},
    {ControlId::HS_Size, {48, 36, 73, 17}, {72, 54, 110, 26}},
    {ControlId::lbl1, {8, 40, 35, 13}, {12, 60, 53, 20}},
    {ControlId::lbl2, {124, 40, 36, 13}, {186, 60, 54, 20}},
    {ControlId::lbl_Size, {48, 56, 71, 13}, {72, 84, 107, 20}},
    {ControlId::Shape1, {8, 76, 101, 21}, {12, 114, 152, 32}},
    {ControlId::lbl3, {8, 80, 101, 17}, {12, 120, 152, 26}},
    {ControlId::HS_Length, {48, 104, 69, 17}, {72, 156, 104, 26}},
    {ControlId::lbl5, {20, 108, 25, 13}, {30, 162, 38, 20}},
    {ControlId::lbl6, {120, 108, 25, 13}, {180, 162, 38, 20}},
    {ControlId::lbl_Length, {48, 124, 67, 13}, {72, 186, 101, 20}},
    {ControlId::Shape3, {8, 144, 101, 21}, {12, 216, 152, 32}},
    {ControlId::lbl10, {8, 148, 101, 17}, {12, 222, 152, 26}},
    {ControlId::HS_Speed, {48, 172, 69, 17}, {72, 258, 104, 26}},
    {ControlId::lbl11, {20, 176, 25, 13}, {30, 264, 38, 20}},
    {ControlId::lbl12, {120, 176, 25, 13}, {180, 264, 38, 20}},
    {ControlId::lbl_Speed, {48, 192, 67, 13}, {72, 288, 101, 20}},
};

std::string Describe(const LayoutRect& r) {
    std::ostringstream text;
    text << '{' << r.left << ", " << r.top << ", " << r.width << ", " << r.height << '}';
    return text.str();
}

// --- The table itself ---

TEST(DialogLayoutTable, HoldsEveryControlOfBothTablesOnce) {
    const auto controls = DialogControls();
    ASSERT_EQ(controls.size(), std::size(kExpected)) << "expected 22 controls";
    int onWindow = 0;
    for (size_t i = 0; i < controls.size(); ++i) {
        EXPECT_EQ(controls[i].id, kExpected[i].id) << "row " << i << " out of design order";
        onWindow += controls[i].parent == Parent::Window;
    }
    EXPECT_EQ(onWindow, 4) << "Pic_2, lbl_URL and the two buttons sit on the window";
}

TEST(DialogLayoutTable, TwipRectanglesMatchTheDesign) {
    EXPECT_EQ(FindControl(ControlId::Pic_2).twips, (LayoutRect{180, 180, 2655, 3255}));
    EXPECT_EQ(FindControl(ControlId::lbl_URL).twips, (LayoutRect{180, 3780, 3105, 195}));
    EXPECT_EQ(FindControl(ControlId::Cmd_Set).twips, (LayoutRect{3000, 2640, 1395, 375}));
    EXPECT_EQ(FindControl(ControlId::Cmd_Can).twips, (LayoutRect{3000, 3060, 1395, 375}));
    EXPECT_EQ(FindControl(ControlId::HS_Size).twips, (LayoutRect{720, 540, 1095, 255}));
    EXPECT_EQ(FindControl(ControlId::HS_Length).twips, (LayoutRect{720, 1560, 1035, 255}));
    EXPECT_EQ(FindControl(ControlId::HS_Speed).twips, (LayoutRect{720, 2580, 1035, 255}));
    EXPECT_EQ(FindControl(ControlId::lbl2).twips, (LayoutRect{1860, 600, 540, 195}));
    EXPECT_EQ(FindControl(ControlId::lbl_Size).twips, (LayoutRect{720, 840, 1065, 195}));
    EXPECT_EQ(FindControl(ControlId::Shape3).twips, (LayoutRect{120, 2160, 1515, 315}));
}

TEST(DialogLayoutTable, KindsColoursAndAlignment) {
    EXPECT_EQ(FindControl(ControlId::Pic_2).kind, ControlKind::Panel);
    EXPECT_EQ(FindControl(ControlId::lbl_URL).kind, ControlKind::LinkLabel);
    EXPECT_EQ(FindControl(ControlId::lbl_URL).colour, ColourRole::White);
    EXPECT_TRUE(FindControl(ControlId::lbl_URL).underlined);
    for (ControlId id : {ControlId::lbl0, ControlId::lbl3, ControlId::lbl10}) {
        EXPECT_EQ(FindControl(id).kind, ControlKind::Heading);
        EXPECT_EQ(FindControl(id).colour, ColourRole::Black) << "headings are black";
        EXPECT_EQ(FindControl(id).align, TextAlign::Centre);
    }
    for (ControlId id : {ControlId::lbl_Size, ControlId::lbl_Length, ControlId::lbl_Speed}) {
        EXPECT_EQ(FindControl(id).kind, ControlKind::ValueLabel);
        EXPECT_EQ(FindControl(id).colour, ColourRole::ButtonText);
        EXPECT_EQ(FindControl(id).align, TextAlign::Centre);
    }
    for (ControlId id :
         {ControlId::lbl1, ControlId::lbl2, ControlId::lbl5, ControlId::lbl6, ControlId::lbl11, ControlId::lbl12}) {
        EXPECT_EQ(FindControl(id).kind, ControlKind::EndLabel);
        EXPECT_EQ(FindControl(id).colour, ColourRole::ButtonText);
        EXPECT_EQ(FindControl(id).align, TextAlign::Left);
    }
    for (ControlId id : {ControlId::Shape0, ControlId::Shape1, ControlId::Shape3}) {
        EXPECT_EQ(FindControl(id).kind, ControlKind::Frame);
        EXPECT_EQ(FindControl(id).colour, ColourRole::WindowText);
    }
    for (ControlId id : {ControlId::HS_Size, ControlId::HS_Length, ControlId::HS_Speed}) {
        EXPECT_EQ(FindControl(id).kind, ControlKind::Slider);
        EXPECT_EQ(FindControl(id).parent, Parent::Panel) << "the sliders live in the panel";
    }
}

TEST(DialogLayoutTable, TextsAreTheDesignBytes) {
    EXPECT_EQ(FindControl(ControlId::lbl0).textUtf8, "Tavrin\xe3\x81\xae\xe5\xa4\xa7\xe3\x81\x8d\xe3\x81\x95");
    EXPECT_EQ(FindControl(ControlId::lbl3).textUtf8, "Tavrin\xe3\x81\xae\xe9\x95\xb7\xe3\x81\x95");
    EXPECT_EQ(FindControl(ControlId::lbl10).textUtf8,
              "Tavrin\xe3\x81\xae\xef\xbd\xbd\xef\xbe\x8b\xef\xbe\x9f\xef\xbd\xb0\xef\xbe\x84\xef\xbe\x9e");
    EXPECT_EQ(FindControl(ControlId::lbl1).textUtf8, "\xe5\xb0\x8f\xe3\x81\x95\xe3\x81\x84");  // 小さい
    EXPECT_EQ(FindControl(ControlId::lbl2).textUtf8, "\xe5\xa4\xa7\xe3\x81\x8d\xe3\x81\x84");  // 大きい
    EXPECT_EQ(FindControl(ControlId::lbl5).textUtf8, "\xe7\x9f\xad\xe3\x81\x84");              // 短い
    EXPECT_EQ(FindControl(ControlId::lbl6).textUtf8, "\xe9\x95\xb7\xe3\x81\x84");              // 長い
    EXPECT_EQ(FindControl(ControlId::lbl11).textUtf8, "\xe9\x81\x85\xe3\x81\x84");             // 遅い
    EXPECT_EQ(FindControl(ControlId::lbl12).textUtf8, "\xe9\x80\x9f\xe3\x81\x84");             // 速い
    EXPECT_EQ(FindControl(ControlId::Cmd_Set).textUtf8, "\xe8\xa8\xad\xe5\xae\x9a");           // 設定
    EXPECT_EQ(FindControl(ControlId::Cmd_Can).text, std::wstring_view(L"\xff77\xff6c\xff9d\xff7e\xff99"))
        << "the cancel caption is half-width katakana";
    EXPECT_EQ(kDialogTitleUtf8, "Quorvel\xe3\x81\xae\xe8\xa8\xad\xe5\xae\x9a");
    EXPECT_EQ(kDialogFontFace, std::wstring_view(L"\xff2d\xff33 \xff30\x30b4\x30b7\x30c3\x30af"))
        << "full-width MS, a plain blank, full-width P, katakana gothic";
}

TEST(DialogLayoutTable, WideTextsSayTheSameAsTheUtf8Texts) {
    for (const ControlSpec& control : DialogControls()) {
        EXPECT_EQ(DecodeUtf8(control.textUtf8), Widened(control.text)) << "control " << static_cast<int>(control.id);
    }
    EXPECT_EQ(DecodeUtf8(kDialogTitleUtf8), Widened(kDialogTitle));
    EXPECT_EQ(DecodeUtf8(kDialogFontFaceUtf8), Widened(kDialogFontFace));
    EXPECT_EQ(DecodeUtf8(kLinkTargetUtf8), Widened(kLinkTarget));
    EXPECT_EQ(kDialogFontFallbacks[0], kDialogFontFace) << "the design face is tried first";
}

TEST(DialogLayoutTable, LinkLabelShowsItsTarget) {
    EXPECT_EQ(FindControl(ControlId::lbl_URL).text, kLinkTarget);
    EXPECT_EQ(kLinkTarget.find(L"://"), std::wstring_view::npos) << "the link leads to a shipped file, not a site";
}

TEST(DialogLayoutTable, SliderRangesAndSteps) {
    EXPECT_EQ(kSizeRange.min, 50);
    EXPECT_EQ(kSizeRange.max, 150);
    EXPECT_EQ(kSizeRange.designPosition, 150);
    EXPECT_EQ(kLengthRange.min, 50);
    EXPECT_EQ(kLengthRange.max, 200);
    EXPECT_EQ(kLengthRange.designPosition, 50);
    EXPECT_EQ(kSpeedRange.min, 50);
    EXPECT_EQ(kSpeedRange.max, 120);
    EXPECT_EQ(kSpeedRange.designPosition, 50);
    EXPECT_EQ(kSliderSmallChange, 1);
    EXPECT_EQ(kSliderLargeChange, 10);
}

// --- Pixels ---

TEST(DialogLayoutPixels, EveryControlAt96And144Dpi) {
    for (const ExpectedPixels& expected : kExpected) {
        const LayoutRect twips = FindControl(expected.id).twips;
        const LayoutRect at96 = RectToPixels(twips, 96);
        const LayoutRect at144 = RectToPixels(twips, 144);
        EXPECT_EQ(at96, expected.at96) << "control " << static_cast<int>(expected.id) << " at 96 dpi: expected "
                                       << Describe(expected.at96) << ", got " << Describe(at96);
        EXPECT_EQ(at144, expected.at144) << "control " << static_cast<int>(expected.id) << " at 144 dpi: expected "
                                         << Describe(expected.at144) << ", got " << Describe(at144);
    }
}

TEST(DialogLayoutPixels, ClientSizeAndFont) {
    EXPECT_EQ(DialogClientPixels(96).clientWidth, 305);
    EXPECT_EQ(DialogClientPixels(96).clientHeight, 281);
    EXPECT_EQ(DialogClientPixels(144).clientWidth, 458) << "457.5 rounds away from zero";
    EXPECT_EQ(DialogClientPixels(144).clientHeight, 422);
    EXPECT_EQ(DialogClientPixels(120).clientWidth, 381);
    EXPECT_EQ(DialogFontPixelHeight(96), 13);
    EXPECT_EQ(DialogFontPixelHeight(144), 20);
    EXPECT_EQ(DialogFontPixelHeight(192), 26);
}

TEST(DialogLayoutPixels, MulDivRoundsHalfAwayFromZero) {
    EXPECT_EQ(MulDivRound(15, 96, 1440), 1);
    EXPECT_EQ(MulDivRound(7, 96, 1440), 0);
    EXPECT_EQ(MulDivRound(8, 96, 1440), 1) << "0.533 rounds up";
    EXPECT_EQ(MulDivRound(5, 144, 1440), 1) << "0.5 rounds away from zero";
    EXPECT_EQ(MulDivRound(-5, 144, 1440), -1);
    EXPECT_EQ(MulDivRound(1, 1, 0), std::nullopt) << "division by zero fails";
    EXPECT_EQ(MulDivRound(0x7fffffff, 4, 1), std::nullopt) << "overflow fails";
    EXPECT_EQ(MulDivRound(0x7fffffff, 4, 4), 0x7fffffff) << "64-bit intermediate";
    EXPECT_EQ(TwipsToPixels(1, 0), 0);
}

}  // namespace
}  // namespace quorvel
