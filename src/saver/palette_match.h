// Colours matched to the built-in palette the way the saver's sheets need: the nearest entry by squared RGB
// distance, the lowest index among equals, so black is always entry 0, the see-through index.
#pragma once

#include <cstdint>

namespace quorvel {

uint8_t NearestPaletteIndex(uint8_t red, uint8_t green, uint8_t blue);

}  // namespace quorvel
