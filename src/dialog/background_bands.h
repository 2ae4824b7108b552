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

// Line y of a surface of inner height H has the brightness v = nearest(|sin(y / (H / 3.142)) * 220|), ties to
// even, and lines run from 0 to H rounded to the nearest integer, inclusive.

// One colour per pixel row of the window, rows 0 .. heightPixels - 1, each line red v, green v, blue v + 30.
// The line at y = heightPixels lies outside the inner area and is clipped.
std::vector<BandColour> WindowBandRows(int heightPixels);

// One colour per pixel row of the panel at the given DPI, each line grey v + 30. The panel draws in twips, so
// several lines land on each pixel row: line y (twips) lands on the row it converts to and, being drawn later,
// covers the lines before it there. The panel's inner height in twips is its pixel height converted.
std::vector<BandColour> PanelBandRows(int heightPixels, int dpi);

}  // namespace quorvel
