// The committed pictures, for benchmarks that run the saver on them.
#pragma once

#include <string>

#include "image/image_file.h"

namespace quorvel::bench {

// A picture from assets/; empty when it cannot be read.
inline Image Asset(const char* name) {
    Image image;
    ReadBmp(std::string(QUORVEL_SOURCE_DIR) + "/assets/" + name, image);
    return image;
}

}  // namespace quorvel::bench
