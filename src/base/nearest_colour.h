// Matching a colour to a 256-entry table, shared by the palette and the portable GDI's colour tables.
#pragma once

#include <cstdint>

namespace quorvel {

// The entry of a 256-colour table nearest to a colour by squared RGB distance, the lowest index among equals:
// black then always lands on entry 0, the see-through index, however often a table repeats it.
template <typename Colour>
uint8_t NearestIndex(const Colour* table, int red, int green, int blue) {
    int best = 0;
    int bestDistance = 1 << 30;
    for (int i = 0; i < 256; ++i) {
        const int dr = table[i].red - red, dg = table[i].green - green, db = table[i].blue - blue;
        const int distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return static_cast<uint8_t>(best);
}

}  // namespace quorvel
