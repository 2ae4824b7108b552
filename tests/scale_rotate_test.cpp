// Scale-rotate blits checked against a slow reference built straight from the mapping, plus the fixed cases
// (quarter turns, the pivot at a pixel's centre, the edge rule, keys, degenerate arguments) and LS8_ArcTan.
#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <numbers>
#include <random>
#include <string>
#include <vector>

#include "surface/scale_rotate.h"
#include "surface/scale_rotate_internal.h"
#include "surface/tavrin_c.h"

#if defined(__unix__)
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace {

using quorvel::blit::Isa;
using quorvel::blit::Path;
using quorvel::blit::Request;

constexpr uint8_t kFrame = 255;      // around the source cell: must never reach the destination
constexpr uint8_t kOutside = 254;    // destination bytes outside the rectangle: must never change
constexpr int kGuardRows = 3;        // rows of kOutside above and below each destination buffer

// An 8-bit buffer with guard rows before and after it, so writes just outside it are caught too.
struct Buffer {
    Buffer(int pitch, int rows, uint8_t fill)
        : pitch(pitch), rows(rows), mem(static_cast<size_t>(pitch) * (rows + 2 * kGuardRows), fill) {}
    uint8_t* Bits() { return mem.data() + static_cast<size_t>(kGuardRows) * pitch; }
    const uint8_t* Bits() const { return mem.data() + static_cast<size_t>(kGuardRows) * pitch; }
    uint8_t& At(int x, int y) { return Bits()[static_cast<ptrdiff_t>(y) * pitch + x]; }
    uint8_t At(int x, int y) const { return Bits()[static_cast<ptrdiff_t>(y) * pitch + x]; }
    int pitch;
    int rows;
    std::vector<uint8_t> mem;
};

// What the reference decides for one destination pixel.
struct RefSample {
    bool inside = false;
    bool nearEdge = false;  // the sample lies within the tolerance of a pixel edge
    uint8_t value = 0;
};

// The mapping as written down: the destination pixel's centre, relative to the destination pivot's centre, turned
// back by the angle and divided by the zoom, lands relative to the source pivot's centre; the pixel whose
// half-open square holds it is read. Coordinates here are relative to the part of the cell on the source surface.
struct Reference {
    Reference(const Request& r, double tolerance) : r(r), tolerance(tolerance) {
        cl = std::max(r.srcLeft, 0);
        ct = std::max(r.srcTop, 0);
        cw = std::min(r.srcLeft + r.srcWidth, r.srcPitch) - cl;
        ch = r.srcTop + r.srcHeight - ct;
        c = std::cos(static_cast<double>(r.angle));
        s = std::sin(static_cast<double>(r.angle));
    }

    RefSample At(int x, int y) const {
        const double ux = x - (r.destLeft + r.destPivotX), uy = y - (r.destTop + r.destPivotY);
        const double sx = r.srcLeft + r.srcPivotX - cl + 0.5 + (c * ux + s * uy) / r.zoom;
        const double sy = r.srcTop + r.srcPivotY - ct + 0.5 + (-s * ux + c * uy) / r.zoom;
        RefSample out;
        out.nearEdge = std::fabs(sx - std::round(sx)) < tolerance || std::fabs(sy - std::round(sy)) < tolerance;
        if (!(sx >= 0 && sx < cw && sy >= 0 && sy < ch)) return out;
        out.inside = true;
        const int px = static_cast<int>(std::floor(sx)), py = static_cast<int>(std::floor(sy));
        out.value = r.srcBits[static_cast<size_t>(ct + py) * r.srcPitch + cl + px];
        return out;
    }

    Request r;
    double tolerance;
    int cl, ct, cw, ch;
    double c, s;
};

struct Comparison {
    long drawn = 0;        // pixels the reference draws
    long edgeMisses = 0;   // pixels that differ, every one with its sample at a pixel edge
    std::string failure;   // first real difference, empty when none
};

// Runs the reference over a copy of `before` and compares it with `after`, byte for byte over the whole buffer.
Comparison Compare(const Request& r, const Buffer& before, const Buffer& after, double tolerance) {
    Comparison out;
    Reference ref(r, tolerance);
    const int x0 = std::max(r.destLeft, 0), x1 = std::min(r.destLeft + r.destWidth, r.destPitch);
    const int y0 = std::max(r.destTop, 0), y1 = r.destTop + r.destHeight;
    const bool drawable = ref.cw > 0 && ref.ch > 0 && r.zoom > 0 && std::isfinite(r.zoom);
    for (size_t i = 0; i < before.mem.size(); ++i) {
        const long offset = static_cast<long>(i) - static_cast<long>(kGuardRows) * before.pitch;
        const int y = static_cast<int>(std::floor(static_cast<double>(offset) / before.pitch));
        const int x = static_cast<int>(offset - static_cast<long>(y) * before.pitch);
        uint8_t expected = before.mem[i];
        bool nearEdge = false;
        if (drawable && x >= x0 && x < x1 && y >= y0 && y < y1) {
            const RefSample sample = ref.At(x, y);
            nearEdge = sample.nearEdge;
            if (sample.inside && static_cast<int>(sample.value) != r.key) {
                expected = sample.value;
                ++out.drawn;
            }
        }
        if (after.mem[i] == expected) continue;
        if (nearEdge) {
            ++out.edgeMisses;
            continue;
        }
        if (out.failure.empty()) {
            out.failure = "pixel (" + std::to_string(x) + ", " + std::to_string(y) + "): expected " +
                          std::to_string(expected) + ", got " + std::to_string(after.mem[i]);
        }
    }
    return out;
}

std::string Describe(const Request& r) {
    return "dest pitch " + std::to_string(r.destPitch) + " rect (" + std::to_string(r.destLeft) + ", " +
           std::to_string(r.destTop) + ", " + std::to_string(r.destWidth) + " x " + std::to_string(r.destHeight) +
           ") pivot (" + std::to_string(r.destPivotX) + ", " + std::to_string(r.destPivotY) + "); cell (" +
           std::to_string(r.srcLeft) + ", " + std::to_string(r.srcTop) + ", " + std::to_string(r.srcWidth) +
           " x " + std::to_string(r.srcHeight) + ") pivot (" + std::to_string(r.srcPivotX) + ", " +
           std::to_string(r.srcPivotY) + "); angle " + std::to_string(r.angle) + " zoom " +
           std::to_string(r.zoom) + " key " + std::to_string(r.key);
}

// A sheet whose every byte is kFrame except the cell, which gets random indices with plenty of zeros.
Buffer MakeSheet(std::mt19937& rng, int pitch, int rows, int left, int top, int width, int height) {
    Buffer sheet(pitch, rows, kFrame);
    std::uniform_int_distribution<int> value(0, 200);
    for (int y = std::max(top, 0); y < std::min(top + height, rows); ++y)
        for (int x = std::max(left, 0); x < std::min(left + width, pitch); ++x) {
            const int v = value(rng);
            sheet.At(x, y) = static_cast<uint8_t>(v < 60 ? 0 : v);
        }
    return sheet;
}

// A destination of kOutside with a recognisable pattern inside the rectangle.
Buffer MakeDest(int pitch, int rows, int left, int top, int width, int height) {
    Buffer dest(pitch, rows, kOutside);
    for (int y = std::max(top, 0); y < std::min(top + height, rows); ++y)
        for (int x = std::max(left, 0); x < std::min(left + width, pitch); ++x)
            dest.At(x, y) = static_cast<uint8_t>(1 + (x * 7 + y * 13) % 199);
    return dest;
}

// Calls the entry point with a request; the request's key -1 (everything drawn) is the entry point's key 256.
void Blit(const Request& r) {
    LS8_ScaleRotate(r.destBits, static_cast<int16_t>(r.destPitch), static_cast<int16_t>(r.destLeft),
                    static_cast<int16_t>(r.destTop), static_cast<int16_t>(r.destPivotX),
                    static_cast<int16_t>(r.destPivotY), static_cast<int16_t>(r.destWidth),
                    static_cast<int16_t>(r.destHeight), r.srcBits, static_cast<int16_t>(r.srcPitch),
                    static_cast<int16_t>(r.srcLeft), static_cast<int16_t>(r.srcTop),
                    static_cast<int16_t>(r.srcPivotX), static_cast<int16_t>(r.srcPivotY),
                    static_cast<int16_t>(r.srcWidth), static_cast<int16_t>(r.srcHeight), r.angle, r.zoom,
                    static_cast<int16_t>(r.key < 0 ? 256 : r.key));
}

// ---------------------------------------------------------------------------------------------------------------
// Random cases against the reference.

struct RandomCase {
    Buffer sheet;
    Buffer dest;
    Request request;
};

// A random case. Sheets are small unless `wideCells`, which makes cells wider than 256 pixels.
RandomCase MakeRandomCase(std::mt19937& rng, bool cellMayLeaveSheet, bool wideCells = false) {
    auto uniform = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    const int sheetPitch = wideCells ? uniform(300, 600) : uniform(40, 120), sheetRows = uniform(30, 90);
    const int cellW = wideCells ? uniform(257, sheetPitch - 2) : uniform(1, std::min(60, sheetPitch - 2));
    const int cellH = uniform(1, std::min(60, sheetRows - 2));
    int cellX = uniform(1, sheetPitch - cellW - 1), cellY = uniform(1, sheetRows - cellH - 1);
    if (cellMayLeaveSheet) {
        // The cell hangs over the sheet's left, top or right edge; only its part on the sheet may be read.
        cellX = uniform(-cellW + 1, sheetPitch - 1);
        cellY = uniform(-cellH + 1, sheetRows - cellH);
    }
    RandomCase out{MakeSheet(rng, sheetPitch, sheetRows, cellX, cellY, cellW, cellH), Buffer(1, 1, 0), {}};

    const int destPitch = uniform(24, 160), destRows = uniform(16, 120);
    // Rectangles anywhere from well off the left and top to past the right edge; the bottom stays on the buffer,
    // as nothing tells the blit where a buffer ends.
    const int left = uniform(-30, destPitch + 4), top = uniform(-30, destRows - 1);
    const int width = uniform(0, destPitch + 30), height = uniform(0, destRows - std::max(top, 0));
    out.dest = MakeDest(destPitch, destRows, left, top, width, height);

    Request& r = out.request;
    r.destBits = out.dest.Bits();
    r.destPitch = destPitch;
    r.destLeft = left;
    r.destTop = top;
    r.destWidth = width;
    r.destHeight = height;
    const bool destPivotInside = uniform(0, 3) != 0;
    r.destPivotX = destPivotInside ? uniform(0, std::max(width - 1, 0)) : uniform(-40, width + 40);
    r.destPivotY = destPivotInside ? uniform(0, std::max(height - 1, 0)) : uniform(-40, height + 40);
    r.srcBits = out.sheet.Bits();
    r.srcPitch = sheetPitch;
    r.srcLeft = cellX;
    r.srcTop = cellY;
    r.srcWidth = cellW;
    r.srcHeight = cellH;
    const bool pivotInside = uniform(0, 3) != 0;
    r.srcPivotX = pivotInside ? uniform(0, cellW - 1) : uniform(-20, cellW + 20);
    r.srcPivotY = pivotInside ? uniform(0, cellH - 1) : uniform(-20, cellH + 20);
    if (uniform(0, 4) == 0) {
        r.angle = static_cast<float>(uniform(-8, 8) * std::numbers::pi / 4);
    } else {
        r.angle = std::uniform_real_distribution<float>(-7.0f, 7.0f)(rng);
    }
    // Zooms from 0.01 to 4, half of them at least 0.25 so that the pictures have some size.
    const double smallest = uniform(0, 1) ? 0.01 : 0.25;
    r.zoom = static_cast<float>(
        std::exp(std::uniform_real_distribution<double>(std::log(smallest), std::log(4.0))(rng)));
    const int keyKind = uniform(0, 3);
    r.key = keyKind == 0 ? uniform(0, 200) : keyKind == 1 ? -1 : 0;
    return out;
}

const Isa kIsas[] = {Isa::kPortable, Isa::kSse2, Isa::kAvx2};

const char* Name(Isa isa) {
    switch (isa) {
        case Isa::kPortable: return "portable";
        case Isa::kSse2: return "SSE2";
        case Isa::kAvx2: return "AVX2";
        case Isa::kBest: return "best";
    }
    return "?";
}

TEST(ScaleRotateReference, RandomCasesMatchTheMappingApartFromSamplesOnPixelEdges) {
    constexpr int kCases = 4000;
    constexpr double kTolerance = 1e-4;  // source pixels; positions carry at least 17 fraction bits
    for (Isa isa : kIsas) {
        if (!quorvel::blit::Supported(isa)) {
            std::printf("%s walk not supported here, skipped\n", Name(isa));
            continue;
        }
        std::mt19937 rng(20240611);
        long drawn = 0, edgeMisses = 0;
        int failures = 0;
        for (int i = 0; i < kCases && failures < 5; ++i) {
            RandomCase tc = MakeRandomCase(rng, i % 10 == 9);
            const Buffer before = tc.dest;
            quorvel::blit::ScaleRotate(tc.request, Path::kEstimated, isa);
            const Comparison cmp = Compare(tc.request, before, tc.dest, kTolerance);
            drawn += cmp.drawn;
            edgeMisses += cmp.edgeMisses;
            if (!cmp.failure.empty()) {
                ++failures;
                ADD_FAILURE() << Name(isa) << " case " << i << " (" << Describe(tc.request) << "): " << cmp.failure;
            }
            for (uint8_t b : tc.dest.mem)
                if (b == kFrame) {
                    ++failures;
                    ADD_FAILURE() << Name(isa) << " case " << i << ": the sheet's frame reached the destination";
                    break;
                }
        }
        std::printf("%s: %d cases, %ld pixels drawn, %ld differ with their sample within %g of a pixel edge\n",
                    Name(isa), kCases, drawn, edgeMisses, kTolerance);
        EXPECT_GT(drawn, 100000) << Name(isa) << ": expected the cases to draw plenty of pixels, got " << drawn;
        EXPECT_LE(edgeMisses * 100000, drawn) << Name(isa) << ": expected at most 1 edge difference in 100000 "
                                              << "pixels, got " << edgeMisses << " in " << drawn;
    }
}

TEST(ScaleRotateReference, EveryWalkAndSpanMethodAgreesByteForByte) {
    // The portable walk with spans found by division is the yardstick; the estimated spans and the vector walks
    // must give exactly its bytes. Some cases have long spans, some cells wider than 256 pixels, and some sit
    // samples exactly on pixel edges (quarter turns at zooms of powers of two), where the estimates are too
    // close to call.
    std::mt19937 rng(77);
    for (int i = 0; i < 3000; ++i) {
        RandomCase tc = MakeRandomCase(rng, i % 10 == 9, i % 7 == 3);
        if (i % 3 == 0) tc.request.zoom *= 8;
        if (i % 5 == 1) {
            tc.request.zoom = std::ldexp(1.0f, std::uniform_int_distribution<int>(-2, 2)(rng));
            const int quarters = std::uniform_int_distribution<int>(-4, 4)(rng);
            tc.request.angle = static_cast<float>(quarters * std::numbers::pi / 2);
        }
        Buffer yardstick = tc.dest;
        Request yr = tc.request;
        yr.destBits = yardstick.Bits();
        quorvel::blit::ScaleRotate(yr, Path::kDivided, Isa::kPortable);
        for (Isa isa : kIsas) {
            if (!quorvel::blit::Supported(isa)) continue;
            for (Path path : {Path::kEstimated, Path::kDivided}) {
                Buffer got = tc.dest;
                Request gr = tc.request;
                gr.destBits = got.Bits();
                quorvel::blit::ScaleRotate(gr, path, isa);
                ASSERT_EQ(got.mem, yardstick.mem) << Name(isa) << (path == Path::kEstimated ? " estimated" : " divided")
                                                  << ", case " << i << " (" << Describe(tc.request) << ")";
            }
        }
    }
}

TEST(ScaleRotateReference, EntryPointMatchesTheBlitItWraps) {
    std::mt19937 rng(5);
    for (int i = 0; i < 300; ++i) {
        RandomCase tc = MakeRandomCase(rng, false);
        Buffer viaEntry = tc.dest;
        Request er = tc.request;
        er.destBits = viaEntry.Bits();
        quorvel::blit::ScaleRotate(tc.request);
        Blit(er);
        ASSERT_EQ(tc.dest.mem, viaEntry.mem) << "case " << i << " (" << Describe(tc.request) << ")";
    }
}

TEST(ScaleRotateReference, LargeCellsAndLargeZoomsMatchTheMapping) {
    // Cells above 256 pixels and zooms far above the saver's, within a tolerance that grows with the zoom.
    std::mt19937 rng(99);
    long drawn = 0, edgeMisses = 0;
    for (int i = 0; i < 60; ++i) {
        const int cellW = std::uniform_int_distribution<int>(200, 600)(rng), cellH = 40;
        Buffer sheet = MakeSheet(rng, cellW + 2, cellH + 2, 1, 1, cellW, cellH);
        Buffer dest = MakeDest(90, 70, 0, 0, 90, 70);
        Request r{dest.Bits(), 90, 0, 0, 45, 35, 90, 70, sheet.Bits(), cellW + 2, 1, 1,
                  std::uniform_int_distribution<int>(0, cellW - 1)(rng), 20,
                  cellW, cellH, std::uniform_real_distribution<float>(-4, 4)(rng),
                  i < 30 ? 0.3f : static_cast<float>(std::pow(10.0, std::uniform_real_distribution<double>(1, 4)(rng))),
                  -1};
        const Buffer before = dest;
        quorvel::blit::ScaleRotate(r);
        const Comparison cmp = Compare(r, before, dest, 1e-3);
        drawn += cmp.drawn;
        edgeMisses += cmp.edgeMisses;
        EXPECT_TRUE(cmp.failure.empty()) << Describe(r) << ": " << cmp.failure;
    }
    EXPECT_GT(drawn, 10000) << "expected the cases to draw, got " << drawn;
    EXPECT_LE(edgeMisses * 1000, drawn) << "expected few edge differences, got " << edgeMisses << " in " << drawn;
}

#if defined(__unix__)
// Bytes placed right against an inaccessible page, before or after them, so that touching even one byte beyond
// them (reading a byte back to write it unchanged included) stops the test.
class GuardedBytes {
public:
    GuardedBytes(size_t size, bool guardAfter) {
        page_ = static_cast<size_t>(sysconf(_SC_PAGESIZE));
        pages_ = (size + page_ - 1) / page_ + 2;
        void* mem = mmap(nullptr, pages_ * page_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        base_ = static_cast<uint8_t*>(mem);
        mprotect(base_, page_, PROT_NONE);
        mprotect(base_ + (pages_ - 1) * page_, page_, PROT_NONE);
        bytes_ = guardAfter ? base_ + (pages_ - 1) * page_ - size : base_ + page_;
    }
    ~GuardedBytes() { munmap(base_, pages_ * page_); }
    GuardedBytes(const GuardedBytes&) = delete;
    GuardedBytes& operator=(const GuardedBytes&) = delete;
    uint8_t* Bytes() const { return bytes_; }

private:
    size_t page_ = 0, pages_ = 0;
    uint8_t* base_ = nullptr;
    uint8_t* bytes_ = nullptr;
};

TEST(ScaleRotateBounds, NoWalkTouchesAByteBeyondTheRectangleOrTheCell) {
    // Destination rectangle and source cell each fill a buffer that an inaccessible page follows or precedes;
    // rows are as long as the rectangle, so the last row's end (or the first row's start) is the buffer's.
    std::mt19937 rng(4242);
    int drawn = 0;
    for (int i = 0; i < 1500; ++i) {
        auto uniform = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
        const int destW = uniform(1, 40), destH = uniform(1, 30), cellW = uniform(1, 40), cellH = uniform(1, 30);
        const bool destAfter = i % 2 == 0, cellAfter = i % 4 < 2;
        GuardedBytes dest(static_cast<size_t>(destW) * destH, destAfter);
        GuardedBytes cell(static_cast<size_t>(cellW) * cellH, cellAfter);
        for (int b = 0; b < cellW * cellH; ++b)
            cell.Bytes()[b] = static_cast<uint8_t>(uniform(0, 3) ? uniform(1, 255) : 0);
        std::memset(dest.Bytes(), 7, static_cast<size_t>(destW) * destH);
        Request r{dest.Bytes(), destW, 0, 0, uniform(-5, destW + 5), uniform(-5, destH + 5), destW, destH,
                  cell.Bytes(), cellW, 0, 0, uniform(0, cellW - 1), uniform(0, cellH - 1), cellW, cellH,
                  std::uniform_real_distribution<float>(-4, 4)(rng),
                  static_cast<float>(std::exp(std::uniform_real_distribution<double>(-1, 2)(rng))), uniform(-1, 1)};
        for (Isa isa : kIsas) {
            if (!quorvel::blit::Supported(isa)) continue;
            quorvel::blit::ScaleRotate(r, Path::kEstimated, isa);
        }
        for (int b = 0; b < destW * destH; ++b) drawn += dest.Bytes()[b] != 7;
    }
    EXPECT_GT(drawn, 10000) << "expected the cases to draw, got " << drawn << " pixels";
}
#endif

// ---------------------------------------------------------------------------------------------------------------
// Exact pictures on a small asymmetric cell.

// A 3 x 2 cell with six different indices, at (2, 1) of a sheet framed with kFrame.
struct SmallCell {
    SmallCell() : sheet(8, 5, kFrame) {
        const uint8_t values[2][3] = {{1, 2, 3}, {4, 5, 6}};
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x) sheet.At(2 + x, 1 + y) = values[y][x];
    }
    uint8_t Cell(int x, int y) const { return sheet.At(2 + x, 1 + y); }
    Buffer sheet;
};

constexpr uint8_t kBackground = 9;

// Draws the small cell, pivot (1, 0), onto a 12 x 12 background at pivot (6, 5) with the rectangle the whole
// buffer.
Buffer DrawSmall(const SmallCell& cell, float angle, float zoom) {
    Buffer dest(12, 12, kBackground);
    LS8_ScaleRotate(dest.Bits(), 12, 0, 0, 6, 5, 12, 12, cell.sheet.Bits(), 8, 2, 1, 1, 0, 3, 2, angle, zoom, -1);
    return dest;
}

std::string Picture(const Buffer& b) {
    std::string out;
    for (int y = 0; y < b.rows; ++y) {
        for (int x = 0; x < b.pitch; ++x) out += static_cast<char>(b.At(x, y) == kBackground ? '.' : '0' + b.At(x, y));
        out += '\n';
    }
    return out;
}

TEST(ScaleRotateExact, FourQuarterTurnsPlaceEveryPixel) {
    const SmallCell cell;
    const double pi = std::numbers::pi;
    // Where cell offset (dx, dy) from the pivot lands for each quarter turn; +x turns toward +y (downward).
    struct Turn {
        float angle;
        int xx, xy, yx, yy;  // destination offset = (xx * dx + xy * dy, yx * dx + yy * dy)
    };
    const Turn turns[] = {{0.0f, 1, 0, 0, 1},
                          {static_cast<float>(pi / 2), 0, -1, 1, 0},
                          {static_cast<float>(pi), -1, 0, 0, -1},
                          {static_cast<float>(3 * pi / 2), 0, 1, -1, 0},
                          {static_cast<float>(-pi / 2), 0, 1, -1, 0},
                          {static_cast<float>(2 * pi), 1, 0, 0, 1}};
    for (const Turn& t : turns) {
        Buffer expected(12, 12, kBackground);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x) {
                const int dx = x - 1, dy = y;
                expected.At(6 + t.xx * dx + t.xy * dy, 5 + t.yx * dx + t.yy * dy) = cell.Cell(x, y);
            }
        const Buffer got = DrawSmall(cell, t.angle, 1.0f);
        EXPECT_EQ(Picture(got), Picture(expected))
            << "angle " << t.angle << ": expected the first picture, got the second";
    }
}

