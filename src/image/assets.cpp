// The source tree's place is fixed at build time, so a build tree finds its pictures wherever it runs from.
#include "image/assets.h"

namespace quorvel {

std::string AssetFolder() { return std::string(QUORVEL_SOURCE_DIR) + "/assets"; }

Image LoadAsset(const std::string& name) {
    Image image;
    ReadBmp(AssetFolder() + "/" + name, image);
    return image;
}

}  // namespace quorvel
