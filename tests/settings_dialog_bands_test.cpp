// The shaded bands the settings window paints on itself and on its panel, row by row.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/numeric.h"
#include "dialog/background_bands.h"
#include "dialog/dialog_layout.h"
#include "support.h"

namespace quorvel {
namespace {

std::string Describe(const BandColour& c) {
    return testing::Hex(static_cast<uint32_t>(c.red << 16 | c.green << 8 | c.blue));
}

BandColour Grey(uint8_t level) { return BandColour{level, level, level}; }

TEST(BandRows, ColoursOfChosenRows) {
    struct Spot { size_t row; BandColour colour; };
    const struct { const char* what; std::vector<BandColour> rows; size_t count; std::vector<Spot> spots; } cases[] = {
        {"window, 281 pixels", WindowBandRows(281), 281,
         {{0, {0, 0, 30}}, {1, {2, 2, 32}}, {97, {195, 195, 225}}, {140, {220, 220, 250}}, {141, {220, 220, 250}},
          {280, {2, 2, 32}}}},  // row 97 would read 194 with the exact pi
        // Row r shows twip line 15r + 7, the last that rounds onto it: line 0 (grey 30) is covered.
        {"panel, 217 pixels at 96 dpi", PanelBandRows(217, 96), 217,
         {{0, Grey(31)}, {1, Grey(35)}, {52, Grey(182)}, {108, Grey(250)}, {216, Grey(32)}}},
        {"panel, 326 pixels at 144 dpi", PanelBandRows(326, 144), 326,
         {{0, Grey(31)}, {1, Grey(33)}, {108, Grey(220)}, {325, Grey(31)}}},
        {"a height beyond 16 bits draws line 0 only", WindowBandRows(40000), 40000,
         {{0, {0, 0, 30}}, {1, {192, 192, 192}}}},
        {"no height", WindowBandRows(0), 0, {}}, {"a negative height", WindowBandRows(-3), 0, {}},
        {"no DPI", PanelBandRows(10, 0), 0, {}},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(c.rows.size(), c.count) << c.what;
        for (const Spot& spot : c.spots) {
            EXPECT_EQ(c.rows[spot.row], spot.colour) << c.what << ", row " << spot.row << ": expected "
                                                     << Describe(spot.colour) << ", got " << Describe(c.rows[spot.row]);
        }
    }
}

// At any DPI every panel row shows a grey that climbs to one bright middle and falls again: a row that no line
// reached keeps the background and breaks the climb.
TEST(BandRows, EveryPanelRowIsReachedAtUsualDpis) {
    for (int dpi : {96, 120, 144, 192}) {
        const int height = TwipsToPixels(FindControl(ControlId::Pic_2).twips.height, dpi);
        const std::vector<BandColour> rows = PanelBandRows(height, dpi);
        bool falling = false;
        for (size_t row = 1; row < rows.size(); ++row) {
            falling = falling || rows[row].red < rows[row - 1].red;
            EXPECT_TRUE(rows[row] == Grey(rows[row].red) && !(falling && rows[row].red > rows[row - 1].red))
                << dpi << " dpi, row " << row << ": " << Describe(rows[row - 1]) << " then " << Describe(rows[row]);
        }
    }
}

}  // namespace
}  // namespace quorvel
