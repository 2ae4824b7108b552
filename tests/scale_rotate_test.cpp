// Scale-rotate blits: every walker against a slow reference built from the mapping and against each other over
// many random cases (fuzz/scale_rotate_fuzz.cpp adds arbitrary arguments on guarded buffers); then what no random
// case pins down (quarter turns, the edge rule, keys, unusable arguments) on a small asymmetric cell; LS8_ArcTan.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <numbers>
#include <random>
#include <string>
#include <vector>

#include "surface/scale_rotate.h"
#include "surface/scale_rotate_internal.h"

namespace {

using quorvel::blit::Isa;
using quorvel::blit::Path;
using quorvel::blit::Request;

constexpr uint8_t kFrame = 255;       // around the source cell: must never reach the destination
constexpr uint8_t kOutside = 254;     // destination bytes outside the rectangle: must never change
constexpr uint8_t kBackground = 9;    // the small cases' destination
constexpr int kGuardRows = 3;         // rows of kOutside above and below each destination buffer
const Isa kIsas[] = {Isa::kPortable, Isa::kSse2, Isa::kAvx2};
const char* const kIsaNames[] = {"portable", "SSE2", "AVX2"};

// An 8-bit buffer with guard rows before and after it, so writes just outside it are caught too.
struct Buffer {
    Buffer(int pitch, int rows, uint8_t fill)
        : pitch(pitch), rows(rows), mem(static_cast<size_t>(pitch) * (rows + 2 * kGuardRows), fill) {}
    uint8_t* Bits() { return mem.data() + static_cast<size_t>(kGuardRows) * pitch; }
    uint8_t& At(int x, int y) { return Bits()[static_cast<ptrdiff_t>(y) * pitch + x]; }
    int pitch, rows;
    std::vector<uint8_t> mem;
};

// The mapping as written down, over a copy of `before`, against `after` byte for byte, guard rows included: each
// destination pixel's centre, from the destination pivot's, turned back and divided by the zoom, lands from the source
// pivot's centre in the half-open square of the pixel read, unless that is the key; only the cell's part on the
// source surface counts. Returns the first real difference; counts the pixels drawn, and the differences whose
// sample lies within `tolerance` of a pixel edge.
std::string Compare(const Request& r, const Buffer& before, const Buffer& after, double tolerance, long& drawn,
                    long& edgeMisses) {
    std::string failure;
    const int cl = std::max(r.srcLeft, 0), ct = std::max(r.srcTop, 0);
    const int cw = std::min(r.srcLeft + r.srcWidth, r.srcPitch) - cl, ch = r.srcTop + r.srcHeight - ct;
    const double c = std::cos(double{r.angle}), s = std::sin(double{r.angle});
    const int x0 = std::max(r.destLeft, 0), x1 = std::min(r.destLeft + r.destWidth, r.destPitch);
    const int y0 = std::max(r.destTop, 0), y1 = r.destTop + r.destHeight;
    const bool drawable = cw > 0 && ch > 0 && r.zoom > 0 && std::isfinite(r.zoom);
    for (size_t i = 0; i < before.mem.size(); ++i) {
        const int y = static_cast<int>(i / before.pitch) - kGuardRows, x = static_cast<int>(i % before.pitch);
        uint8_t expected = before.mem[i];
        bool nearEdge = false;
        if (drawable && x >= x0 && x < x1 && y >= y0 && y < y1) {
            const double ux = x - (r.destLeft + r.destPivotX), uy = y - (r.destTop + r.destPivotY);
            const double sx = r.srcLeft + r.srcPivotX - cl + 0.5 + (c * ux + s * uy) / r.zoom;
            const double sy = r.srcTop + r.srcPivotY - ct + 0.5 + (-s * ux + c * uy) / r.zoom;
            nearEdge = std::fabs(sx - std::round(sx)) < tolerance || std::fabs(sy - std::round(sy)) < tolerance;
            if (sx >= 0 && sx < cw && sy >= 0 && sy < ch) {
                const uint8_t v = r.srcBits[static_cast<size_t>(ct + int(std::floor(sy))) * r.srcPitch + cl +
                                            int(std::floor(sx))];
                if (v != r.key) expected = v, ++drawn;
            }
        }
        if (after.mem[i] == expected) continue;
        if (nearEdge) {
            ++edgeMisses;
        } else if (failure.empty()) {
            failure = "pixel (" + std::to_string(x) + ", " + std::to_string(y) + "): expected " +
                      std::to_string(expected) + ", got " + std::to_string(after.mem[i]);
        }
    }
    return failure;
}

std::string Describe(const Request& r) {
    char text[320];
    std::snprintf(text, sizeof text, "dest pitch %d rect (%d, %d, %d x %d) pivot (%d, %d); source pitch %d cell (%d, "
                  "%d, %d x %d) pivot (%d, %d); angle %.9g zoom %.9g key %d", r.destPitch, r.destLeft, r.destTop,
                  r.destWidth, r.destHeight, r.destPivotX, r.destPivotY, r.srcPitch, r.srcLeft, r.srcTop, r.srcWidth,
                  r.srcHeight, r.srcPivotX, r.srcPivotY, r.angle, r.zoom, r.key);
    return text;
}

struct RandomCase {
    Buffer sheet;
    Buffer dest;
    Request request;
    double tolerance;  // how near a pixel edge a sample may differ from the mapping: coefficients are rounded
    bool onEdges;      // many samples lie on pixel edges, where the mapping in floating point cannot decide
};

// Random case number i: a sheet of kFrame whose cell holds random indices with plenty of zeros, a destination of
// kOutside with a pattern inside the rectangle. Some cells hang over the sheet's edges or are wider than 256
// pixels (positions then carry 17 fraction bits instead of 24), some zooms are large, some pivots lie toward the
// ends of the 16-bit range, and some samples lie exactly on pixel edges (quarter turns at powers of two).
RandomCase MakeRandomCase(std::mt19937& rng, int i) {
    auto uniform = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    const bool wideCell = i % 7 == 3, cellMayLeaveSheet = i % 10 == 9;
    const int sheetPitch = wideCell ? uniform(300, 600) : uniform(40, 120), sheetRows = uniform(30, 90);
    const int cellW = wideCell ? uniform(257, sheetPitch - 2) : uniform(1, std::min(60, sheetPitch - 2));
    const int cellH = uniform(1, std::min(60, sheetRows - 2));
    const int cellX = cellMayLeaveSheet ? uniform(-cellW + 1, sheetPitch - 1) : uniform(1, sheetPitch - cellW - 1);
    const int cellY = cellMayLeaveSheet ? uniform(-cellH + 1, sheetRows - cellH) : uniform(1, sheetRows - cellH - 1);
    // Rectangles from well off the left and top to past the right edge; the bottom stays on the buffer, as
    // nothing tells the blit where a buffer ends.
    const int destPitch = uniform(24, 160), destRows = uniform(16, 120);
    const int left = uniform(-30, destPitch + 4), top = uniform(-30, destRows - 1);
    const int width = uniform(0, destPitch + 30), height = uniform(0, destRows - std::max(top, 0));
    RandomCase out{Buffer(sheetPitch, sheetRows, kFrame), Buffer(destPitch, destRows, kOutside), {}, 1e-4,
                   i % 5 == 1};
    for (int y = std::max(cellY, 0); y < cellY + cellH; ++y)
        for (int x = std::max(cellX, 0); x < std::min(cellX + cellW, sheetPitch); ++x)
            out.sheet.At(x, y) = static_cast<uint8_t>(uniform(0, 3) ? uniform(1, 200) : 0);
    for (int y = std::max(top, 0); y < top + height; ++y)
        for (int x = std::max(left, 0); x < std::min(left + width, destPitch); ++x)
            out.dest.At(x, y) = static_cast<uint8_t>(1 + (x * 7 + y * 13) % 199);

    const bool destPivotInside = uniform(0, 3) != 0, pivotInside = uniform(0, 3) != 0;
    const double smallest = uniform(0, 1) ? 0.01 : 0.25;  // half the pictures have some size
    const int keyKind = uniform(0, 3);
    Request& r = out.request;
    r = Request{out.dest.Bits(), destPitch, left, top,
                destPivotInside ? uniform(0, std::max(width - 1, 0)) : uniform(-40, width + 40),
                destPivotInside ? uniform(0, std::max(height - 1, 0)) : uniform(-40, height + 40), width, height,
                out.sheet.Bits(), sheetPitch, cellX, cellY,
                pivotInside ? uniform(0, cellW - 1) : uniform(-20, cellW + 20),
                pivotInside ? uniform(0, cellH - 1) : uniform(-20, cellH + 20), cellW, cellH,
                uniform(0, 4) == 0 ? static_cast<float>(uniform(-8, 8) * std::numbers::pi / 4)
                                   : std::uniform_real_distribution<float>(-7.0f, 7.0f)(rng),
                float(std::exp(std::uniform_real_distribution<double>(std::log(smallest), std::log(4.0))(rng))),
                keyKind == 0 ? uniform(0, 200) : keyKind == 1 ? -1 : 0};
    if (i % 3 == 0) r.zoom *= 8;
    if (out.onEdges) r.zoom = std::ldexp(1.0f, uniform(-2, 2)), r.angle = float(uniform(-4, 4) * std::numbers::pi / 2);
    if (i % 11 == 4) {
        const int far[] = {-32768, -1000, 0, 5000, 32767};
        r.destPivotX = far[uniform(0, 4)], r.destPivotY = far[uniform(0, 4)], r.srcPivotX = far[uniform(0, 4)];
        r.zoom = std::pow(10.0f, std::uniform_real_distribution<float>(0, 6.6f)(rng)) / 7;
    }
    if (wideCell || i % 11 == 4) out.tolerance = 2e-3;
    return out;
}

TEST(ScaleRotateReference, EveryWalkAndSpanMethodGivesTheSameBytesAndTheyFollowTheMapping) {
    // The portable walk with spans found by division is the yardstick: it follows the mapping, apart from
    // samples within rounding of a pixel edge, and never shows the sheet outside the cell. Every other walk and
    // span method gives exactly its bytes: the span estimates are too close to call where samples lie on pixel
    // edges, and the vector walks finish long and short spans each their own way.
    std::mt19937 rng(20240611);
    long drawn = 0, edgeMisses = 0;
    for (int i = 0; i < 5000; ++i) {
        RandomCase tc = MakeRandomCase(rng, i);
        const Buffer before = tc.dest;
        Request r = tc.request;
        quorvel::blit::ScaleRotate(r, Path::kDivided, Isa::kPortable);
        long misses = 0;
        const std::string failure = Compare(r, before, tc.dest, tc.tolerance, drawn, misses);
        edgeMisses += tc.onEdges ? 0 : misses;
        ASSERT_EQ(std::count(tc.dest.mem.begin(), tc.dest.mem.end(), kFrame), 0)
            << "case " << i << " (" << Describe(r) << "): the sheet outside the cell reached the destination";
        ASSERT_EQ(failure, "") << "case " << i << " (" << Describe(r) << ")";
        for (int w = 0; w < 3; ++w) {
            for (Path path : {Path::kEstimated, Path::kDivided}) {
                if (!quorvel::blit::Supported(kIsas[w])) continue;
                Buffer got = before;
                r.destBits = got.Bits();
                quorvel::blit::ScaleRotate(r, path, kIsas[w]);
                ASSERT_TRUE(got.mem == tc.dest.mem)
                    << kIsaNames[w] << (path == Path::kEstimated ? " estimated" : " divided")
                    << " differs from the yardstick, case " << i << " (" << Describe(r) << ")";
            }
        }
    }
    EXPECT_GT(drawn, 100000) << "expected the cases to draw plenty, got " << drawn;
    EXPECT_LE(edgeMisses * 20000, drawn) << "expected at most 1 edge difference in 20000 pixels, got " << edgeMisses
                                         << " in " << drawn;
}

// ---------------------------------------------------------------------------------------------------------------
// A 3 x 2 cell of indices 1..6 at (2, 1) of a sheet framed with kFrame, its pivot (1, 0) drawn at (6, 5) of a
// 12 x 12 background, the rectangle the whole buffer.

struct Small {  // the small case's arguments that the tests vary
    float angle = 0, zoom = 1;
    int destPitch = 12, destWidth = 12, srcPitch = 8, srcHeight = 2;
    bool noSource = false, noDestination = false;
};

Buffer DrawSmall(const Small& a) {
    Buffer sheet(8, 5, kFrame), dest(12, 12, kBackground);
    for (int i = 0; i < 6; ++i) sheet.At(2 + i % 3, 1 + i / 3) = static_cast<uint8_t>(1 + i);
    LS8_ScaleRotate(a.noDestination ? nullptr : dest.Bits(), int16_t(a.destPitch), 0, 0, 6, 5, int16_t(a.destWidth),
                    12, a.noSource ? nullptr : sheet.Bits(), int16_t(a.srcPitch), 2, 1, 1, 0, 3, int16_t(a.srcHeight),
                    a.angle, a.zoom, -1);
    return dest;
}

// The buffer as text, one line per row, '.' for the background.
std::string Picture(Buffer b) {
    std::string out;
    for (int y = 0; y < b.rows; ++y, out += '\n')
        for (int x = 0; x < b.pitch; ++x) out += b.At(x, y) == kBackground ? '.' : char('0' + b.At(x, y) % 10);
    return out;
}

// The background with `rows` laid over it from (left, top), as Picture prints it.
std::string PictureWith(int left, int top, std::initializer_list<const char*> rows) {
    Buffer b(12, 12, kBackground);
    for (const char* row : rows) {
        for (int x = 0; row[x]; ++x)
            if (row[x] != '.') b.At(left + x, top) = static_cast<uint8_t>(row[x] - '0');
        ++top;
    }
    return Picture(b);
}

TEST(ScaleRotateExact, QuarterTurnsAndSamplesOnPixelEdgesPlaceEveryPixel) {
    const float pi = std::numbers::pi_v<float>;
    const struct { float angle, zoom; std::string want; } cases[] = {
        {0, 1, PictureWith(5, 5, {"123", "456"})},          {pi / 2, 1, PictureWith(5, 4, {"41", "52", "63"})},
        {pi, 1, PictureWith(5, 4, {"654", "321"})},         {-pi / 2, 1, PictureWith(6, 4, {"36", "25", "14"})},
        {3 * pi / 2, 1, PictureWith(6, 4, {"36", "25", "14"})}, {2 * pi, 1, PictureWith(5, 5, {"123", "456"})},
        // Every other sample on an edge between source pixels: those on the cell's left and top edges are
        // inside, those on its right and bottom edges outside.
        {0, 2, PictureWith(3, 4, {"112233", "112233", "445566", "445566"})},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Picture(DrawSmall({.angle = c.angle, .zoom = c.zoom})), c.want)
            << "angle " << c.angle << ", zoom " << c.zoom << ": expected the second picture, got the first";
}

TEST(ScaleRotateExact, OnlyTheKeyedIndexLeavesTheDestinationUnchanged) {
    // A 3 x 1 cell of indices 0, 7 and 255 copied unturned onto a background of 9: a negative key means index 0,
    // one above 255 draws every index.
    const uint8_t cell[3] = {0, 7, 255};
    const struct { int key; std::vector<int> want; } cases[] = {
        {-1, {9, 7, 255}}, {-5, {9, 7, 255}}, {0, {9, 7, 255}}, {7, {0, 9, 255}}, {255, {0, 7, 9}}, {256, {0, 7, 255}}};
    for (const auto& c : cases) {
        uint8_t dest[3] = {9, 9, 9};
        LS8_ScaleRotate(dest, 3, 0, 0, 0, 0, 3, 1, cell, 3, 0, 0, 0, 0, 3, 1, 0, 1, int16_t(c.key));
        EXPECT_EQ(std::vector<int>(dest, dest + 3), c.want) << "key " << c.key;
    }
}

TEST(ScaleRotateDegenerate, UnusableArgumentsDrawNothingAndExtremeZoomsThePivotPixel) {
    using limits = std::numeric_limits<float>;
    constexpr float inf = limits::infinity(), nan = limits::quiet_NaN(), least = limits::denorm_min();
    const std::string nothing = Picture(Buffer(12, 12, kBackground)), pivot = PictureWith(6, 5, {"2"});
    const std::string filled = Picture(Buffer(12, 12, 2));  // every sample within a hair of the pivot's centre
    const struct { const char* name; Small args; const std::string& want; } cases[] = {
        {"zoom 0", {.zoom = 0}, nothing},          {"zoom -1", {.zoom = -1}, nothing},
        {"zoom inf", {.zoom = inf}, nothing},      {"zoom NaN", {.zoom = nan}, nothing},
        {"angle inf", {.angle = inf}, nothing},    {"angle NaN", {.angle = nan}, nothing},
        {"width -4", {.destWidth = -4}, nothing},  {"cell height -1", {.srcHeight = -1}, nothing},
        {"dest pitch 0", {.destPitch = 0}, nothing}, {"source pitch -8", {.srcPitch = -8}, nothing},
        {"no source", {.noSource = true}, nothing}, {"no destination", {.noDestination = true}, nothing},
        {"zoom 1e-3", {.angle = 1, .zoom = 1e-3f}, pivot}, {"zoom subnormal", {.angle = 1, .zoom = least}, pivot},
        {"zoom 1e-3, the pivot just right of the rectangle", {.angle = 1, .zoom = 1e-3f, .destWidth = 6}, nothing},
        {"zoom 1e5", {.angle = 0.7f, .zoom = 1e5f}, filled}, {"zoom max", {.angle = -2, .zoom = limits::max()}, filled},
    };
    for (const auto& c : cases) EXPECT_EQ(Picture(DrawSmall(c.args)), c.want) << c.name;
}

TEST(ScaleRotateArcTan, HeadingsTurnTowardDownwardYAndAreAlwaysNumbers) {
    const float pi = std::numbers::pi_v<float>, nan = std::numeric_limits<float>::quiet_NaN();
    const struct {
        float dy, dx, want;
    } cases[] = {{1, 0, pi / 2}, {-1, -1, -3 * pi / 4}, {0, 0, 0}, {nan, 1, 0}, {1, nan, 0}};
    for (const auto& c : cases) EXPECT_NEAR(LS8_ArcTan(c.dy, c.dx), c.want, 1e-6f) << "dy " << c.dy << ", dx " << c.dx;
}

}  // namespace
