// Tavrin_C: creation, palette, copies to and from its picture box, and release of its DC and DIB section.
#include "surface/tavrin_c.h"

#include <cstring>

#include "base/numeric.h"
#include "seam/dib_header.h"
#include "surface/palette.h"
#include "surface/scale_rotate.h"

namespace quorvel {

bool Tavrin_C::CreateSection(plat::Dc compatibleWith) {
    // biSizeImage is InitPicture's to set: InitDimensions leaves whatever an earlier InitPicture wrote.
    const uint32_t imageSize = Header.header.biSizeImage;
    Header.header = plat::TopDownDibHeader(Width, Height, 8);
    Header.header.biSizeImage = imageSize;

    MemoryDC = plat::CreateCompatibleDC(compatibleWith);
    if (!MemoryDC) return false;
    void* bits = nullptr;
    DibSection = plat::CreateDIBSection(MemoryDC, &Header, plat::kDibRgbColors, &bits);
    if (!DibSection) {
        plat::DeleteDC(MemoryDC);
        MemoryDC = nullptr;
        return false;
    }
    Bits = static_cast<uint8_t*>(bits);
    plat::SelectObject(MemoryDC, DibSection);
    return true;
}

bool Tavrin_C::InitPicture(const PictureBox& picture, bool grab) {
    Destroy();  // a surface made again releases what it held, rather than leaking it
    AttachedDC = picture.dc;
    const auto width = ToInt16(picture.scaleWidth + 3);
    const auto height = ToInt16(picture.scaleHeight);
    if (width && height && *width > 3 && *height > 0) {
        Width = static_cast<int16_t>(*width & ~3);
        Pitch = Width;
        Height = *height;
        ImageSize = Height * Pitch;
        Header.header.biSizeImage = static_cast<uint32_t>(ImageSize);
        if (CreateSection(AttachedDC)) {
            if (grab) plat::BitBlt(MemoryDC, 0, 0, Width, Height, AttachedDC, 0, 0, plat::kSrcCopy);
            return false;
        }
    }
    MemoryDC = nullptr;
    DibSection = nullptr;
    AttachedDC = nullptr;
    return true;
}

bool Tavrin_C::InitDimensions(int16_t newWidth, int16_t newHeight) {
    Destroy();
    AttachedDC = nullptr;
    const int width = (newWidth + 3) & ~3;
    if (width > INT16_MAX || width <= 0 || newHeight <= 0) {
        MemoryDC = nullptr;
        DibSection = nullptr;
        return true;
    }
    Width = static_cast<int16_t>(width);
    Pitch = Width;
    Height = newHeight;
    ImageSize = Height * Pitch;
    if (CreateSection(nullptr)) return false;
    MemoryDC = nullptr;
    DibSection = nullptr;
    return true;
}

void Tavrin_C::ReadPaletteFile() {
    for (int i = 0; i < 256; ++i) {
        Palette[i].red = kPalette[i].red;
        Palette[i].green = kPalette[i].green;
        Palette[i].blue = kPalette[i].blue;
    }
}

void Tavrin_C::SetPalette(int16_t first, int16_t count) {
    // The copy always starts at entry 0 of the table, whatever the first slot is.
    if (first < 0 || count < 0) return;
    plat::SetDIBColorTable(MemoryDC, static_cast<unsigned>(first), static_cast<unsigned>(count > 256 ? 256 : count),
                           Palette);
}

uintptr_t Tavrin_C::GetArray(SurfaceByteArray& bytes) {
    bytes.own_ = std::make_unique<uint8_t[]>(1);
    const auto saved = reinterpret_cast<uintptr_t>(bytes.own_.get());
    bytes.view_ = Bits && ImageSize > 0 ? std::span<uint8_t>(Bits, static_cast<size_t>(ImageSize)) : std::span<uint8_t>();
    return saved;
}

void Tavrin_C::FixArray(SurfaceByteArray& bytes, uintptr_t savedData) {
    if (savedData == reinterpret_cast<uintptr_t>(bytes.own_.get()) && bytes.own_)
        bytes.view_ = std::span<uint8_t>(bytes.own_.get(), 1);
}

void Tavrin_C::GrabPicture() { plat::BitBlt(MemoryDC, 0, 0, Width, Height, AttachedDC, 0, 0, plat::kSrcCopy); }

void Tavrin_C::PutPicture() { plat::BitBlt(AttachedDC, 0, 0, Width, Height, MemoryDC, 0, 0, plat::kSrcCopy); }

void Tavrin_C::PutPicture(int left, int top, int width, int height) {
    plat::BitBlt(AttachedDC, left, top, width, height, MemoryDC, left, top, plat::kSrcCopy);
}

void Tavrin_C::Destroy() {
    // The DC goes first: the DIB section stays selected into it until then.
    if (MemoryDC) {
        plat::DeleteDC(MemoryDC);
        MemoryDC = nullptr;
    }
    if (DibSection) {
        plat::DeleteObject(DibSection);
        DibSection = nullptr;
    }
    // The pixel address dies with the DIB section; forgetting it keeps a late draw from writing freed memory.
    Bits = nullptr;
    AttachedDC = nullptr;
}

void Tavrin_C::ScaleRotate(const Tavrin_C& source, int16_t destLeft, int16_t destTop, int16_t destPivotX,
                           int16_t destPivotY, int16_t destWidth, int16_t destHeight, int16_t srcLeft, int16_t srcTop,
                           int16_t srcPivotX, int16_t srcPivotY, int16_t srcWidth, int16_t srcHeight, float angle,
                           float zoom, int16_t key) {
    if (!Bits || !source.Bits) return;
    LS8_ScaleRotate(Bits, static_cast<int16_t>(Pitch), destLeft, destTop, destPivotX, destPivotY, destWidth,
                    destHeight, source.GetPointer(), source.GetPitch(), srcLeft, srcTop, srcPivotX, srcPivotY,
                    srcWidth, srcHeight, angle, zoom, key);
}

void Tavrin_C::ScaleRotateMask(const Tavrin_C& source, int16_t destLeft, int16_t destTop, int16_t destPivotX,
                               int16_t destPivotY, int16_t destWidth, int16_t destHeight, int16_t srcLeft,
                               int16_t srcTop, int16_t srcPivotX, int16_t srcPivotY, int16_t srcWidth,
                               int16_t srcHeight, float angle, float zoom, uint8_t key) {
    if (!Bits || !source.Bits) return;
    LS8_ScaleRotateMask(Bits, static_cast<int16_t>(Pitch), destLeft, destTop, destPivotX, destPivotY, destWidth,
                        destHeight, source.GetPointer(), source.GetPitch(), srcLeft, srcTop, srcPivotX, srcPivotY,
                        srcWidth, srcHeight, angle, zoom, key);
}

void Tavrin_C::FillZero() {
    if (Bits && ImageSize > 0) std::memset(Bits, 0, static_cast<size_t>(ImageSize));
}

}  // namespace quorvel
