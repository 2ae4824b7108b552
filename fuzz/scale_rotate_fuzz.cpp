// LS8_ScaleRotate and LS8_ScaleRotateMask with arbitrary arguments, on buffers framed by inaccessible pages: the
// source is never read beyond its buffer, nothing outside the destination rectangle changes, and every walker,
// with either way of finding spans, draws exactly what the entry point drew.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "guarded_bytes.h"
#include "surface/scale_rotate.h"
#include "surface/scale_rotate_internal.h"

namespace {

using quorvel::fuzz::GuardedBytes;
using quorvel::blit::Isa;
using quorvel::blit::Path;

// Larger buffers are skipped: they would only slow the search down.
constexpr int64_t kMaxBytes = int64_t{1} << 18;

// The rows a call may touch run from row 0 to the rectangle's bottom: the caller clips the rectangle to the
// surface, so the buffer holds exactly those rows, as long as the pitch.
int64_t BytesFor(int pitch, int top, int height) {
    return std::max<int64_t>(pitch, 1) * std::max<int64_t>(int64_t{top} + height, 1);
}

// One call's arguments, read from the input in this order.
struct Call {
    int16_t destPitch, destLeft, destTop, destPivotX, destPivotY, destWidth, destHeight;
    int16_t srcPitch, srcLeft, srcTop, srcPivotX, srcPivotY, srcWidth, srcHeight;
    float angle, zoom;
    int16_t key;
    uint8_t flags;  // 1: the mask entry point; 2, 4: the guard page after the destination, after the source

    bool Mask() const { return flags & 1; }
    int64_t DestBytes() const { return BytesFor(destPitch, destTop, destHeight); }
    int64_t SrcBytes() const { return BytesFor(srcPitch, srcTop, srcHeight); }
};

Call ReadCall(FuzzedDataProvider& in) {
    const auto i16 = [&] { return in.ConsumeIntegral<int16_t>(); };
    const auto f32 = [&] { return std::bit_cast<float>(in.ConsumeIntegral<uint32_t>()); };
    return {i16(), i16(), i16(), i16(), i16(), i16(), i16(), i16(), i16(), i16(), i16(), i16(), i16(), i16(),
            f32(), f32(), i16(), in.ConsumeIntegral<uint8_t>()};
}

// Draws through the entry point; returns the key as the walkers take it (-1: none).
int DrawThroughEntryPoint(const Call& c, uint8_t* dest, const uint8_t* src) {
    if (c.Mask()) {
        LS8_ScaleRotateMask(dest, c.destPitch, c.destLeft, c.destTop, c.destPivotX, c.destPivotY, c.destWidth,
                            c.destHeight, src, c.srcPitch, c.srcLeft, c.srcTop, c.srcPivotX, c.srcPivotY, c.srcWidth,
                            c.srcHeight, c.angle, c.zoom, static_cast<uint8_t>(c.key));
        return static_cast<uint8_t>(c.key);
    }
    LS8_ScaleRotate(dest, c.destPitch, c.destLeft, c.destTop, c.destPivotX, c.destPivotY, c.destWidth, c.destHeight,
                    src, c.srcPitch, c.srcLeft, c.srcTop, c.srcPivotX, c.srcPivotY, c.srcWidth, c.srcHeight, c.angle,
                    c.zoom, c.key);
    return c.key < 0 ? 0 : c.key > 255 ? -1 : c.key;
}

// Stops the program when a byte outside the rectangle, as it lies on the buffer, changed.
void CheckOnlyRectangleChanged(const Call& c, const uint8_t* dest, const std::vector<uint8_t>& before) {
    const int64_t x0 = std::max<int>(c.destLeft, 0);
    const int64_t x1 = std::min<int64_t>(int64_t{c.destLeft} + c.destWidth, c.destPitch);
    const int64_t y0 = std::max<int>(c.destTop, 0), y1 = int64_t{c.destTop} + c.destHeight;
    for (int64_t i = 0; i < c.DestBytes(); ++i) {
        if (dest[i] == before[i] || c.destPitch <= 0) continue;
        const int64_t x = i % c.destPitch, y = i / c.destPitch;
        if (x < x0 || x >= x1 || y < y0 || y >= y1) {
            std::fprintf(stderr, "wrote (%lld, %lld), outside columns %lld..%lld, rows %lld..%lld\n",
                         static_cast<long long>(x), static_cast<long long>(y), static_cast<long long>(x0),
                         static_cast<long long>(x1 - 1), static_cast<long long>(y0), static_cast<long long>(y1 - 1));
            std::abort();
        }
    }
}

// Stops the program when a walker, with either way of finding spans, draws otherwise than the entry point drew.
void CheckWalkersAgree(const Call& c, int plainKey, const uint8_t* src, const std::vector<uint8_t>& before,
                       const uint8_t* drawn) {
    const quorvel::blit::Request request{nullptr, c.destPitch, c.destLeft, c.destTop, c.destPivotX, c.destPivotY,
                                         c.destWidth, c.destHeight, src, c.srcPitch, c.srcLeft, c.srcTop,
                                         c.srcPivotX, c.srcPivotY, c.srcWidth, c.srcHeight, c.angle, c.zoom, plainKey};
    GuardedBytes other(static_cast<size_t>(c.DestBytes()), !(c.flags & 2));
    for (const Isa isa : {Isa::kPortable, Isa::kSse2, Isa::kAvx2}) {
        for (const Path path : {Path::kEstimated, Path::kDivided}) {
            if (!quorvel::blit::Supported(isa)) continue;
            std::copy(before.begin(), before.end(), other.bytes);
            quorvel::blit::Request r = request;
            r.destBits = other.bytes;
            quorvel::blit::ScaleRotate(r, path, isa);
            if (std::memcmp(other.bytes, drawn, before.size()) != 0) {
                std::fprintf(stderr, "walker %d with %s spans drew otherwise than the entry point\n",
                             static_cast<int>(isa), path == Path::kEstimated ? "estimated" : "divided");
                std::abort();
            }
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    const Call call = ReadCall(in);
    const std::vector<uint8_t> pixels = in.ConsumeRemainingBytes<uint8_t>();
    const int64_t destBytes = call.DestBytes(), srcBytes = call.SrcBytes();
    if (destBytes > kMaxBytes || srcBytes > kMaxBytes) return -1;

    GuardedBytes src(static_cast<size_t>(srcBytes), call.flags & 4);
    for (int64_t i = 0; i < srcBytes; ++i) src.bytes[i] = pixels.empty() ? uint8_t(i * 7) : pixels[i % pixels.size()];
    GuardedBytes dest(static_cast<size_t>(destBytes), call.flags & 2);
    for (int64_t i = 0; i < destBytes; ++i) dest.bytes[i] = uint8_t(i * 13 + 5);
    const std::vector<uint8_t> before(dest.bytes, dest.bytes + destBytes);

    const int plainKey = DrawThroughEntryPoint(call, dest.bytes, src.bytes);
    CheckOnlyRectangleChanged(call, dest.bytes, before);
    CheckWalkersAgree(call, plainKey, src.bytes, before, dest.bytes);
    return 0;
}
