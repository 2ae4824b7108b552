// The pictures committed in the source tree's assets/ folder, for the programs that run from a build tree: the
// renderer, the benchmarks and the tests.
#pragma once

#include <string>

#include "image/image_file.h"

namespace quorvel {

// The assets/ folder of the source tree this was built from.
std::string AssetFolder();

// A BMP from assets/ by file name; an empty image when it cannot be read.
Image LoadAsset(const std::string& name);

}  // namespace quorvel
