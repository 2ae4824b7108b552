// The settings window's sliders: load from settings, value labels, scroll steps, window position, and what
// Set hands to the settings file.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>
#include <string>

#include "settings_dialog/slider_state.h"
#include "startup/settings.h"

namespace quorvel {
namespace {

Settings Make(float size, int16_t length, float speed) {
    Settings s;
    s.CrawlerSize = size;
    s.CrawlerLength = length;
    s.CrawlerSpeed = speed;
    s.CrawlerTaper = 50;
    return s;
}

// --- Load: positions and labels ---

TEST(SlidersFromSettings, DefaultsStandAtTheirValues) {
    const Settings settings = Make(75, 100, 100);
    const DialogSliders sliders = SlidersFromSettings(settings);
    EXPECT_EQ(sliders.size.Position(), 75);
    EXPECT_EQ(sliders.length.Position(), 100);
    EXPECT_EQ(sliders.speed.Position(), 100);
    const DialogLabels labels = LabelsFromSettings(settings);
    EXPECT_EQ(labels.size, "75");
    EXPECT_EQ(labels.length, "100");
    EXPECT_EQ(labels.speed, "100");
}

TEST(SlidersFromSettings, HalvesRoundToEvenWhileLabelsKeepTheNumber) {
    const DialogSliders up = SlidersFromSettings(Make(75.5f, 100, 100));
    EXPECT_EQ(up.size.Position(), 76) << "75.5 goes to the even 76";
    EXPECT_EQ(LabelsFromSettings(Make(75.5f, 100, 100)).size, "75.5");
    const DialogSliders down = SlidersFromSettings(Make(76.5f, 100, 100));
    EXPECT_EQ(down.size.Position(), 76) << "76.5 goes to the even 76";
    EXPECT_EQ(LabelsFromSettings(Make(76.5f, 100, 100)).size, "76.5");
    EXPECT_EQ(SlidersFromSettings(Make(75, 100, 99.5f)).speed.Position(), 100);
    EXPECT_EQ(SlidersFromSettings(Make(75, 100, 98.5f)).speed.Position(), 98);
}

TEST(SlidersFromSettings, OutOfRangeKeepsTheDesignPositionButLabelShowsTheSetting) {
    const Settings settings = Make(300, 40, 121);
    const DialogSliders sliders = SlidersFromSettings(settings);
    EXPECT_EQ(sliders.size.Position(), 150) << "size 300 is refused; design position 150";
    EXPECT_EQ(sliders.length.Position(), 50) << "length 40 is refused; design position 50";
    EXPECT_EQ(sliders.speed.Position(), 50) << "speed 121 is refused; design position 50";
    const DialogLabels labels = LabelsFromSettings(settings);
    EXPECT_EQ(labels.size, "300");
    EXPECT_EQ(labels.length, "40");
    EXPECT_EQ(labels.speed, "121");
}

TEST(SlidersFromSettings, RangeEndsAreAccepted) {
    const DialogSliders low = SlidersFromSettings(Make(50, 50, 50));
    EXPECT_EQ(low.size.Position(), 50);
    EXPECT_EQ(low.length.Position(), 50);
    EXPECT_EQ(low.speed.Position(), 50);
    const DialogSliders high = SlidersFromSettings(Make(150, 200, 120));
    EXPECT_EQ(high.size.Position(), 150);
    EXPECT_EQ(high.length.Position(), 200);
    EXPECT_EQ(high.speed.Position(), 120);
    EXPECT_EQ(SlidersFromSettings(Make(150.5f, 100, 120.5f)).size.Position(), 150) << "150.5 rounds to 150";
    EXPECT_EQ(SlidersFromSettings(Make(75, 100, 120.5f)).speed.Position(), 120) << "120.5 rounds to 120";
    EXPECT_EQ(SlidersFromSettings(Make(49.5f, 100, 100)).size.Position(), 50) << "49.5 rounds to the even 50";
    EXPECT_EQ(SlidersFromSettings(Make(48.5f, 100, 100)).size.Position(), 150) << "48.5 rounds to 48, refused";
}

TEST(SlidersFromSettings, UnconvertibleSettingsKeepTheDesignPosition) {
    const float huge = 1e9f;
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const DialogSliders sliders = SlidersFromSettings(Make(huge, 0, nan));
    EXPECT_EQ(sliders.size.Position(), 150);
    EXPECT_EQ(sliders.length.Position(), 50) << "a length of 0 (an unreadable file value) is out of range";
    EXPECT_EQ(sliders.speed.Position(), 50);
    EXPECT_EQ(LabelsFromSettings(Make(huge, 0, 100)).size, "1e+09");
    EXPECT_EQ(LabelsFromSettings(Make(huge, 0, 100)).length, "0");
}

TEST(NumberText, ShortestDecimal) {
    EXPECT_EQ(NumberText(75.5f), "75.5");
    EXPECT_EQ(NumberText(75.0f), "75");
    EXPECT_EQ(NumberText(300.0f), "300");
    EXPECT_EQ(NumberText(120.1f), "120.1") << "the float's shortest text, not its double expansion";
    EXPECT_EQ(NumberText(-0.5f), "-0.5");
    EXPECT_EQ(NumberText(int16_t{-1}), "-1");
    EXPECT_EQ(NumberText(int16_t{200}), "200");
    EXPECT_EQ(WideText("75.5"), L"75.5");
}

// --- Scrolling ---

TEST(ScrollRequestFromCode, FollowsTheScrollBarCodes) {
    EXPECT_EQ(ScrollRequestFromCode(0), ScrollRequest::LineLeft);
    EXPECT_EQ(ScrollRequestFromCode(1), ScrollRequest::LineRight);
    EXPECT_EQ(ScrollRequestFromCode(2), ScrollRequest::PageLeft);
    EXPECT_EQ(ScrollRequestFromCode(3), ScrollRequest::PageRight);
    EXPECT_EQ(ScrollRequestFromCode(4), ScrollRequest::ThumbPosition);
    EXPECT_EQ(ScrollRequestFromCode(5), ScrollRequest::ThumbTrack);
    EXPECT_EQ(ScrollRequestFromCode(6), ScrollRequest::ToMin);
    EXPECT_EQ(ScrollRequestFromCode(7), ScrollRequest::ToMax);
    EXPECT_EQ(ScrollRequestFromCode(8), ScrollRequest::EndScroll);
    EXPECT_EQ(ScrollRequestFromCode(9), std::nullopt) << "unknown codes are ignored";
    EXPECT_EQ(ScrollRequestFromCode(-1), std::nullopt);
}

TEST(ApplyScroll, ArrowsMoveByOneAndPagesByTen) {
    Slider size(kSizeRange);
    ASSERT_TRUE(size.SetPosition(100));
    EXPECT_EQ(ApplyScroll(size, ScrollRequest::LineLeft, 0).position, 99);
    EXPECT_EQ(ApplyScroll(size, ScrollRequest::LineRight, 0).position, 101);
    EXPECT_EQ(ApplyScroll(size, ScrollRequest::PageLeft, 0).position, 90);
    EXPECT_EQ(ApplyScroll(size, ScrollRequest::PageRight, 0).position, 110);
    EXPECT_EQ(ApplyScroll(size, ScrollRequest::PageRight, 0).event, SliderEvent::Change);
    EXPECT_EQ(ApplyScroll(size, ScrollRequest::ToMin, 0).position, 50);
    EXPECT_EQ(ApplyScroll(size, ScrollRequest::ToMax, 0).position, 150);
}

TEST(ApplyScroll, ClampsAtTheEnds) {
    Slider speed(kSpeedRange);
    ASSERT_TRUE(speed.SetPosition(115));
    EXPECT_EQ(ApplyScroll(speed, ScrollRequest::PageRight, 0).position, 120) << "115 + 10 stops at 120";
    ASSERT_TRUE(speed.SetPosition(120));
    const ScrollOutcome stuck = ApplyScroll(speed, ScrollRequest::LineRight, 0);
    EXPECT_EQ(stuck.position, 120);
    EXPECT_EQ(stuck.event, SliderEvent::None) << "nothing changed, so no Change";
    ASSERT_TRUE(speed.SetPosition(52));
    EXPECT_EQ(ApplyScroll(speed, ScrollRequest::PageLeft, 0).position, 50);
}

TEST(ApplyScroll, DraggingRaisesScrollAndReleaseRaisesChange) {
    Slider length(kLengthRange);
    const ScrollOutcome drag = ApplyScroll(length, ScrollRequest::ThumbTrack, 133);
    EXPECT_EQ(drag.position, 133);
    EXPECT_EQ(drag.event, SliderEvent::Scroll);
    const ScrollOutcome release = ApplyScroll(length, ScrollRequest::ThumbPosition, 140);
    EXPECT_EQ(release.position, 140);
    EXPECT_EQ(release.event, SliderEvent::Change);
    EXPECT_EQ(ApplyScroll(length, ScrollRequest::ThumbTrack, 900).position, 200) << "thumb values are clamped";
    EXPECT_EQ(ApplyScroll(length, ScrollRequest::EndScroll, 0).event, SliderEvent::None);
}

TEST(SliderPosition, RefusesValuesOutsideTheRange) {
    Slider length(kLengthRange);
    EXPECT_EQ(length.Position(), 50);
    EXPECT_FALSE(length.SetPosition(201));
    EXPECT_FALSE(length.SetPosition(49.4));
    EXPECT_FALSE(length.SetPosition(70000));
    EXPECT_EQ(length.Position(), 50);
    EXPECT_TRUE(length.SetPosition(199.5)) << "199.5 rounds to 200";
    EXPECT_EQ(length.Position(), 200);
}

// --- Window position ---

TEST(CentredWindowPosition, HalfAcrossAndAThirdDown) {
    // 1024 x 768 screen and a 311 x 310 window at 15 twips per pixel.
    const WindowPosition twips = CentredWindowPosition(15360, 11520, 4665, 4650);
    EXPECT_EQ(twips, (WindowPosition{5347, 2290})) << "got " << twips.left << ", " << twips.top;
    EXPECT_EQ(CentredWindowPixels(1024, 768, 311, 310, 96), (WindowPosition{356, 153}));
    EXPECT_EQ(CentredWindowPosition(100, 100, 101, 105), (WindowPosition{0, -1}))
        << "a window larger than the screen: division truncates toward zero";
    EXPECT_EQ(CentredWindowPosition(10.5, 0, 0, 0).left, 5) << "10.5 rounds to 10, then \\ 2";
    EXPECT_EQ(CentredWindowPosition(11.5, 0, 0, 0).left, 6) << "11.5 rounds to 12, then \\ 2";
}

// --- Set ---

class SaveFromSliders : public ::testing::Test {
protected:
    void SetUp() override {
        file_ = (std::filesystem::temp_directory_path() /
                 ("quorvel_dialog_test_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".ini"))
                    .string();
        std::filesystem::remove(file_);
    }
    void TearDown() override { std::filesystem::remove(file_); }

    std::string ReadAll() const {
        std::ifstream in(file_, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    std::string file_;
};

TEST(SliderSaveText, PositionsGoToTheFileWithALeadingBlank) {
    EXPECT_EQ(FormatSliderPosition(150), " 150");
    EXPECT_EQ(FormatSliderPosition(76), " 76");
    EXPECT_EQ(FormatSliderPosition(50), " 50");
}

TEST_F(SaveFromSliders, OutOfRangeSizeSavesTheSliderPosition) {
    const DialogSliders sliders = SlidersFromSettings(Make(300, 100, 100));
    ASSERT_TRUE(SaveSettings(sliders.size.Position(), sliders.length.Position(), sliders.speed.Position(), file_));
    EXPECT_EQ(ReadAll(),
              "[Section]\r\n"
              "Tavrin\x82\xcc\x91\xe5\x82\xab\x82\xb3=150\r\n"
              "Tavrin\x82\xcc\x92\xb7\x82\xb3=100\r\n"
              "Tavrin\x82\xcc\x91\xac\x82\xb3=100\r\n")
        << "the size label read 300 but the slider stood at 150";
    Settings loaded;
    LoadSettings(loaded, file_);
    EXPECT_EQ(loaded.CrawlerSize, 150.0f);
}

TEST_F(SaveFromSliders, ScrolledPositionsRoundTrip) {
    DialogSliders sliders = SlidersFromSettings(Make(75, 100, 100));
    ASSERT_TRUE(sliders.size.SetPosition(ApplyScroll(sliders.size, ScrollRequest::PageRight, 0).position));
    ASSERT_TRUE(sliders.length.SetPosition(ApplyScroll(sliders.length, ScrollRequest::LineLeft, 0).position));
    ASSERT_TRUE(SaveSettings(sliders.size.Position(), sliders.length.Position(), sliders.speed.Position(), file_));
    Settings loaded;
    LoadSettings(loaded, file_);
    EXPECT_EQ(loaded.CrawlerSize, 85.0f);
    EXPECT_EQ(loaded.CrawlerLength, 99);
    EXPECT_EQ(loaded.CrawlerSpeed, 100.0f);
    const DialogSliders again = SlidersFromSettings(loaded);
    EXPECT_EQ(again.size.Position(), 85);
    EXPECT_EQ(again.length.Position(), 99);
}

}  // namespace
}  // namespace quorvel