TEST(ScaleRotateExact, PivotIsThePixelCentreSoAHalfTurnMirrorsAboutIt) {
    // Turning about the pivot pixel's centre sends offset (dx, dy) to (-dx, -dy) exactly; a pivot at the pixel's
    // corner would shift the picture by one pixel.
    const SmallCell cell;
    const Buffer got = DrawSmall(cell, static_cast<float>(std::numbers::pi), 1.0f);
    EXPECT_EQ(got.At(6, 5), 2) << "expected the pivot pixel (index 2) on the destination pivot";
    EXPECT_EQ(got.At(7, 5), 1) << "expected the pixel left of the pivot to land right of it";
    EXPECT_EQ(got.At(5, 5), 3) << "expected the pixel right of the pivot to land left of it";
    EXPECT_EQ(got.At(6, 4), 5) << "expected the pixel below the pivot to land above it";
    EXPECT_EQ(got.At(6, 6), kBackground) << "expected nothing below the pivot";
}

TEST(ScaleRotateExact, SamplesOnAPixelEdgeTakeThePixelRightOrBelow) {
    // At zoom 2 every other sample falls exactly on an edge between source pixels. With the pivot (1, 0) at
    // (6, 5), destination column 6 + u samples cell column floor(1.5 + u / 2), row 5 + v samples floor(0.5 + v / 2):
    // the sample on the cell's left and top edges (u = -3, v = -1) is inside, the one on the right and bottom
    // edges (u = 3, v = 3) outside.
    const SmallCell cell;
    const Buffer got = DrawSmall(cell, 0.0f, 2.0f);
    Buffer expected(12, 12, kBackground);
    for (int v = -1; v <= 2; ++v)
        for (int u = -3; u <= 2; ++u)
            expected.At(6 + u, 5 + v) = cell.Cell(static_cast<int>(std::floor(1.5 + u / 2.0)),
                                                  static_cast<int>(std::floor(0.5 + v / 2.0)));
    EXPECT_EQ(Picture(got), Picture(expected)) << "expected the first picture, got the second";
}

