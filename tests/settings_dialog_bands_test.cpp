// The shaded bands the settings window paints on itself and on its panel, row by row.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "settings_dialog/background_bands.h"

namespace quorvel {
namespace {

std::string Describe(const BandColour& c) {
    std::ostringstream text;
    text << '(' << int{c.red} << ", " << int{c.green} << ", " << int{c.blue} << ')';
    return text.str();
}

// The drawing loop restated plainly: every line from 0 to the rounded height inclusive, each landing on the
// pixel row its coordinate rounds to, later lines covering earlier ones.
struct ReferenceSurface {
    int heightPixels;
    double unitsPerPixel;  // 1 for the window, twips per pixel for the panel
    bool panel;
};

std::vector<BandColour> DrawReference(const ReferenceSurface& s, BandColour background) {
    std::vector<BandColour> rows(static_cast<size_t>(s.heightPixels), background);
    const float height = static_cast<float>(s.heightPixels * s.unitsPerPixel);
    const double k = height / 3.142;
    const long last = std::lround(std::nearbyint(height));
    for (long y = 0; y <= last; ++y) {
        const int v = static_cast<int>(std::nearbyint(std::fabs(std::sin(y / k) * 220.0)));
        const BandColour colour = s.panel ? BandColour{uint8_t(v + 30), uint8_t(v + 30), uint8_t(v + 30)}
                                          : BandColour{uint8_t(v), uint8_t(v), uint8_t(v + 30)};
        const long row = static_cast<long>(std::floor(y / s.unitsPerPixel + 0.5));
        if (row < s.heightPixels) rows[static_cast<size_t>(row)] = colour;
    }
    return rows;
}

void ExpectRowsEqual(const std::vector<BandColour>& expected, const std::vector<BandColour>& got,
                     const std::string& what) {
    ASSERT_EQ(got.size(), expected.size()) << what << ": row count";
    for (size_t row = 0; row < expected.size(); ++row) {
        EXPECT_EQ(got[row], expected[row])
            << what << " row " << row << ": expected " << Describe(expected[row]) << ", got " << Describe(got[row]);
    }
}

// --- Lines ---

TEST(BandLines, LevelFollowsTheScaledSine) {
    EXPECT_EQ(BandLevel(0, 281), 0);
    EXPECT_EQ(BandLevel(1, 281), 2);
    EXPECT_EQ(BandLevel(2, 281), 5);
    EXPECT_EQ(BandLevel(70, 281), 155);
    EXPECT_EQ(BandLevel(140, 281), 220) << "the middle is brightest";
    EXPECT_EQ(BandLevel(210, 281), 157);
    EXPECT_EQ(BandLevel(281, 281), 0) << "3.142 is a touch above pi, so the sine is just below zero";
}

TEST(BandLines, LastLineIsTheRoundedHeight) {
    EXPECT_EQ(LastBandLine(281.0f), 281);
    EXPECT_EQ(LastBandLine(2.5f), 2) << "ties go to even";
    EXPECT_EQ(LastBandLine(3.5f), 4);
    EXPECT_EQ(LastBandLine(40000.0f), 0) << "a height beyond 16 bits draws no loop past line 0";
}

TEST(BandLines, Colours) {
    EXPECT_EQ(WindowBandColour(0), (BandColour{0, 0, 30}));
    EXPECT_EQ(WindowBandColour(220), (BandColour{220, 220, 250}));
    EXPECT_EQ(PanelBandColour(0), (BandColour{30, 30, 30}));
    EXPECT_EQ(PanelBandColour(220), (BandColour{250, 250, 250}));
}

// --- The window, in pixels ---

TEST(WindowBands, RowByRowAt96Dpi) {
    const std::vector<BandColour> rows = WindowBandRows(281);
    ExpectRowsEqual(DrawReference({281, 1.0, false}, {192, 192, 192}), rows, "window 281");
    EXPECT_EQ(rows[0], (BandColour{0, 0, 30}));
    EXPECT_EQ(rows[1], (BandColour{2, 2, 32}));
    EXPECT_EQ(rows[140], (BandColour{220, 220, 250}));
    EXPECT_EQ(rows[141], (BandColour{220, 220, 250}));
    EXPECT_EQ(rows[280], (BandColour{2, 2, 32}));
}

TEST(WindowBands, RowByRowAt144Dpi) {
    const std::vector<BandColour> rows = WindowBandRows(422);
    ExpectRowsEqual(DrawReference({422, 1.0, false}, {192, 192, 192}), rows, "window 422");
    EXPECT_EQ(rows[2], (BandColour{3, 3, 33}));
    EXPECT_EQ(rows[70], (BandColour{110, 110, 140}));
    EXPECT_EQ(rows[210], (BandColour{220, 220, 250}));
    EXPECT_EQ(rows[421], (BandColour{2, 2, 32}));
}

TEST(WindowBands, EmptyAndTinySurfaces) {
    EXPECT_TRUE(WindowBandRows(0).empty());
    EXPECT_TRUE(WindowBandRows(-3).empty());
    const std::vector<BandColour> one = WindowBandRows(1);
    ASSERT_EQ(one.size(), 1u);
    EXPECT_EQ(one[0], (BandColour{0, 0, 30}));
}

// --- The panel, in twips: the last line on each pixel row wins ---

TEST(PanelBands, RowByRowAt96Dpi) {
    const std::vector<BandColour> rows = PanelBandRows(217, 96);
    ExpectRowsEqual(DrawReference({217, 15.0, true}, {128, 128, 128}), rows, "panel 217 at 96 dpi");
    // Row r shows twip line 15r + 7, the last that rounds onto it.
    EXPECT_EQ(rows[0], PanelBandColour(BandLevel(7, 3255.0f)));
    EXPECT_EQ(rows[0], (BandColour{31, 31, 31}));
    EXPECT_EQ(rows[1], (BandColour{35, 35, 35}));
    EXPECT_EQ(rows[108], (BandColour{250, 250, 250}));
    EXPECT_EQ(rows[216], (BandColour{32, 32, 32}));
    EXPECT_NE(rows[0], PanelBandColour(BandLevel(0, 3255.0f))) << "the first line on a row is covered";
}

TEST(PanelBands, RowByRowAt144Dpi) {
    const std::vector<BandColour> rows = PanelBandRows(326, 144);
    ExpectRowsEqual(DrawReference({326, 10.0, true}, {128, 128, 128}), rows, "panel 326 at 144 dpi");
    EXPECT_EQ(rows[0], PanelBandColour(BandLevel(4, 3260.0f))) << "twip 5 already rounds onto row 1";
    EXPECT_EQ(rows[1], (BandColour{33, 33, 33}));
    EXPECT_EQ(rows[108], (BandColour{220, 220, 220}));
    EXPECT_EQ(rows[325], (BandColour{31, 31, 31}));
}

TEST(PanelBands, EveryRowIsReachedAtUsualDpis) {
    for (int dpi : {96, 120, 144, 192}) {
        const int height = (3255 * dpi + 720) / 1440;
        const std::vector<BandColour> rows = PanelBandRows(height, dpi);
        ASSERT_EQ(rows.size(), static_cast<size_t>(height));
        for (size_t row = 0; row < rows.size(); ++row) {
            const BandColour c = rows[row];
            EXPECT_TRUE(c.red == c.green && c.green == c.blue && c.red >= 30 && c.red <= 250)
                << "dpi " << dpi << " row " << row << ": expected a band grey, got " << Describe(c);
        }
    }
    EXPECT_TRUE(PanelBandRows(10, 0).empty());
}

}  // namespace
}  // namespace quorvel
