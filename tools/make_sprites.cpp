// Draws the crawlers' two 256 x 256 sprite sheets (cyan and green) on black: two body-ring crescents, the head
// and the tail, each in its cell and framed by one-pixel guide lines, in colours taken straight from the
// built-in palette so that grabbing a sheet into a paletted surface keeps every pixel as drawn.
// Usage: make_sprites [output folder]   (default: the project's assets folder)
// Writes sheet_cyan.bmp, sheet_green.bmp and PNG copies of both.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "image/image_file.h"
#include "saver/sprite_cells.h"
#include "surface/palette.h"

namespace {

using quorvel::kPalette;
using quorvel::kSpriteCells;

// Shading ramps, dark to light, as palette indices. Every entry is non-zero: index 0 is the see-through black.
struct Colours {
    std::vector<int> ramp;
    int specular;
    int guide;
};

const Colours kGreen{{196, 195, 194, 193, 192, 191, 190, 189, 188, 67, 66, 65, 64, 63, 62, 182}, 146, 8};
const Colours kCyan{{129, 128, 127, 126, 123, 122, 121, 120, 119, 118, 216, 215, 214, 44, 171}, 15, 8};

constexpr int kWhite = 15;
constexpr int kInk = 9;  // near-black that is not the see-through index 0

uint32_t Rgb(int index) {
    const auto& c = kPalette[static_cast<size_t>(index)];
    return (uint32_t{c.red} << 16) | (uint32_t{c.green} << 8) | c.blue;
}

struct Vec3 {
    double x, y, z;
};

Vec3 Normalised(Vec3 v) {
    const double n = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    return {v.x / n, v.y / n, v.z / n};
}

// Light from the front and the crawler's left, above the screen.
const Vec3 kLight = Normalised({0.35, -0.55, 0.75});

// Diffuse light plus a specular glint for a surface normal; returns shade 0..1 and whether the glint shows.
struct Lit {
    double shade;
    bool glint;
};

Lit Light(Vec3 n) {
    n = Normalised(n);
    const double diffuse = std::max(0.0, n.x * kLight.x + n.y * kLight.y + n.z * kLight.z);
    // Reflection of the light about the normal, seen from straight above.
    const double rz = 2 * (n.x * kLight.x + n.y * kLight.y + n.z * kLight.z) * n.z - kLight.z;
    return {0.12 + 0.88 * diffuse, rz > 0.985};
}

int RampIndex(const Colours& colours, double shade) {
    const int n = static_cast<int>(colours.ramp.size());
    const int i = std::clamp(static_cast<int>(shade * n), 0, n - 1);
    return colours.ramp[static_cast<size_t>(i)];
}

double Smooth(double edge0, double edge1, double v) {
    const double t = std::clamp((v - edge0) / (edge1 - edge0), 0.0, 1.0);
    return t * t * (3 - 2 * t);
}

// Every picture nests over the part behind it: that part's front is a circle one spacing (33 pixels at scale 1)
// behind, and this picture leaves a hollow of that circle's size, a little larger, at its back.
constexpr double kSpacing = 33;
constexpr double kRingRadius = 29.5;
constexpr double kFrontOffset = 11;  // the crescent's circle lies this far ahead of the pivot
constexpr double kHollowRadius = kRingRadius + 1.5;

double HollowDistance(double x, double y, double pivotX, double pivotY) {
    const double cx = pivotX + kFrontOffset - kSpacing;
    return std::hypot(x - cx, y - pivotY) - kHollowRadius;
}

// Darkens the back edge of a picture where it rises over the part behind, so the overlap reads as depth.
double BackEdgeShadow(double hollowDistance) { return 0.45 + 0.55 * Smooth(0, 7, hollowDistance); }

// A body ring: a disc ahead of the pivot with the hollow bitten out of its back.
int RingSample(const Colours& colours, double x, double y, bool lighter) {
    const quorvel::SpriteCell& cell = kSpriteCells[0];
    const double cx = cell.PivotX + kFrontOffset, cy = cell.PivotY;
    const double dx = (x - cx) / kRingRadius, dy = (y - cy) / kRingRadius;
    const double r2 = dx * dx + dy * dy;
    if (r2 > 1) return 0;
    const double hollow = HollowDistance(x, y, cell.PivotX, cell.PivotY);
    if (hollow < 0) return 0;
    const Lit lit = Light({dx, dy, std::sqrt(1 - r2) + 0.15});
    if (lit.glint) return colours.specular;
    double shade = lit.shade * BackEdgeShadow(hollow);
    // A darker rim keeps neighbouring rings apart where they overlap at low speeds.
    shade *= 0.7 + 0.3 * Smooth(1.0, 0.8, std::sqrt(r2));
    if (lighter) shade = 0.3 + 0.9 * shade;
    return RampIndex(colours, shade);
}

// The head: a rounded dome with the same hollow at its back, eyes looking ahead and a small mouth at the snout.
int HeadSample(const Colours& colours, double x, double y) {
    const quorvel::SpriteCell& cell = kSpriteCells[2];
    const double cx = 62, cy = cell.PivotY, a = 54, b = 37;
    const double dx = (x - cx) / a, dy = (y - cy) / b;
    const double r2 = dx * dx + dy * dy;
    if (r2 > 1) return 0;
    const double hollow = HollowDistance(x, y, cell.PivotX, cell.PivotY);
    if (hollow < 0) return 0;

    for (int side : {-1, 1}) {
        const double ex = 90, ey = cy + side * 15.5;
        const double d = std::hypot(x - ex, y - ey);
        if (d <= 11) {
            if (d > 9.6) return kInk;  // outline
            const double px = ex + 3.5, py = ey + side * 0.5;
            if (std::hypot(x - (px + 1.2), y - (py - 2.4)) <= 1.7) return kWhite;  // glint
            if (std::hypot(x - px, y - py) <= 5.2) return kInk;
            return kWhite;
        }
    }
    // Mouth: a short dark arc near the snout, curving back at both ends.
    const double mx = 96, my = cy;
    const double md = std::hypot(x - mx, y - my);
    if (std::fabs(md - 14) < 1.3 && x > mx + 8) return colours.ramp[0];

    const Lit lit = Light({dx, dy * 0.9, std::sqrt(1 - r2) + 0.2});
    if (lit.glint) return colours.specular;
    double shade = lit.shade * BackEdgeShadow(hollow);
    shade *= 0.72 + 0.28 * Smooth(1.0, 0.78, std::sqrt(r2));
    return RampIndex(colours, shade);
}

// The tail: the front of a ring at its joint, drawn out into a point to the left with grooves across it.
int TailSample(const Colours& colours, double x, double y) {
    const quorvel::SpriteCell& cell = kSpriteCells[3];
    const double cy = cell.PivotY;
    const double bulbX = cell.PivotX + kFrontOffset;
    const double tipX = 8;
    const double dy = y - cy;
    double halfWidth = 0;
    double nx = 0;
    if (x >= bulbX) {
        const double d2 = kRingRadius * kRingRadius - (x - bulbX) * (x - bulbX);
        if (d2 <= 0) return 0;
        halfWidth = std::sqrt(d2);
        nx = (x - bulbX) / kRingRadius;
    } else if (x > tipX) {
        const double t = (x - tipX) / (bulbX - tipX);
        halfWidth = kRingRadius * std::pow(t, 0.75);
        nx = -0.25;
    } else {
        return 0;
    }
    if (std::fabs(dy) > halfWidth || halfWidth <= 0) return 0;
    const double ny = dy / halfWidth;
    const double nz = std::sqrt(std::max(0.0, 1 - ny * ny - nx * nx * 0.5));
    const Lit lit = Light({nx, ny, nz + 0.15});
    if (lit.glint && x > 60) return colours.specular;
    double shade = lit.shade;
    // Grooves between the tail's rings, spaced with its width so they crowd together toward the tip.
    if (x < bulbX - 6) {
        const double t = (x - tipX) / (bulbX - tipX);
        const double u = 26 * (1 - std::pow(t, 0.25));
        const double f = u - std::floor(u);
        shade *= 0.55 + 0.45 * Smooth(0.0, 0.22, std::min(f, 1 - f));
    }
    shade *= 0.72 + 0.28 * Smooth(1.0, 0.8, std::fabs(ny));
    return RampIndex(colours, shade);
}

// Fills one cell with 4 x 4 samples per pixel: a pixel takes the commonest colour of its covered samples when at
// least half are covered, and stays black otherwise. Palette mapping would drop soft edges anyway.
template <typename Sampler>
void DrawCell(quorvel::Image& sheet, const quorvel::SpriteCell& cell, Sampler sample) {
    constexpr int kGrid = 4;
    for (int py = 0; py < cell.Height; ++py) {
        for (int px = 0; px < cell.Width; ++px) {
            std::array<int, 256> votes{};
            int covered = 0;
            for (int j = 0; j < kGrid; ++j) {
                for (int i = 0; i < kGrid; ++i) {
                    const int index = sample(px + (i + 0.5) / kGrid, py + (j + 0.5) / kGrid);
                    if (index != 0) {
                        ++votes[static_cast<size_t>(index)];
                        ++covered;
                    }
                }
            }
            if (covered * 2 < kGrid * kGrid) continue;
            const auto best = std::max_element(votes.begin(), votes.end()) - votes.begin();
            sheet.At(cell.SourceX + px, cell.SourceY + py) = Rgb(static_cast<int>(best));
        }
    }
}

// The one-pixel frames around the cells, on the columns and rows that border them.
void DrawGuides(quorvel::Image& sheet, int guide) {
    const uint32_t c = Rgb(guide);
    auto column = [&](int x, int y0, int y1) {
        for (int y = y0; y <= y1; ++y) sheet.At(x, y) = c;
    };
    auto row = [&](int y, int x0, int x1) {
        for (int x = x0; x <= x1; ++x) sheet.At(x, y) = c;
    };
    column(62, 0, 66);     // between the two rings
    column(125, 0, 82);    // between the second ring and the head
    row(66, 0, 125);       // under the rings
    row(82, 125, 255);     // under the head
    row(83, 0, 185);       // over the tail
    row(150, 0, 185);      // under the tail
    column(0, 83, 150);    // left of the tail
    column(185, 83, 150);  // right of the tail
}

quorvel::Image DrawSheet(const Colours& colours) {
    quorvel::Image sheet(quorvel::kSheetSize, quorvel::kSheetSize, 0);
    DrawCell(sheet, kSpriteCells[0], [&](double x, double y) { return RingSample(colours, x, y, false); });
    DrawCell(sheet, kSpriteCells[1], [&](double x, double y) { return RingSample(colours, x, y, true); });
    DrawCell(sheet, kSpriteCells[2], [&](double x, double y) { return HeadSample(colours, x, y); });
    DrawCell(sheet, kSpriteCells[3], [&](double x, double y) { return TailSample(colours, x, y); });
    DrawGuides(sheet, colours.guide);
    return sheet;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string folder = argc > 1 ? argv[1] : std::string(QUORVEL_SOURCE_DIR) + "/assets";
    bool ok = true;
    for (const auto& [name, colours] : {std::pair{"sheet_cyan", &kCyan}, std::pair{"sheet_green", &kGreen}}) {
        const quorvel::Image sheet = DrawSheet(*colours);
        const std::string base = folder + "/" + name;
        ok = quorvel::WriteBmp24(base + ".bmp", sheet) && ok;
        ok = quorvel::WritePng(base + ".png", sheet) && ok;
    }
    if (!ok) std::fprintf(stderr, "make_sprites: could not write into %s\n", folder.c_str());
    return ok ? 0 : 1;
}