TEST(ScaleRotateExact, UnturnedUnitZoomCopiesTheCellOntoThePivot) {
    std::mt19937 rng(3);
    Buffer sheet = MakeSheet(rng, 70, 70, 0, 0, 62, 66);
    Buffer dest(100, 100, 0);
    LS8_ScaleRotate(dest.Bits(), 100, 6, 6, 44, 44, 88, 88, sheet.Bits(), 70, 0, 0, 15, 32, 62, 66, 0.0f, 1.0f, 300);
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x) {
            const int sx = x - 50 + 15, sy = y - 50 + 32;
            const bool inRect = x >= 6 && x < 94 && y >= 6 && y < 94;
            const uint8_t want = inRect && sx >= 0 && sx < 62 && sy >= 0 && sy < 66 ? sheet.At(sx, sy) : 0;
            ASSERT_EQ(dest.At(x, y), want) << "pixel (" << x << ", " << y << ")";
        }
}

TEST(ScaleRotateExact, RectangleAtTheTopLeftWithThePivotBeyondIt) {
    // The head at the crawler's starting point: a 40 x 40 window with the pivot at (-50, -50) of it, heading
    // down and right so that the snout reaches into the window.
    Buffer sheet(140, 90, 7);
    Buffer dest(40, 40, kBackground);
    const Buffer before = dest;
    const Request r{dest.Bits(), 40, 0, 0, -50, -50, 40, 40, sheet.Bits(), 140, 5, 3, 15, 40, 130, 82,
                    static_cast<float>(std::numbers::pi / 4), 0.75f, -1};
    Blit(r);
    EXPECT_EQ(dest.At(0, 0), 7) << "expected the snout in the window's corner";
    EXPECT_EQ(dest.At(39, 39), kBackground) << "expected the far corner beyond the snout";
    const Comparison cmp = Compare(r, before, dest, 1e-4);
    EXPECT_TRUE(cmp.failure.empty()) << cmp.failure;
    EXPECT_GT(cmp.drawn, 100) << "expected part of the head drawn, got " << cmp.drawn << " pixels";
}

