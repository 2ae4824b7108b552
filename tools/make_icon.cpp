// Draws the program's icon, a cyan crawler coiled on a dark tile, at 16, 32 and 48 pixels: assets/quorvel.ico.
// Usage: make_icon [output.ico]
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "image/byte_writer.h"

namespace {

using quorvel::Put16Le;
using quorvel::Put32Le;

struct Rgba {
    double r = 0, g = 0, b = 0, a = 0;
};

// Paints over dst with src at coverage c (straight alpha).
void Blend(Rgba& dst, const Rgba& src, double c) {
    const double a = src.a * c;
    const double out = a + dst.a * (1 - a);
    if (out <= 0) return;
    dst.r = (src.r * a + dst.r * dst.a * (1 - a)) / out;
    dst.g = (src.g * a + dst.g * dst.a * (1 - a)) / out;
    dst.b = (src.b * a + dst.b * dst.a * (1 - a)) / out;
    dst.a = out;
}

// The share of pixel (x, y) that lies inside a shape given in 32 x 32 icon units, from 4 x 4 samples.
template <typename Inside>
double Coverage(int x, int y, double scale, Inside inside) {
    const int samples = 4;
    int hits = 0;
    for (int j = 0; j < samples; ++j)
        for (int i = 0; i < samples; ++i)
            hits += inside((x + (i + 0.5) / samples) / scale, (y + (j + 0.5) / samples) / scale);
    return hits / double(samples * samples);
}

// A disc of radius r around (cx, cy), in icon units, painted over the pixels it touches.
void PaintDisc(std::vector<Rgba>& px, int size, double cx, double cy, double r, const Rgba& colour) {
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const double c = Coverage(x, y, size / 32.0, [&](double u, double v) {
                return (u - cx) * (u - cx) + (v - cy) * (v - cy) <= r * r;
            });
            if (c > 0) Blend(px[y * size + x], colour, c);
        }
}

std::vector<Rgba> Draw(int size) {
    std::vector<Rgba> px(static_cast<size_t>(size) * size);
    // Rounded dark-blue tile.
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const double c = Coverage(x, y, size / 32.0, [](double u, double v) {
                const double dx = std::max(std::fabs(u - 16) - 11.5, 0.0), dy = std::max(std::fabs(v - 16) - 11.5, 0.0);
                return dx * dx + dy * dy <= 4.0 * 4.0;
            });
            Blend(px[y * size + x], {8, 16, 40, 1}, c);
        }
    // Body rings along an inward spiral, tail first, so each ring covers the one behind it.
    const int rings = 16;
    for (int k = 0; k < rings; ++k) {
        const double t = k / double(rings - 1);
        const double angle = 3.3 * t * 3.14159265 + 0.6;
        const double radius = 10.0 - 8.0 * t;
        const double cx = 16 + radius * std::cos(angle), cy = 16 + radius * std::sin(angle);
        const double ring = 1.4 + 2.0 * t;
        const bool head = k == rings - 1;
        // A dark rim first, so that each ring stands apart from the one it covers.
        PaintDisc(px, size, cx, cy, ring + 0.6, {4, 30, 50, 1});
        const double shade = 0.55 + 0.45 * t;
        const Rgba body = head ? Rgba{120, 255, 240, 1} : Rgba{0, 190 * shade + 40, 230 * shade + 25, 1};
        PaintDisc(px, size, cx, cy, ring, body);
        if (!head) continue;
        for (int e = -1; e <= 1; e += 2) {
            const double eye = angle + 1.57 + e * 0.9;
            PaintDisc(px, size, cx + 1.4 * std::cos(eye), cy + 1.4 * std::sin(eye), 0.8, {10, 20, 30, 1});
        }
    }
    return px;
}

// One icon image: a 32-bit bottom-up DIB of double height followed by its 1-bit AND mask.
std::vector<uint8_t> IconImage(int size) {
    const std::vector<Rgba> px = Draw(size);
    std::vector<uint8_t> out;
    Put32Le(out, 40);
    Put32Le(out, static_cast<uint32_t>(size));
    Put32Le(out, static_cast<uint32_t>(size * 2));
    Put16Le(out, 1);
    Put16Le(out, 32);
    for (int i = 0; i < 6; ++i) Put32Le(out, 0);
    for (int y = size - 1; y >= 0; --y)
        for (int x = 0; x < size; ++x) {
            const Rgba& p = px[y * size + x];
            out.push_back(static_cast<uint8_t>(std::lround(std::clamp(p.b, 0.0, 255.0))));
            out.push_back(static_cast<uint8_t>(std::lround(std::clamp(p.g, 0.0, 255.0))));
            out.push_back(static_cast<uint8_t>(std::lround(std::clamp(p.r, 0.0, 255.0))));
            out.push_back(static_cast<uint8_t>(std::lround(std::clamp(p.a * 255, 0.0, 255.0))));
        }
    const int maskStride = ((size + 31) / 32) * 4;
    for (int y = size - 1; y >= 0; --y) {
        std::vector<uint8_t> row(maskStride, 0);
        for (int x = 0; x < size; ++x)
            if (px[y * size + x].a < 0.5) row[x / 8] |= 0x80 >> (x % 8);
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string path = argc > 1 ? argv[1] : std::string(QUORVEL_SOURCE_DIR) + "/assets/quorvel.ico";
    const int sizes[] = {16, 32, 48};
    std::vector<std::vector<uint8_t>> images;
    for (int size : sizes) images.push_back(IconImage(size));
    std::vector<uint8_t> file;
    Put16Le(file, 0);
    Put16Le(file, 1);
    Put16Le(file, static_cast<uint16_t>(images.size()));
    uint32_t offset = 6 + 16 * static_cast<uint32_t>(images.size());
    for (size_t i = 0; i < images.size(); ++i) {
        file.push_back(static_cast<uint8_t>(sizes[i]));
        file.push_back(static_cast<uint8_t>(sizes[i]));
        file.push_back(0);
        file.push_back(0);
        Put16Le(file, 1);
        Put16Le(file, 32);
        Put32Le(file, static_cast<uint32_t>(images[i].size()));
        Put32Le(file, offset);
        offset += static_cast<uint32_t>(images[i].size());
    }
    for (const auto& image : images) file.insert(file.end(), image.begin(), image.end());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
    if (!out) {
        std::fprintf(stderr, "make_icon: cannot write %s\n", path.c_str());
        return 1;
    }
    std::printf("wrote %s\n", path.c_str());
    return 0;
}
