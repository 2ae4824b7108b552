// The two sprite sheets as BMP file bytes, carried inside the program (generated from assets/ at build time).
#pragma once

#include <cstdint>
#include <span>

namespace quorvel::x11 {

extern const std::span<const uint8_t> kCyanSheetBmp;
extern const std::span<const uint8_t> kGreenSheetBmp;

}  // namespace quorvel::x11