TEST(ScaleRotateExact, RectangleTouchingTheRightAndBottomEdgesWritesNothingBeyond) {
    Buffer sheet(20, 20, 7);
    Buffer dest(16, 10, kBackground);
    // Rectangle columns 15..15 and rows 9..9 of a 16 x 10 buffer, with a picture much larger than it.
    LS8_ScaleRotate(dest.Bits(), 16, 15, 9, 0, 0, 1, 1, sheet.Bits(), 20, 0, 0, 10, 10, 20, 20, 0.7f, 3.0f, -1);
    for (int y = -kGuardRows; y < 10 + kGuardRows; ++y)
        for (int x = 0; x < 16; ++x)
            EXPECT_EQ(dest.At(x, y), x == 15 && y == 9 ? 7 : kBackground) << "pixel (" << x << ", " << y << ")";
}

// ---------------------------------------------------------------------------------------------------------------
// Keys.

struct KeyCase {
    const char* name;
    int key;  // -2: use the mask variant with maskKey
    uint8_t maskKey;
    bool draws[3];  // whether indices 0, 7 and 255 are drawn
};

TEST(ScaleRotateKeys, OnlyTheKeyedIndexLeavesTheDestinationUnchanged) {
    // A 3 x 1 cell of indices 0, 7, 255 copied unturned onto a background of 9.
    Buffer sheet(3, 1, 0);
    sheet.At(1, 0) = 7;
    sheet.At(2, 0) = 255;
    const KeyCase cases[] = {
        {"key -1", -1, 0, {false, true, true}},   {"key 0", 0, 0, {false, true, true}},
        {"key 7", 7, 0, {true, false, true}},     {"key 255", 255, 0, {true, true, false}},
        {"key -5", -5, 0, {false, true, true}},   {"key 256", 256, 0, {true, true, true}},
        {"mask 0", -2, 0, {false, true, true}},   {"mask 7", -2, 7, {true, false, true}},
        {"mask 255", -2, 255, {true, true, false}},
    };
    for (const KeyCase& kc : cases) {
        Buffer dest(3, 1, kBackground);
        if (kc.key == -2) {
            LS8_ScaleRotateMask(dest.Bits(), 3, 0, 0, 0, 0, 3, 1, sheet.Bits(), 3, 0, 0, 0, 0, 3, 1, 0.0f, 1.0f,
                                kc.maskKey);
        } else {
            LS8_ScaleRotate(dest.Bits(), 3, 0, 0, 0, 0, 3, 1, sheet.Bits(), 3, 0, 0, 0, 0, 3, 1, 0.0f, 1.0f,
                            static_cast<int16_t>(kc.key));
        }
        for (int i = 0; i < 3; ++i) {
            const uint8_t want = kc.draws[i] ? sheet.At(i, 0) : kBackground;
            EXPECT_EQ(dest.At(i, 0), want) << kc.name << ", index " << int(sheet.At(i, 0)) << ": expected "
                                           << int(want) << ", got " << int(dest.At(i, 0));
        }
    }
}

