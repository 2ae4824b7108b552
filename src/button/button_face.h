// Paints a `Command` face into the control's persistent image: a vertical gradient under a frame cut from a skin.
#pragma once

#include <array>
#include <cstdint>
#include <functional>

#include "button/command.h"
#include "seam/gdi.h"

namespace quorvel {

// Skins are 64 x 25 pixel pictures whose twip coordinates are always 15 twips to the pixel.
inline constexpr int kSkinTwipsPerPixel = 15;

// What a cleared face holds before the gradient and the frame cover it: the light button-face colour.
inline constexpr uint32_t kFaceClearColour = 0xECE9D8;

// Fills columns 0..Wp-2 and rows 0..Hp-2 with the vertical gradient; the last column and row are left to the frame.
void FillFaceGradient(plat::Dc target, int widthPixels, int heightPixels, bool reverse);

class ButtonFace : public FacePainter {
public:
    using Skins = std::array<plat::Dc, kSkinCount>;

    // `target` holds the persistent image of the control's size; each skin DC holds one skin picture.
    ButtonFace(plat::Dc target, const Skins& skins, int dpi) : target_(target), skins_(skins), dpi_(dpi) {}

    void SetTarget(plat::Dc target) { target_ = target; }
    // Called after every paint so that the host shows the new image.
    void SetRefresh(std::function<void()> refresh) { refresh_ = std::move(refresh); }

    void DrawFace(Skin skin, const FaceGeometry& geometry, bool reverseGradient) override;

private:
    plat::Dc target_;
    Skins skins_;
    int dpi_;
    std::function<void()> refresh_;
};

}  // namespace quorvel
