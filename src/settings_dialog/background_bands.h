// The shaded background bands of the settings window and its panel: one colour per horizontal line, as the
// resize handler draws them, reduced to the colour that ends up on each pixel row.
#pragma once

#include <cstdint>
#include <vector>

namespace quorvel {

struct BandColour {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    bool operator==(const BandColour&) const = default;
};

// The sine used by both surfaces is scaled with this rounded pi, not the exact one.
inline constexpr double kBandPi = 3.142;

// Brightness of line y on a surface of the given inner height: nearest(|sin(y / (height / 3.142)) * 220|), ties
// to even.
int BandLevel(int y, float height);

// The line numbers drawn for a surface of the given inner height: 0 up to the height rounded to the nearest
// integer (ties to even), inclusive.
int LastBandLine(float height);

// Window lines, drawn in pixels: red v, green v, blue v + 30.
BandColour WindowBandColour(int level);
// Panel lines, drawn in twips: all three channels v + 30.
BandColour PanelBandColour(int level);

// One colour per pixel row of the window, rows 0 .. heightPixels - 1. The line at y = heightPixels lies
// outside the inner area and is clipped.
std::vector<BandColour> WindowBandRows(int heightPixels);

// One colour per pixel row of the panel at the given DPI. The panel draws in twips, so several lines land on
// each pixel row: line y (twips) lands on row MulDiv(y, dpi, 1440) and, being drawn later, covers the lines
// before it there. The panel's inner height in twips is its pixel height times the twips per pixel.
std::vector<BandColour> PanelBandRows(int heightPixels, int dpi);

}  // namespace quorvel