// ---------------------------------------------------------------------------------------------------------------
// Degenerate arguments.

TEST(ScaleRotateDegenerate, UnusableZoomsAndAnglesDrawNothing) {
    const SmallCell cell;
    const float inf = std::numeric_limits<float>::infinity(), nan = std::numeric_limits<float>::quiet_NaN();
    const Buffer untouched(12, 12, kBackground);
    for (float zoom : {0.0f, -0.0f, -1.0f, -inf, inf, nan}) {
        const Buffer got = DrawSmall(cell, 0.3f, zoom);
        EXPECT_EQ(got.mem, untouched.mem) << "zoom " << zoom << ": expected nothing drawn";
    }
    for (float angle : {inf, -inf, nan}) {
        const Buffer got = DrawSmall(cell, angle, 1.0f);
        EXPECT_EQ(got.mem, untouched.mem) << "angle " << angle << ": expected nothing drawn";
    }
}

TEST(ScaleRotateDegenerate, EmptyRectanglesCellsNullPointersAndBadPitchesDrawNothing) {
    const SmallCell cell;
    const Buffer untouched(12, 12, kBackground);
    struct Args {
        const char* name;
        int destPitch, destWidth, destHeight, srcPitch, srcWidth, srcHeight;
        bool nullDest, nullSrc;
    };
    const Args cases[] = {
        {"width 0", 12, 0, 12, 8, 3, 2, false, false},         {"height 0", 12, 12, 0, 8, 3, 2, false, false},
        {"width -4", 12, -4, 12, 8, 3, 2, false, false},       {"height -4", 12, 12, -4, 8, 3, 2, false, false},
        {"cell width 0", 12, 12, 12, 8, 0, 2, false, false},  {"cell height -1", 12, 12, 12, 8, 3, -1, false, false},
        {"dest pitch -12", -12, 12, 12, 8, 3, 2, false, false}, {"dest pitch 0", 0, 12, 12, 8, 3, 2, false, false},
        {"src pitch -8", 12, 12, 12, -8, 3, 2, false, false},  {"null source", 12, 12, 12, 8, 3, 2, false, true},
        {"null destination", 12, 12, 12, 8, 3, 2, true, false},
    };
    for (const Args& a : cases) {
        Buffer dest(12, 12, kBackground);
        LS8_ScaleRotate(a.nullDest ? nullptr : dest.Bits(), static_cast<int16_t>(a.destPitch), 0, 0, 6, 5,
                        static_cast<int16_t>(a.destWidth), static_cast<int16_t>(a.destHeight),
                        a.nullSrc ? nullptr : cell.sheet.Bits(), static_cast<int16_t>(a.srcPitch), 2, 1, 1, 0,
                        static_cast<int16_t>(a.srcWidth), static_cast<int16_t>(a.srcHeight), 0.2f, 1.0f, -1);
        EXPECT_EQ(dest.mem, untouched.mem) << a.name << ": expected nothing drawn";
    }
}

