// BMP reading and writing, and a PNG writer with stored (uncompressed) deflate blocks: small, exact, no zlib.
#include "image/image_file.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <iterator>

#include "image/byte_writer.h"

namespace quorvel {
namespace {

bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

uint32_t Crc32(const uint8_t* data, size_t size, uint32_t crc = 0) {
    static const auto table = [] {
        std::array<uint32_t, 256> t{};
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    crc = ~crc;
    for (size_t i = 0; i < size; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

void PutChunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data) {
    Put32Be(out, static_cast<uint32_t>(data.size()));
    std::vector<uint8_t> body(type, type + 4);
    body.insert(body.end(), data.begin(), data.end());
    out.insert(out.end(), body.begin(), body.end());
    Put32Be(out, Crc32(body.data(), body.size()));
}

}  // namespace

bool ReadBmp(const std::string& path, Image& image) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return DecodeBmp(bytes, image);
}

std::vector<uint8_t> EncodeBmp24(const Image& image) {
    const size_t stride = ((static_cast<size_t>(image.width) * 24 + 31) / 32) * 4;
    const uint32_t imageSize = static_cast<uint32_t>(stride * image.height);
    std::vector<uint8_t> out = {'B', 'M'};
    Put32Le(out, 54 + imageSize);
    Put32Le(out, 0);
    Put32Le(out, 54);
    Put32Le(out, 40);
    Put32Le(out, static_cast<uint32_t>(image.width));
    Put32Le(out, static_cast<uint32_t>(image.height));  // bottom-up, the form every reader accepts
    Put16Le(out, 1);
    Put16Le(out, 24);
    Put32Le(out, 0);
    Put32Le(out, imageSize);
    Put32Le(out, 3780);  // 96 dots per inch
    Put32Le(out, 3780);
    Put32Le(out, 0);
    Put32Le(out, 0);
    for (int y = image.height - 1; y >= 0; --y) {
        for (int x = 0; x < image.width; ++x) {
            const uint32_t c = image.At(x, y);
            out.push_back(c & 0xFF);
            out.push_back((c >> 8) & 0xFF);
            out.push_back((c >> 16) & 0xFF);
        }
        for (size_t pad = static_cast<size_t>(image.width) * 3; pad < stride; ++pad) out.push_back(0);
    }
    return out;
}

bool WriteBmp24(const std::string& path, const Image& image) { return WriteFile(path, EncodeBmp24(image)); }

bool WritePng(const std::string& path, const Image& image) {
    std::vector<uint8_t> raw;
    raw.reserve(static_cast<size_t>(image.width * 3 + 1) * image.height);
    for (int y = 0; y < image.height; ++y) {
        raw.push_back(0);  // filter: none
        for (int x = 0; x < image.width; ++x) {
            const uint32_t c = image.At(x, y);
            raw.push_back((c >> 16) & 0xFF);
            raw.push_back((c >> 8) & 0xFF);
            raw.push_back(c & 0xFF);
        }
    }
    std::vector<uint8_t> z = {0x78, 0x01};
    uint32_t a = 1, b = 0;
    for (uint8_t byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    for (size_t at = 0; at < raw.size() || at == 0; at += 65535) {
        const size_t n = std::min<size_t>(65535, raw.size() - at);
        z.push_back(at + n >= raw.size() ? 1 : 0);
        Put16Le(z, static_cast<uint16_t>(n));
        Put16Le(z, static_cast<uint16_t>(~n));
        z.insert(z.end(), raw.begin() + static_cast<std::ptrdiff_t>(at), raw.begin() + static_cast<std::ptrdiff_t>(at + n));
        if (raw.empty()) break;
    }
    Put32Be(z, (b << 16) | a);

    std::vector<uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> header;
    Put32Be(header, static_cast<uint32_t>(image.width));
    Put32Be(header, static_cast<uint32_t>(image.height));
    header.insert(header.end(), {8, 2, 0, 0, 0});  // 8-bit RGB
    PutChunk(out, "IHDR", header);
    PutChunk(out, "IDAT", z);
    PutChunk(out, "IEND", {});
    return WriteFile(path, out);
}

}  // namespace quorvel
