// The two sprite sheets as BMP file bytes, carried inside the module (generated from assets/ at build time).
#pragma once

#include <cstdint>
#include <span>

namespace quorvel::web {

extern const std::span<const uint8_t> kCyanSheetBmp;
extern const std::span<const uint8_t> kGreenSheetBmp;

}  // namespace quorvel::web