TEST(ScaleRotateDegenerate, TinyZoomsDrawAtMostThePivotPixel) {
    const SmallCell cell;
    for (float zoom : {1e-3f, 1e-10f, 1e-30f, 1e-40f /* subnormal */, FLT_TRUE_MIN}) {
        const Buffer got = DrawSmall(cell, 1.0f, zoom);
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < 12; ++x) {
                const uint8_t want = x == 6 && y == 5 ? cell.Cell(1, 0) : kBackground;
                ASSERT_EQ(got.At(x, y), want) << "zoom " << zoom << ", pixel (" << x << ", " << y << ")";
            }
    }
}

TEST(ScaleRotateDegenerate, HugeZoomsFillTheRectangleWithThePivotPixel) {
    // However large the zoom, every sample of a 12-pixel window lies within a hair of the pivot's centre.
    const SmallCell cell;
    for (float zoom : {1e5f, 1e12f, 1e30f, FLT_MAX}) {
        for (float angle : {0.0f, 0.7f, -2.0f}) {
            const Buffer got = DrawSmall(cell, angle, zoom);
            for (int y = 0; y < 12; ++y)
                for (int x = 0; x < 12; ++x)
                    ASSERT_EQ(got.At(x, y), cell.Cell(1, 0))
                        << "zoom " << zoom << " angle " << angle << ", pixel (" << x << ", " << y << ")";
        }
    }
}

