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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    const auto i16 = [&] { return in.ConsumeIntegral<int16_t>(); };
    const int16_t destPitch = i16(), destLeft = i16(), destTop = i16(), destPivotX = i16(), destPivotY = i16(),
                  destWidth = i16(), destHeight = i16();
    const int16_t srcPitch = i16(), srcLeft = i16(), srcTop = i16(), srcPivotX = i16(), srcPivotY = i16(),
                  srcWidth = i16(), srcHeight = i16();
    const float angle = std::bit_cast<float>(in.ConsumeIntegral<uint32_t>());
    const float zoom = std::bit_cast<float>(in.ConsumeIntegral<uint32_t>());
    const int16_t key = i16();
    const uint8_t flags = in.ConsumeIntegral<uint8_t>();
    const bool mask = flags & 1, destGuardAfter = flags & 2, srcGuardAfter = flags & 4;
    const std::vector<uint8_t> pixels = in.ConsumeRemainingBytes<uint8_t>();

    const int64_t destBytes = BytesFor(destPitch, destTop, destHeight);
    const int64_t srcBytes = BytesFor(srcPitch, srcTop, srcHeight);
    if (destBytes > kMaxBytes || srcBytes > kMaxBytes) return -1;

    GuardedBytes src(static_cast<size_t>(srcBytes), srcGuardAfter);
    for (int64_t i = 0; i < srcBytes; ++i) src.bytes[i] = pixels.empty() ? uint8_t(i * 7) : pixels[i % pixels.size()];
    GuardedBytes dest(static_cast<size_t>(destBytes), destGuardAfter);
    for (int64_t i = 0; i < destBytes; ++i) dest.bytes[i] = uint8_t(i * 13 + 5);
    const std::vector<uint8_t> before(dest.bytes, dest.bytes + destBytes);

    int plainKey;
    if (mask) {
        LS8_ScaleRotateMask(dest.bytes, destPitch, destLeft, destTop, destPivotX, destPivotY, destWidth, destHeight,
                            src.bytes, srcPitch, srcLeft, srcTop, srcPivotX, srcPivotY, srcWidth, srcHeight, angle,
                            zoom, static_cast<uint8_t>(key));
        plainKey = static_cast<uint8_t>(key);
    } else {
        LS8_ScaleRotate(dest.bytes, destPitch, destLeft, destTop, destPivotX, destPivotY, destWidth, destHeight,
                        src.bytes, srcPitch, srcLeft, srcTop, srcPivotX, srcPivotY, srcWidth, srcHeight, angle, zoom,
                        key);
        plainKey = key < 0 ? 0 : key > 255 ? -1 : key;
    }

    // The rectangle as it lies on the buffer.
    const int64_t x0 = std::max<int>(destLeft, 0), x1 = std::min<int64_t>(int64_t{destLeft} + destWidth, destPitch);
    const int64_t y0 = std::max<int>(destTop, 0), y1 = int64_t{destTop} + destHeight;
    for (int64_t i = 0; i < destBytes; ++i) {
        if (dest.bytes[i] == before[i] || destPitch <= 0) continue;
        const int64_t x = i % destPitch, y = i / destPitch;
        if (x < x0 || x >= x1 || y < y0 || y >= y1) {
            std::fprintf(stderr, "wrote (%lld, %lld), outside columns %lld..%lld, rows %lld..%lld\n",
                         static_cast<long long>(x), static_cast<long long>(y), static_cast<long long>(x0),
                         static_cast<long long>(x1 - 1), static_cast<long long>(y0), static_cast<long long>(y1 - 1));
            std::abort();
        }
    }

    const quorvel::blit::Request request{dest.bytes, destPitch, destLeft, destTop, destPivotX, destPivotY, destWidth,
                                         destHeight, src.bytes, srcPitch, srcLeft, srcTop, srcPivotX, srcPivotY,
                                         srcWidth, srcHeight, angle, zoom, plainKey};
    GuardedBytes other(static_cast<size_t>(destBytes), !destGuardAfter);
    for (const Isa isa : {Isa::kPortable, Isa::kSse2, Isa::kAvx2}) {
        for (const Path path : {Path::kEstimated, Path::kDivided}) {
            if (!quorvel::blit::Supported(isa)) continue;
            std::copy(before.begin(), before.end(), other.bytes);
            quorvel::blit::Request r = request;
            r.destBits = other.bytes;
            quorvel::blit::ScaleRotate(r, path, isa);
            if (std::memcmp(other.bytes, dest.bytes, static_cast<size_t>(destBytes)) != 0) {
                std::fprintf(stderr, "walker %d with %s spans drew otherwise than the entry point\n",
                             static_cast<int>(isa), path == Path::kEstimated ? "estimated" : "divided");
                std::abort();
            }
        }
    }
    return 0;
}
