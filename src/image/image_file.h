// Picture files for the generators, the headless renderer and the tests: BMP in and out, PNG out.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "image/bmp_image.h"

namespace quorvel {

// A BMP file read whole and decoded by the program's own reader.
bool ReadBmp(const std::string& path, Image& image);
bool WriteBmp24(const std::string& path, const Image& image);
std::vector<uint8_t> EncodeBmp24(const Image& image);
bool WritePng(const std::string& path, const Image& image);

}  // namespace quorvel
