// The saver as the programs see it: made for a display from the settings and the two sheets, then one frame
// drawn, presented and the timer ticked as often as the run loop says, resized when the display changes, and
// ended. The Win32 window, the X11 program, the headless renderer and the benchmarks use it only through this.
#pragma once

#include "seam/gdi.h"
#include "saver/random_source.h"
#include "saver/saver_core.h"
#include "settings/settings.h"
#include "image/bmp_image.h"
#include "surface/tavrin_c.h"

namespace quorvel {

// A hidden picture box holding one sprite sheet. The sheet is matched to the palette here, exactly, and held
// as an 8-bit DIB section with the palette's colour table, so the surface's grab copies indices one to one.
// Leaving the matching to a blit from 24 bits would let a coarse GDI turn the sheet's black into a dark
// non-zero entry, which the blits would draw as boxes.
class SheetPicture {
public:
    SheetPicture() = default;
    ~SheetPicture();
    SheetPicture(const SheetPicture&) = delete;
    SheetPicture& operator=(const SheetPicture&) = delete;

    // False, holding nothing, when the picture is not a sheet's size or GDI refuses the bitmap.
    bool Load(const Image& sheet);
    PictureBox Box() const;

private:
    void Release();

    plat::Dc dc_ = nullptr;
    plat::Bitmap bitmap_ = nullptr;
};

class Saver {
public:
    // Form_Load and Form_Activate up to the loop: rings at their starting points, surfaces set up for
    // `display`, the body built. A sheet that cannot be loaded leaves its crawler's pictures blank. The display
    // may span several monitors (where they lie on it; none means it is one); targets stay on them. A program
    // that shows only the visible buffer has only that one drawn. On a scaled display (`displayScale` above 1,
    // dpi / 96) the crawlers move on a display that many times smaller and are drawn magnified, so they look on
    // it as they would on an unscaled one; 1 draws every pixel as an unscaled display has it.
    Saver(const Settings& settings, const PictureBox& display, const Image& cyanSheet, const Image& greenSheet,
          std::span<const ScreenRect> monitors = {}, DrawnBuffers drawn = DrawnBuffers::kBoth,
          float displayScale = 1);

    // One pass of the animation loop: clear, draw both crawlers, move both heads.
    void Frame() { core_.RunFrame(); }
    // Its two halves: the crawlers drawn where they are, and both heads moved one step.
    void Draw() { core_.DrawFrame(); }
    void Advance() { core_.AdvanceCrawlers(); }
    // The frame to the display through the surfaces: what changed since the last one presented, or all of it
    // for a display that lost its contents.
    void Present(PresentScope scope = PresentScope::kChanged) { core_.Present(scope); }
    // For a program that puts the pixels on its display itself, in place of Present: where the frame differs
    // from the one presented before it, and the buffer that stays visible (drawn from the green sheet).
    std::span<const PresentRect> FindChanges() {
        core_.FindChangedArea();
        return core_.Changed().Rects();
    }
    PixelView Visible() const { return core_.Visible(); }
    // The visible frame into another device context, at its top-left corner.
    void CopyVisibleTo(plat::Dc dc) const { core_.CopyVisibleTo(dc); }
    // Timer2: new targets and target turn rates.
    void Tick(RandomSource& random) { core_.Timer2_Timer(random); }
    // The display has a new size or other monitors, or (when given) another scale; the crawlers carry on along
    // their paths.
    void Resize(const PictureBox& display, std::span<const ScreenRect> monitors = {},
                std::optional<float> displayScale = std::nullopt) {
        if (displayScale) core_.SetDisplayScale(*displayScale);
        core_.SetMonitors(monitors);
        core_.ResizeDisplay(display);
    }
    // Form_QueryUnload and Form_Unload: the running flag drops and the surfaces go; safe to call again.
    void End();
    bool Running() const { return core_.Animating(); }

    // For a picture: crawler 0 or 1 turns at `turnRate` radians per frame and drifts to no other rate until the
    // timer ticks, and steers for `target` where one is given (else for the target it has).
    void SetCourse(int crawler, float turnRate, std::optional<ScreenPoint> target = std::nullopt) {
        core_.SetCourse(crawler, turnRate, target);
    }
    // Where crawler 0 or 1 is heading, in display pixels (those of the frame buffers).
    ScreenPoint Target(int crawler) const { return core_.Target(crawler); }

    // For measuring: how frames are cleared, the blits the next Draw makes, and a sheet's pixels as grabbed
    // (0: cyan, 1: green).
    void SetClearing(FrameClearing clearing) { core_.SetClearing(clearing); }
    std::vector<SegmentBlit> FrameBlits() const { return core_.FrameBlits(); }
    PixelView Sheet(int index) const { return core_.Sheet(index); }

private:
    friend struct SaverCoreTestAccess;

    SheetPicture sheets_[2];  // outlive the core, whose sheet surfaces were grabbed from them
    SaverCore core_;
};

}  // namespace quorvel
