// The platform layer on Windows: each call forwards to its Win32 namesake.
#include <windows.h>

#include "seam/gdi.h"
#include "seam/profile.h"

static_assert(sizeof(plat::BitmapInfoHeader) == sizeof(BITMAPINFOHEADER));
static_assert(sizeof(plat::RgbQuad) == sizeof(RGBQUAD));

namespace plat {

Dc CreateCompatibleDC(Dc dc) { return reinterpret_cast<Dc>(::CreateCompatibleDC(reinterpret_cast<HDC>(dc))); }

Bitmap CreateDIBSection(Dc dc, const BitmapInfo256* info, unsigned usage, void** bits) {
    return reinterpret_cast<Bitmap>(::CreateDIBSection(reinterpret_cast<HDC>(dc), reinterpret_cast<const BITMAPINFO*>(info),
                                                       usage, bits, nullptr, 0));
}

GdiObject SelectObject(Dc dc, GdiObject object) {
    return ::SelectObject(reinterpret_cast<HDC>(dc), static_cast<HGDIOBJ>(object));
}

bool BitBlt(Dc destination, int x, int y, int width, int height, Dc source, int sourceX, int sourceY, uint32_t rop) {
    return ::BitBlt(reinterpret_cast<HDC>(destination), x, y, width, height, reinterpret_cast<HDC>(source), sourceX,
                    sourceY, rop) != FALSE;
}

unsigned SetDIBColorTable(Dc dc, unsigned start, unsigned count, const RgbQuad* colors) {
    return ::SetDIBColorTable(reinterpret_cast<HDC>(dc), start, count, reinterpret_cast<const RGBQUAD*>(colors));
}

bool DeleteDC(Dc dc) { return ::DeleteDC(reinterpret_cast<HDC>(dc)) != FALSE; }

bool DeleteObject(GdiObject object) { return ::DeleteObject(static_cast<HGDIOBJ>(object)) != FALSE; }

uint32_t GetPrivateProfileStringA(const char* section, const char* key, const char* defaultValue, char* buffer,
                                  uint32_t size, const char* file) {
    return ::GetPrivateProfileStringA(section, key, defaultValue, buffer, size, file);
}

bool WritePrivateProfileStringA(const char* section, const char* key, const char* value, const char* file) {
    return ::WritePrivateProfileStringA(section, key, value, file) != FALSE;
}

}  // namespace plat
