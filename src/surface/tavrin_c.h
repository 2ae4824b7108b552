// Tavrin_C: an 8-bit, top-down paletted surface in a DIB section of its own, tied to a picture box for copies.
#pragma once

#include <cstdint>
#include <memory>
#include <span>

#include "seam/gdi.h"

namespace quorvel {

// What a surface needs of a picture box: a device context to copy from and to, and the inner size in pixels.
struct PictureBox {
    plat::Dc dc = nullptr;
    double scaleWidth = 0;
    double scaleHeight = 0;
};

// A byte array that can be made a window onto a surface's pixels (GetArray) and given back its own
// one-byte block afterwards (FixArray). Releasing it frees only that block, never pixel memory.
class SurfaceByteArray {
public:
    std::span<uint8_t> Bytes() const { return view_; }

private:
    friend class Tavrin_C;
    std::unique_ptr<uint8_t[]> own_;
    std::span<uint8_t> view_;
};

class Tavrin_C {
public:
    Tavrin_C() = default;
    ~Tavrin_C() { Destroy(); }  // Class_Terminate
    Tavrin_C(const Tavrin_C&) = delete;
    Tavrin_C& operator=(const Tavrin_C&) = delete;

    // Both return true on failure, as the surface's creation operations always have.
    bool InitPicture(const PictureBox& picture, bool grab);
    bool InitDimensions(int16_t newWidth, int16_t newHeight);

    uint8_t* GetPointer() const { return Bits; }
    int16_t GetWidth() const { return Width; }
    int16_t GetPitch() const { return static_cast<int16_t>(Pitch); }
    int16_t GetHeight() const { return Height; }
    plat::Dc GetDC() const { return MemoryDC; }
    void SetPictureBox(const PictureBox& picture) { AttachedDC = picture.dc; }

    void ReadPaletteFile();
    void SetPalette(int16_t first, int16_t count);

    uintptr_t GetArray(SurfaceByteArray& bytes);
    void FixArray(SurfaceByteArray& bytes, uintptr_t savedData);

    void GrabPicture();
    void PutPicture();
    // Only this rectangle of the buffer, to the same place in the picture box.
    void PutPicture(int left, int top, int width, int height);
    void Destroy();

    void ScaleRotate(const Tavrin_C& source, int16_t destLeft, int16_t destTop, int16_t destPivotX,
                     int16_t destPivotY, int16_t destWidth, int16_t destHeight, int16_t srcLeft, int16_t srcTop,
                     int16_t srcPivotX, int16_t srcPivotY, int16_t srcWidth, int16_t srcHeight, float angle,
                     float zoom, int16_t key);
    void ScaleRotateMask(const Tavrin_C& source, int16_t destLeft, int16_t destTop, int16_t destPivotX,
                         int16_t destPivotY, int16_t destWidth, int16_t destHeight, int16_t srcLeft,
                         int16_t srcTop, int16_t srcPivotX, int16_t srcPivotY, int16_t srcWidth, int16_t srcHeight,
                         float angle, float zoom, uint8_t key);

    void FillZero();

    plat::Bitmap GetDibSection() const { return DibSection; }
    int32_t GetImageSize() const { return ImageSize; }

private:
    bool CreateSection(plat::Dc compatibleWith);

    plat::Dc AttachedDC = nullptr;  // not owned
    plat::Dc MemoryDC = nullptr;
    plat::Bitmap DibSection = nullptr;
    plat::BitmapInfo256 Header{};
    int16_t Width = 0;
    int16_t Height = 0;
    int32_t Pitch = 0;
    int32_t ImageSize = 0;
    uint8_t* Bits = nullptr;
    plat::RgbQuad Palette[256] = {};
};

}  // namespace quorvel