TEST(ScaleRotateDegenerate, ExtremeCoordinatesStayInsideTheRectangle) {
    // Pivots at the ends of the 16-bit range, rectangles far off the surface, zooms that make huge pictures.
    std::mt19937 rng(11);
    Buffer sheet = MakeSheet(rng, 66, 70, 2, 2, 62, 66);
    for (int i = 0; i < 400; ++i) {
        auto pick = [&](std::initializer_list<int> v) {
            return *(v.begin() + std::uniform_int_distribution<size_t>(0, v.size() - 1)(rng));
        };
        Buffer dest = MakeDest(64, 48, 0, 0, 64, 48);
        const Buffer before = dest;
        const int16_t pivotX = static_cast<int16_t>(pick({-32768, -1000, 0, 31, 5000, 32767}));
        const int16_t pivotY = static_cast<int16_t>(pick({-32768, -700, 0, 20, 32767}));
        const int16_t srcPivot = static_cast<int16_t>(pick({-32768, 0, 30, 32767}));
        const float zoom = static_cast<float>(pick({1, 100, 3000, 100000, 30000000})) / 7.0f;
        const float angle = std::uniform_real_distribution<float>(-4, 4)(rng);
        LS8_ScaleRotate(dest.Bits(), 64, 8, 4, pivotX, pivotY, 40, 30, sheet.Bits(), 66, 2, 2, srcPivot, 32, 62, 66,
                        angle, zoom, -1);
        const Request r{dest.Bits(), 64, 8, 4, pivotX, pivotY, 40, 30, sheet.Bits(), 66, 2, 2, srcPivot, 32, 62, 66,
                        angle, zoom, 0};
        const Comparison cmp = Compare(r, before, dest, 1e-3);
        ASSERT_TRUE(cmp.failure.empty()) << Describe(r) << ": " << cmp.failure;
    }
}

