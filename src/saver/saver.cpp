// Setting the saver up for a shell: the sheets into picture boxes, then the window's own start-up sequence.
#include "saver/saver.h"

#include "saver/sprite_cells.h"
#include "seam/dib_header.h"
#include "surface/palette.h"

namespace quorvel {

SheetPicture::~SheetPicture() { Release(); }

// The DC goes first, as with a surface: the bitmap stays selected into it until then.
void SheetPicture::Release() {
    if (dc_) plat::DeleteDC(dc_);
    if (bitmap_) plat::DeleteObject(bitmap_);
    dc_ = nullptr;
    bitmap_ = nullptr;
}

bool SheetPicture::Load(const Image& sheet) {
    Release();
    if (sheet.width != kSheetSize || sheet.height != kSheetSize) return false;
    plat::BitmapInfo256 info{};
    info.header = plat::TopDownDibHeader(kSheetSize, kSheetSize, 8);
    for (size_t i = 0; i < kPalette.size(); ++i)
        info.colors[i] = {kPalette[i].blue, kPalette[i].green, kPalette[i].red, 0};
    dc_ = plat::CreateCompatibleDC(nullptr);
    void* bits = nullptr;
    bitmap_ = dc_ ? plat::CreateDIBSection(dc_, &info, plat::kDibRgbColors, &bits) : nullptr;
    if (!bitmap_ || !bits) {
        Release();
        return false;
    }
    auto* indices = static_cast<uint8_t*>(bits);
    uint32_t lastColour = 0;  // runs of one colour (mostly black) are matched once
    uint8_t lastIndex = 0;
    for (size_t i = 0; i < sheet.pixels.size(); ++i) {
        const uint32_t colour = sheet.pixels[i];
        if (colour != lastColour) {
            lastColour = colour;
            lastIndex = NearestPaletteIndex((colour >> 16) & 0xFF, (colour >> 8) & 0xFF, colour & 0xFF);
        }
        indices[i] = lastIndex;
    }
    plat::SelectObject(dc_, bitmap_);
    return true;
}

PictureBox SheetPicture::Box() const {
    return dc_ ? PictureBox{dc_, double(kSheetSize), double(kSheetSize)} : PictureBox{};
}

Saver::Saver(const Settings& settings, const PictureBox& display, const Image& cyanSheet, const Image& greenSheet,
             std::span<const ScreenRect> monitors, DrawnBuffers drawn, float displayScale)
    : core_(settings) {
    core_.SetDrawnBuffers(drawn);
    core_.SetDisplayScale(displayScale);
    sheets_[0].Load(cyanSheet);
    sheets_[1].Load(greenSheet);
    core_.SetMonitors(monitors);
    core_.FillTrails(static_cast<int>(display.scaleWidth), static_cast<int>(display.scaleHeight));
    core_.ActivateDisplay(display, sheets_[0].Box(), sheets_[1].Box());
    core_.StartAnimation();
}

void Saver::End() {
    core_.Form_QueryUnload();
    core_.TearDownSurfaces();
}

}  // namespace quorvel
