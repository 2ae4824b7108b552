// Band colours of the settings window's resize handler, per pixel row.
#include "dialog/background_bands.h"

#include <cmath>

#include "base/numeric.h"

namespace quorvel {
namespace {

// The sine is scaled with this rounded pi, not the exact one.
constexpr double kBandPi = 3.142;
constexpr int kBandAmplitude = 220;
constexpr int kBandLift = 30;
// Rows no line reaches keep the surface's own background colour.
constexpr BandColour kWindowBackground{192, 192, 192};
constexpr BandColour kPanelBackground{128, 128, 128};

uint8_t Channel(int value) { return static_cast<uint8_t>(value < 0 ? 0 : value > 255 ? 255 : value); }

int BandLevel(int y, float height) {
    const double k = static_cast<double>(height) / kBandPi;
    const double level = std::fabs(std::sin(static_cast<double>(y) / k) * kBandAmplitude);
    return static_cast<int>(std::nearbyint(level));
}

// A height beyond 16 bits does not convert, and the loop then draws line 0 only.
int LastBandLine(float height) { return ToInt16(height).value_or(0); }

BandColour WindowBandColour(int level) {
    return BandColour{Channel(level), Channel(level), Channel(level + kBandLift)};
}

BandColour PanelBandColour(int level) {
    return BandColour{Channel(level + kBandLift), Channel(level + kBandLift), Channel(level + kBandLift)};
}

}  // namespace

std::vector<BandColour> WindowBandRows(int heightPixels) {
    if (heightPixels <= 0) return {};
    std::vector<BandColour> rows(static_cast<size_t>(heightPixels), kWindowBackground);
    const float height = static_cast<float>(heightPixels);
    const int last = LastBandLine(height);
    for (int y = 0; y <= last && y < heightPixels; ++y) {
        rows[static_cast<size_t>(y)] = WindowBandColour(BandLevel(y, height));
    }
    return rows;
}

std::vector<BandColour> PanelBandRows(int heightPixels, int dpi) {
    if (heightPixels <= 0 || dpi <= 0) return {};
    std::vector<BandColour> rows(static_cast<size_t>(heightPixels), kPanelBackground);
    const float heightTwips = static_cast<float>(PixelsToTwips(heightPixels, dpi));
    const int last = LastBandLine(heightTwips);
    for (int y = 0; y <= last; ++y) {
        const int row = TwipsToPixels(y, dpi);
        if (row >= heightPixels) break;
        rows[static_cast<size_t>(row)] = PanelBandColour(BandLevel(y, heightTwips));
    }
    return rows;
}

}  // namespace quorvel