// ---------------------------------------------------------------------------------------------------------------
// LS8_ArcTan.

TEST(ScaleRotateArcTan, HeadingsFollowTheDownwardYConvention) {
    const float pi = std::numbers::pi_v<float>;
    struct Case {
        float dy, dx, want;
    };
    const Case cases[] = {{0, 1, 0},         {1, 0, pi / 2},  {0, -1, pi},        {-1, 0, -pi / 2},
                          {1, 1, pi / 4},    {-1, -1, -3 * pi / 4}, {3, -3, 3 * pi / 4}};
    for (const Case& c : cases)
        EXPECT_NEAR(LS8_ArcTan(c.dy, c.dx), c.want, 1e-6f) << "dy " << c.dy << ", dx " << c.dx;
}

TEST(ScaleRotateArcTan, ZeroAndUnusableArgumentsGiveFiniteHeadings) {
    const float inf = std::numeric_limits<float>::infinity(), nan = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(LS8_ArcTan(0.0f, 0.0f), 0.0f) << "expected heading 0 for (0, 0)";
    EXPECT_TRUE(std::isfinite(LS8_ArcTan(-0.0f, -0.0f))) << "expected a finite heading for (-0, -0)";
    EXPECT_EQ(LS8_ArcTan(nan, 1.0f), 0.0f) << "expected heading 0 when dy is NaN";
    EXPECT_EQ(LS8_ArcTan(1.0f, nan), 0.0f) << "expected heading 0 when dx is NaN";
    EXPECT_NEAR(LS8_ArcTan(inf, inf), std::numbers::pi_v<float> / 4, 1e-6f) << "expected pi/4 for (inf, inf)";
}

TEST(ScaleRotateArcTan, RandomDirectionsStayWithinPlusMinusPi) {
    std::mt19937 rng(8);
    std::uniform_real_distribution<float> v(-1e4f, 1e4f);
    for (int i = 0; i < 10000; ++i) {
        const float dy = v(rng), dx = v(rng);
        const float a = LS8_ArcTan(dy, dx);
        ASSERT_GE(a, -std::numbers::pi_v<float>) << "dy " << dy << " dx " << dx;
        ASSERT_LE(a, std::numbers::pi_v<float>) << "dy " << dy << " dx " << dx;
        ASSERT_NEAR(a, std::atan2(static_cast<double>(dy), static_cast<double>(dx)), 1e-6) << "dy " << dy;
    }
}

// ---------------------------------------------------------------------------------------------------------------
// Through the surface class.

TEST(ScaleRotateSurface, TavrinScaleRotateDrawsThroughTheEntryPoint) {
    quorvel::Tavrin_C sheet, frame;
    ASSERT_FALSE(sheet.InitDimensions(8, 8)) << "expected the sheet to be created";
    ASSERT_FALSE(frame.InitDimensions(16, 12)) << "expected the frame to be created";
    for (int i = 0; i < 64; ++i) sheet.GetPointer()[i] = static_cast<uint8_t>(i);
    frame.FillZero();
    // Cell (1, 1) 3 x 2 of the sheet, pivot at its (1, 0), drawn unturned with its pivot at (5, 5) of the frame.
    frame.ScaleRotate(sheet, 2, 3, 3, 2, 10, 8, 1, 1, 1, 0, 3, 2, 0.0f, 1.0f, -1);
    const uint8_t* bits = frame.GetPointer();
    const int pitch = frame.GetPitch();
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 16; ++x) {
            const int cx = x - 5 + 1, cy = y - 5;
            const bool inCell = cx >= 0 && cx < 3 && cy >= 0 && cy < 2;
            const uint8_t want = inCell ? static_cast<uint8_t>((1 + cy) * 8 + 1 + cx) : 0;
            ASSERT_EQ(bits[y * pitch + x], want) << "pixel (" << x << ", " << y << ")";
        }
    // The mask variant with key 10 leaves that index out.
    frame.FillZero();
    frame.ScaleRotateMask(sheet, 2, 3, 3, 2, 10, 8, 1, 1, 1, 0, 3, 2, 0.0f, 1.0f, 10);
    EXPECT_EQ(bits[5 * pitch + 5], 0) << "expected index 10 keyed out";
    EXPECT_EQ(bits[5 * pitch + 4], 9) << "expected index 9 drawn";
    EXPECT_EQ(bits[6 * pitch + 6], 19) << "expected index 19 drawn";
}

}  // namespace
