// Arbitrary bytes as a BMP file: a picture that decodes has a sane size; one that does not leaves the result alone.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "image/bmp_image.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    quorvel::Image image(1, 1, 0x123456);
    if (quorvel::DecodeBmp(std::span<const uint8_t>(data, size), image)) {
        if (image.width < 1 || image.width > quorvel::kMaxBmpSide || image.height < 1 ||
            image.height > quorvel::kMaxBmpSide ||
            image.pixels.size() != static_cast<size_t>(image.width) * static_cast<size_t>(image.height))
            std::abort();
        for (const uint32_t pixel : image.pixels)
            if (pixel > 0xFFFFFF) std::abort();
    } else if (image.width != 1 || image.height != 1 || image.pixels.size() != 1 || image.pixels[0] != 0x123456) {
        std::abort();
    }
    return 0;
}
