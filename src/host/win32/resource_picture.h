// Pictures the program carries as RCDATA resources: found here, decoded by the portable BMP reader.
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>

#include "image/bmp_image.h"

namespace quorvel::win32 {

// The bytes of an RCDATA resource of `module`; empty when there is none.
inline std::span<const uint8_t> ResourceBytes(HINSTANCE module, int id) {
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), RT_RCDATA);
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const auto* data = static_cast<const uint8_t*>(loaded ? LockResource(loaded) : nullptr);
    return data ? std::span<const uint8_t>(data, SizeofResource(module, found)) : std::span<const uint8_t>();
}

// False, leaving `image` as it was, when the resource is missing or not a BMP picture.
inline bool LoadPictureResource(HINSTANCE module, int id, Image& image) {
    return DecodeBmp(ResourceBytes(module, id), image);
}

}  // namespace quorvel::win32
