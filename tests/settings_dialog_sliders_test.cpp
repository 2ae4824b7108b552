// The settings window's sliders: where the load handler puts them and what their labels read, how the scroll
// bar's requests move them, and where the window opens.
#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "dialog/slider_state.h"

namespace quorvel {
namespace {

TEST(SlidersFromSettings, PositionsRoundToEvenAndStayPutWhenRefusedWhileLabelsShowTheSettings) {
    const struct {
        Settings settings;
        int16_t size, length, speed;  // slider positions
        const char *sizeText, *lengthText, *speedText;
    } rows[] = {
        {{75, 100, 100}, 75, 100, 100, "75", "100", "100"},  // the defaults
        {{75.5f, 100, 99.5f}, 76, 100, 100, "75.5", "100", "99.5"},  // halves go to the even neighbour
        {{76.5f, 100, 98.5f}, 76, 100, 98, "76.5", "100", "98.5"},
        {{300, 40, 121}, 150, 50, 50, "300", "40", "121"},  // outside the range: the design positions
        {{50, 200, 120}, 50, 200, 120, "50", "200", "120"},  // the ends lie inside
        {{150.5f, 199, 120.5f}, 150, 199, 120, "150.5", "199", "120.5"},  // rounded back into the range
        {{49.5f, 0, 50.5f}, 50, 50, 50, "49.5", "0", "50.5"},
        {{48.5f, -1, 1e9f}, 150, 50, 50, "48.5", "-1", "1e+09"},  // 48 is refused; 1e9 does not fit 16 bits
        {{120.1f, 100, 100}, 120, 100, 100, "120.1", "100", "100"},  // the float's shortest text
    };
    for (const auto& row : rows) {
        const DialogSliders sliders = SlidersFromSettings(row.settings);
        const DialogLabels labels = LabelsFromSettings(row.settings);
        const auto what = ::testing::Message() << "settings " << row.settings.CrawlerSize << ", "
                                               << row.settings.CrawlerLength << ", " << row.settings.CrawlerSpeed;
        EXPECT_EQ(std::tuple(sliders.size.Position(), sliders.length.Position(), sliders.speed.Position()),
                  std::tuple(row.size, row.length, row.speed)) << what;
        EXPECT_EQ(std::tuple(labels.size, labels.length, labels.speed),
                  std::tuple(row.sizeText, row.lengthText, row.speedText)) << what;
    }
}

TEST(ApplyScroll, ScrollBarCodesMoveTheSliderAndRaiseItsHandlers) {
    // The horizontal scroll bar's notification codes.
    enum : int { kLineLeft, kLineRight, kPageLeft, kPageRight, kThumbPosition, kThumbTrack, kLeft, kRight, kEndScroll };
    using enum SliderEvent;
    const struct { SliderRange range; int16_t from; int code, thumb; int16_t to; SliderEvent event; } rows[] = {
        {kSizeRange, 100, kLineLeft, 0, 99, Change}, {kSizeRange, 100, kLineRight, 0, 101, Change},
        {kSizeRange, 100, kPageLeft, 0, 90, Change}, {kSizeRange, 100, kPageRight, 0, 110, Change},
        {kSizeRange, 100, kLeft, 0, 50, Change}, {kSizeRange, 100, kRight, 0, 150, Change},
        {kSpeedRange, 115, kPageRight, 0, 120, Change}, {kSpeedRange, 52, kPageLeft, 0, 50, Change},  // to the end
        {kSpeedRange, 120, kLineRight, 0, 120, None}, {kSpeedRange, 50, kLeft, 0, 50, None},  // nothing changes
        {kLengthRange, 50, kThumbTrack, 133, 133, Scroll}, {kLengthRange, 50, kThumbTrack, 900, 200, Scroll},
        {kLengthRange, 133, kThumbPosition, 140, 140, Change},
        {kLengthRange, 140, kThumbPosition, 140, 140, Change},  // letting go after a drag
        {kLengthRange, 100, kEndScroll, 0, 100, None},
    };
    for (const auto& row : rows) {
        Slider slider(row.range);
        ASSERT_TRUE(slider.SetPosition(row.from));
        const std::optional<ScrollRequest> request = ScrollRequestFromCode(row.code);
        ASSERT_TRUE(request) << "code " << row.code;
        const ScrollOutcome outcome = ApplyScroll(slider, *request, row.thumb);
        EXPECT_EQ(std::pair(outcome.position, outcome.event), std::pair(row.to, row.event))
            << "code " << row.code << " from " << row.from;
    }
    EXPECT_TRUE(!ScrollRequestFromCode(kEndScroll + 1) && !ScrollRequestFromCode(-1)) << "other codes are ignored";
}

TEST(CentredWindowPixels, HalfAcrossAndAThirdDownWorkedInTwips) {
    const struct { int screenWidth, screenHeight, windowWidth, windowHeight, dpi; WindowPosition expected; } rows[] = {
        {1024, 768, 311, 310, 96, {356, 153}},  // 5347 and 2290 twips; a third of 458 pixels would give 152
        {1920, 1080, 458, 433, 144, {731, 216}},
        {1366, 768, 381, 352, 120, {493, 139}},  // 5910 twips are 492.5 pixels, rounded away from zero
        {100, 100, 101, 105, 96, {0, -2}},       // larger than the screen: the divisions truncate toward zero
    };
    for (const auto& row : rows) {
        const WindowPosition at =
            CentredWindowPixels(row.screenWidth, row.screenHeight, row.windowWidth, row.windowHeight, row.dpi);
        EXPECT_EQ(at, row.expected) << "screen " << row.screenWidth << "x" << row.screenHeight << ", window "
                                    << row.windowWidth << "x" << row.windowHeight << ": got " << at.left << ", " << at.top;
    }
}

TEST(CentredOverOwner, OverTheOwnerAndBackInsideTheWorkArea) {
    const LayoutRect work{0, 0, 1024, 738};
    const struct { LayoutRect owner; WindowPosition expected; } rows[] = {
        {{100, 50, 500, 400}, {194, 105}},   // (500 - 311) / 2 = 94.5 truncated, and (400 - 290) / 2 = 55
        {{-300, -200, 400, 300}, {0, 0}},    // sticking out at the top left
        {{900, 600, 400, 300}, {713, 448}},  // and at the bottom right
        {{1100, 0, 200, 100}, {713, 0}},     // beside the work area altogether
    };
    for (const auto& row : rows) {
        const WindowPosition at = CentredOverOwner(row.owner, 311, 290, work);
        EXPECT_EQ(at, row.expected) << "owner at " << row.owner.left << ": got " << at.left << ", " << at.top;
    }
    EXPECT_EQ(CentredOverOwner({100, 100, 200, 200}, 400, 300, {50, 60, 300, 200}), (WindowPosition{50, 60}))
        << "larger than the work area: its top-left corner inside";
}

}  // namespace
}  // namespace quorvel
