// The built-in 256-colour palette every surface carries; entry 0 is the black of every background.
#pragma once

#include <array>
#include <cstdint>

#include "base/nearest_colour.h"

namespace quorvel {

struct Rgb {
    uint8_t red, green, blue;
};

extern const std::array<Rgb, 256> kPalette;

inline uint8_t NearestPaletteIndex(int red, int green, int blue) {
    return NearestIndex(kPalette.data(), red, green, blue);
}

}  // namespace quorvel
