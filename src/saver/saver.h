// The saver as its shells see it: made for a display from the settings and the two sheets, then one frame
// drawn, presented and the timer ticked as often as the shell likes, resized when the display changes, and
// ended. The Win32 window, the headless renderer, the benchmarks and the tests all drive it through this.
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
    // may span several monitors (where they lie on it; none means it is one); targets stay on them.
    Saver(const Settings& settings, const PictureBox& display, const Image& cyanSheet, const Image& greenSheet,
          std::span<const ScreenRect> monitors = {});

    // One pass of the animation loop: clear, draw both crawlers, move both heads.
    void Frame() { core_.RunFrame(); }
    // The frame to the display: only what changed since the last one presented.
    void Present() { core_.Present(); }
    // The whole frame again, for a display that lost its contents.
    void Repaint() { core_.PresentWhole(); }
    // Timer2: new targets and target turn rates.
    void Tick(RandomSource& random) { core_.Timer2_Timer(random); }
    // The display has a new size or other monitors; the crawlers carry on along their paths.
    void Resize(const PictureBox& display, std::span<const ScreenRect> monitors = {}) {
        core_.SetMonitors(monitors);
        core_.ResizeDisplay(display);
    }
    // Form_QueryUnload and Form_Unload: the running flag drops and the surfaces go; safe to call again.
    void End();

    bool Running() const { return core_.Running != 0; }
    SaverCore& Core() { return core_; }
    const SaverCore& Core() const { return core_; }

private:
    SheetPicture sheets_[2];  // outlive the core, whose sheet surfaces were grabbed from them
    SaverCore core_;
};

}  // namespace quorvel
