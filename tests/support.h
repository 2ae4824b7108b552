// What the unit tests share: temporary folders, whole files, memory surfaces and colours printed the way a
// failure message wants them; the committed pictures come from image/assets.h.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "image/assets.h"
#include "image/image_file.h"
#include "seam/dib_header.h"
#include "seam/gdi.h"

namespace quorvel::testing {

// 0x00RRGGBB as six hex digits.
inline std::string Hex(uint32_t rgb) {
    char text[16];
    std::snprintf(text, sizeof text, "%06X", rgb);
    return text;
}

// A fresh folder named after the running test, removed with everything in it at the end of the test.
class TempFolder {
public:
    TempFolder() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string("quorvel-") + info->test_suite_name() + "-" + info->name();
        std::replace(name.begin(), name.end(), '/', '_');
        path_ = std::filesystem::temp_directory_path() / name;
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::filesystem::path& Path() const { return path_; }
    std::string File(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

inline std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

// A memory DC holding a fresh top-down DIB section of 8 or 32 bits per pixel (an 8-bit one with an all-black
// colour table until the test sets one).
inline plat::Dc MemoryDc(int width, int height, int bitsPerPixel = 32) {
    plat::Dc dc = plat::CreateCompatibleDC(nullptr);
    plat::BitmapInfo256 info{};
    info.header = plat::TopDownDibHeader(width, height, static_cast<uint16_t>(bitsPerPixel));
    plat::SelectObject(dc, plat::CreateDIBSection(dc, &info, plat::kDibRgbColors, nullptr));
    return dc;
}

}  // namespace quorvel::testing
