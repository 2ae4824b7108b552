// The portable GDI: device contexts, DIB sections and blits over plain memory, for the X11 program, the renderer
// and the tests.
#include <algorithm>
#include <unordered_map>

#include "base/nearest_colour.h"
#include "seam/gdi.h"
#include "seam/portable/objects.h"
#include "seam/portable/portable_gdi.h"

namespace plat::memory {
namespace {

uint8_t NearestEntry(const RgbQuad (&table)[256], uint32_t rgb) {
    return quorvel::NearestIndex(table, int(rgb >> 16) & 0xFF, int(rgb >> 8) & 0xFF, int(rgb) & 0xFF);
}

void AllocatePixels(BitmapRecord& bitmap, int width, int height, int bitsPerPixel) {
    bitmap.width = width;
    bitmap.height = height;
    bitmap.bitsPerPixel = bitsPerPixel;
    bitmap.stride = ((width * bitsPerPixel + 31) / 32) * 4;
    bitmap.pixels.assign(static_cast<size_t>(bitmap.stride) * height, 0);
}

BitmapRecord& Stock() {
    static BitmapRecord stock = [] {
        BitmapRecord b;
        b.handle = kStockBitmap;
        AllocatePixels(b, 1, 1, 32);
        return b;
    }();
    return stock;
}

template <typename Record>
Record& Register(std::unordered_map<uintptr_t, std::unique_ptr<Record>>& records) {
    auto record = std::make_unique<Record>();
    record->handle = ++Objects().lastHandle;
    Record& added = *record;
    records.emplace(added.handle, std::move(record));
    return added;
}

}  // namespace

Registry& Objects() {
    static Registry registry;
    return registry;
}

uint32_t BitmapRecord::ReadRgb(int x, int y) {
    const uint8_t* row = Row(y);
    if (bitsPerPixel == 8) {
        const RgbQuad& c = table[row[x]];
        return (uint32_t{c.red} << 16) | (uint32_t{c.green} << 8) | c.blue;
    }
    const uint8_t* p = row + x * 4;
    return (uint32_t{p[2]} << 16) | (uint32_t{p[1]} << 8) | p[0];
}

void BitmapRecord::WriteRgb(int x, int y, uint32_t rgb) {
    uint8_t* row = Row(y);
    if (bitsPerPixel == 8) {
        row[x] = NearestEntry(table, rgb);
        return;
    }
    uint8_t* p = row + x * 4;
    p[0] = rgb & 0xFF;
    p[1] = (rgb >> 8) & 0xFF;
    p[2] = (rgb >> 16) & 0xFF;
    p[3] = 0;
}

DcRecord* ToDc(Dc dc) {
    auto& dcs = Objects().dcs;
    const auto it = dcs.find(reinterpret_cast<uintptr_t>(dc));
    return it == dcs.end() ? nullptr : it->second.get();
}

BitmapRecord* ToBitmap(GdiObject object) {
    const auto handle = reinterpret_cast<uintptr_t>(object);
    if (handle == kStockBitmap) return &Stock();
    auto& bitmaps = Objects().bitmaps;
    const auto it = bitmaps.find(handle);
    return it == bitmaps.end() ? nullptr : it->second.get();
}

Dc CreateWindowDC(int width, int height) {
    DcRecord& dc = Register(Objects().dcs);
    dc.windowImage = std::make_unique<BitmapRecord>();
    AllocatePixels(*dc.windowImage, std::max(width, 0), std::max(height, 0), 32);
    dc.selected = dc.windowImage.get();
    return reinterpret_cast<Dc>(dc.handle);
}

bool ReleaseWindowDC(Dc handle) {
    DcRecord* dc = ToDc(handle);
    if (!dc || !dc->IsWindow()) return false;
    Objects().dcs.erase(dc->handle);
    return true;
}

uint32_t PixelRgb(Dc handle, int x, int y) {
    DcRecord* dc = ToDc(handle);
    return dc && dc->selected->Contains(x, y) ? dc->selected->ReadRgb(x, y) : 0;
}

void SetPixelRgb(Dc handle, int x, int y, uint32_t rgb) {
    DcRecord* dc = ToDc(handle);
    if (dc && dc->selected->Contains(x, y)) dc->selected->WriteRgb(x, y, rgb);
}

int Width(Dc handle) {
    DcRecord* dc = ToDc(handle);
    return dc ? dc->selected->width : 0;
}

int Height(Dc handle) {
    DcRecord* dc = ToDc(handle);
    return dc ? dc->selected->height : 0;
}

std::span<const uint8_t> Pixels(Dc handle) {
    DcRecord* dc = ToDc(handle);
    if (!dc) return {};
    return dc->selected->pixels;
}

}  // namespace plat::memory

