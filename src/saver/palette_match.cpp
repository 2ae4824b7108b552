// Nearest-colour matching onto the built-in palette.
#include "saver/palette_match.h"

#include <cstddef>

#include "surface/palette.h"

namespace quorvel {

uint8_t NearestPaletteIndex(uint8_t red, uint8_t green, uint8_t blue) {
    int best = 0;
    int bestDistance = 1 << 30;
    for (int i = 0; i < 256; ++i) {
        const Rgb& c = kPalette[static_cast<size_t>(i)];
        const int dr = c.red - red, dg = c.green - green, db = c.blue - blue;
        const int distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return static_cast<uint8_t>(best);
}

}  // namespace quorvel
