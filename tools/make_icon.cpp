// Draws the program's icon, a cyan crawler coiled on a dark tile, at 16, 32 and 48 pixels: assets/quorvel.ico.
// Usage: make_icon [output.ico]
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

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

std::vector<Rgba> Draw(int size) {
    std::vector<Rgba> px(static_cast<size_t>(size) * size);
    const double s = size / 32.0;
    const int samples = 4;
    auto coverage = [&](int x, int y, auto inside) {
        int hits = 0;
        for (int j = 0; j < samples; ++j)
            for (int i = 0; i < samples; ++i)
                hits += inside((x + (i + 0.5) / samples) / s, (y + (j + 0.5) / samples) / s);
        return hits / double(samples * samples);
    };
    // Rounded dark-blue tile.
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const double c = coverage(x, y, [](double u, double v) {
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
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                const double c = coverage(x, y, [&](double u, double v) {
                    return (u - cx) * (u - cx) + (v - cy) * (v - cy) <= (ring + 0.6) * (ring + 0.6);
                });
                if (c > 0) Blend(px[y * size + x], {4, 30, 50, 1}, c);
            }
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                const double c = coverage(x, y, [&](double u, double v) {
                    return (u - cx) * (u - cx) + (v - cy) * (v - cy) <= ring * ring;
                });
                if (c <= 0) continue;
                const double shade = 0.55 + 0.45 * t;
                Blend(px[y * size + x], head ? Rgba{120, 255, 240, 1} : Rgba{0, 190 * shade + 40, 230 * shade + 25, 1}, c);
            }
        if (head) {
            for (int e = -1; e <= 1; e += 2) {
                const double ex = cx + 1.4 * std::cos(angle + 1.57 + e * 0.9), ey = cy + 1.4 * std::sin(angle + 1.57 + e * 0.9);
                for (int y = 0; y < size; ++y)
                    for (int x = 0; x < size; ++x) {
                        const double c = coverage(x, y, [&](double u, double v) {
                            return (u - ex) * (u - ex) + (v - ey) * (v - ey) <= 0.8 * 0.8;
                        });
                        if (c > 0) Blend(px[y * size + x], {10, 20, 30, 1}, c);
                    }
            }
        }
    }
    return px;
}

void Put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(v & 0xFF);
    out.push_back((v >> 8) & 0xFF);
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

// One icon image: a 32-bit bottom-up DIB of double height followed by its 1-bit AND mask.
std::vector<uint8_t> IconImage(int size) {
    const std::vector<Rgba> px = Draw(size);
    std::vector<uint8_t> out;
    Put32(out, 40);
    Put32(out, size);
    Put32(out, size * 2);
    Put16(out, 1);
    Put16(out, 32);
    for (int i = 0; i < 6; ++i) Put32(out, 0);
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
    Put16(file, 0);
    Put16(file, 1);
    Put16(file, static_cast<uint32_t>(images.size()));
    uint32_t offset = 6 + 16 * static_cast<uint32_t>(images.size());
    for (size_t i = 0; i < images.size(); ++i) {
        file.push_back(static_cast<uint8_t>(sizes[i]));
        file.push_back(static_cast<uint8_t>(sizes[i]));
        file.push_back(0);
        file.push_back(0);
        Put16(file, 1);
        Put16(file, 32);
        Put32(file, static_cast<uint32_t>(images[i].size()));
        Put32(file, offset);
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