namespace plat {

using namespace memory;

Dc CreateCompatibleDC(Dc compatibleWith) {
    if (probe::FailCreateDC() || (compatibleWith && !ToDc(compatibleWith))) return nullptr;
    DcRecord& dc = Register(Objects().dcs);
    dc.selected = &Stock();
    return reinterpret_cast<Dc>(dc.handle);
}

Bitmap CreateDIBSection(Dc, const BitmapInfo256* info, unsigned usage, void** bits) {
    if (bits) *bits = nullptr;
    if (probe::FailCreateSection() || !info || usage != kDibRgbColors) return nullptr;
    const BitmapInfoHeader& h = info->header;
    const int height = h.biHeight < 0 ? -h.biHeight : h.biHeight;
    if (h.biSize < sizeof(BitmapInfoHeader) || h.biWidth <= 0 || height <= 0 || h.biPlanes != 1 ||
        (h.biBitCount != 8 && h.biBitCount != 32) || h.biCompression != kBiRgb)
        return nullptr;
    BitmapRecord& bitmap = Register(Objects().bitmaps);
    AllocatePixels(bitmap, h.biWidth, height, h.biBitCount);
    bitmap.topDown = h.biHeight < 0;
    if (h.biBitCount == 8) {
        const unsigned used = h.biClrUsed ? std::min(h.biClrUsed, 256u) : 256u;
        std::copy(info->colors, info->colors + used, bitmap.table);
    }
    if (bits) *bits = bitmap.pixels.data();
    return reinterpret_cast<Bitmap>(bitmap.handle);
}

GdiObject SelectObject(Dc handle, GdiObject object) {
    DcRecord* dc = ToDc(handle);
    BitmapRecord* bitmap = ToBitmap(object);
    if (!dc || dc->IsWindow() || !bitmap) return nullptr;
    if (bitmap->selectedInto && bitmap->selectedInto != dc) return nullptr;  // a bitmap lives in one DC at a time
    BitmapRecord* previous = dc->selected;
    previous->selectedInto = nullptr;
    dc->selected = bitmap;
    if (bitmap != &Stock()) bitmap->selectedInto = dc;
    return reinterpret_cast<GdiObject>(previous->handle);
}

bool BitBlt(Dc destination, int x, int y, int width, int height, Dc source, int sourceX, int sourceY, uint32_t rop) {
    DcRecord* to = ToDc(destination);
    DcRecord* from = ToDc(source);
    if (!to || !from || rop != kSrcCopy) return false;
    BitmapRecord& d = *to->selected;
    BitmapRecord& s = *from->selected;
    const bool sameTable = d.bitsPerPixel == 8 && s.bitsPerPixel == 8 &&
                           std::equal(d.table, d.table + 256, s.table, [](const RgbQuad& a, const RgbQuad& b) {
                               return a.red == b.red && a.green == b.green && a.blue == b.blue;
                           });
    // Clipped to both bitmaps once, so the loops below touch only pixels that exist on both sides.
    const int i0 = std::max({0, -x, -sourceX}), j0 = std::max({0, -y, -sourceY});
    const int i1 = std::min({width, d.width - x, s.width - sourceX});
    const int j1 = std::min({height, d.height - y, s.height - sourceY});
    if (i1 <= i0 || j1 <= j0) return true;
    probe::Blitted(*to, int64_t{i1 - i0} * (j1 - j0));
    std::unordered_map<uint32_t, uint8_t> matched;
    for (int j = j0; j < j1; ++j) {
        const int dy = y + j, sy = sourceY + j;
        if (sameTable) {
            std::copy_n(s.Row(sy) + sourceX + i0, i1 - i0, d.Row(dy) + x + i0);
            continue;
        }
        if (s.bitsPerPixel == 8 && d.bitsPerPixel == 32) {  // presenting: indices through the colour table
            const uint8_t* from = s.Row(sy) + sourceX;
            uint8_t* into = d.Row(dy) + static_cast<ptrdiff_t>(x) * 4;
            for (int i = i0; i < i1; ++i) {
                const RgbQuad& c = s.table[from[i]];
                into[i * 4] = c.blue, into[i * 4 + 1] = c.green, into[i * 4 + 2] = c.red, into[i * 4 + 3] = 0;
            }
            continue;
        }
        for (int i = i0; i < i1; ++i) {
            const int dx = x + i, sx = sourceX + i;
            if (d.bitsPerPixel == 8) {
                const uint32_t rgb = s.ReadRgb(sx, sy);
                auto it = matched.find(rgb);
                if (it == matched.end()) it = matched.emplace(rgb, NearestEntry(d.table, rgb)).first;
                d.Row(dy)[dx] = it->second;
            } else {
                d.WriteRgb(dx, dy, s.ReadRgb(sx, sy));
            }
        }
    }
    return true;
}

unsigned SetDIBColorTable(Dc handle, unsigned start, unsigned count, const RgbQuad* colors) {
    DcRecord* dc = ToDc(handle);
    if (!dc || dc->selected->bitsPerPixel != 8 || !colors || start >= 256) return 0;
    const unsigned n = std::min(count, 256 - start);
    std::copy(colors, colors + n, dc->selected->table + start);
    return n;
}

bool DeleteDC(Dc handle) {
    probe::ReleaseAsked(handle);
    DcRecord* dc = ToDc(handle);
    if (!dc || dc->IsWindow()) return false;
    dc->selected->selectedInto = nullptr;
    Objects().dcs.erase(dc->handle);
    return true;
}

bool DeleteObject(GdiObject object) {
    probe::ReleaseAsked(object);
    BitmapRecord* bitmap = ToBitmap(object);
    // Like GDI, a bitmap still selected into a DC is not released, and the stock bitmap never is.
    if (!bitmap || bitmap->selectedInto || bitmap == &Stock()) return false;
    Objects().bitmaps.erase(bitmap->handle);
    return true;
}

}  // namespace plat
