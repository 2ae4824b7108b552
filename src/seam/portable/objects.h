// The objects behind the portable GDI's handles, shared by the files that implement its calls.
#pragma once

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include "seam/paint.h"

namespace plat::memory {

struct DcRecord;

struct BitmapRecord {
    uintptr_t handle = 0;  // 0 for a window's image, which is reached only through its DC
    int width = 0;
    int height = 0;
    int bitsPerPixel = 8;  // 8 (indexed) or 32 (blue, green, red, unused)
    int stride = 0;        // bytes per row
    bool topDown = true;
    std::vector<uint8_t> pixels;
    RgbQuad table[256] = {};
    DcRecord* selectedInto = nullptr;  // never set on the stock bitmap, which every new DC shares

    uint8_t* Row(int y) { return pixels.data() + static_cast<size_t>(topDown ? y : height - 1 - y) * stride; }
    bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
    uint32_t ReadRgb(int x, int y);             // 0x00RRGGBB
    void WriteRgb(int x, int y, uint32_t rgb);  // matched to the colour table when indexed
};

struct DcRecord {
    uintptr_t handle = 0;
    BitmapRecord* selected = nullptr;           // never null: the stock bitmap, a DIB section or the window's image
    std::unique_ptr<BitmapRecord> windowImage;  // a window's client area; null on a memory DC
    int stretchMode = kBlackOnWhite;

    bool IsWindow() const { return windowImage != nullptr; }
};

// Every new memory DC starts with this 1 x 1 bitmap selected, as with GDI's stock bitmap; it is never released.
inline constexpr uintptr_t kStockBitmap = 1;

// Every live DC and bitmap by handle. Handles are counted up and never reused, so a released or foreign handle
// finds nothing here rather than someone else's object; a release erases the record, so the registry holds
// exactly what is live.
struct Registry {
    std::unordered_map<uintptr_t, std::unique_ptr<DcRecord>> dcs;
    std::unordered_map<uintptr_t, std::unique_ptr<BitmapRecord>> bitmaps;
    uintptr_t lastHandle = kStockBitmap;
};
Registry& Objects();

DcRecord* ToDc(Dc dc);                     // null when the handle names no live DC
BitmapRecord* ToBitmap(GdiObject object);  // null when the handle names no live bitmap

// Where the test build counts and steers the backend (seam/portable/test_hooks.h); in the shipped backend each is
// nothing, so programs carry no counters and no failure injection.
namespace probe {
#ifdef QUORVEL_SEAM_TEST_HOOKS
bool FailCreateDC();
bool FailCreateSection();
void ReleaseAsked(const void* handle);
void Blitted(const DcRecord& dc, int64_t pixels);
#else
constexpr bool FailCreateDC() { return false; }
constexpr bool FailCreateSection() { return false; }
inline void ReleaseAsked(const void*) {}
inline void Blitted(const DcRecord&, int64_t) {}
#endif
}  // namespace probe

}  // namespace plat::memory
