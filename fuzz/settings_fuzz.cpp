// Arbitrary bytes as the settings file, read through the profile layer, and as the text the number conversions
// read. Whatever the file holds, positions saved into it come back exactly.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "base/numeric.h"
#include "settings/settings.h"

namespace {

std::string ScratchFile() {
    const char* folder = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    return std::string(folder) + "/quorvel-fuzz-" + std::to_string(getpid()) + ".ini";
}

int16_t Int16At(const uint8_t* data, size_t size, size_t at) {
    return static_cast<int16_t>((at < size ? data[at] : 0) | (at + 1 < size ? data[at + 1] << 8 : 0));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (const auto number = quorvel::ParseNumber(text)) {
        if (!std::isfinite(*number)) std::abort();
        (void)quorvel::ToInt16(*number);
        (void)quorvel::ToInt32(*number);
    }
    (void)quorvel::ToInt32(quorvel::Val(text));
    if (size >= sizeof(double)) {
        double raw;
        std::memcpy(&raw, data, sizeof raw);
        if (const auto whole = quorvel::ToInt16(raw); whole && std::fabs(*whole - raw) > 0.5) std::abort();
    }

    static const std::string file = ScratchFile();
    if (FILE* out = std::fopen(file.c_str(), "wb")) {
        std::fwrite(data, 1, size, out);
        std::fclose(out);
    }
    quorvel::Settings settings;
    quorvel::LoadSettings(settings, file);
    if (settings.CrawlerTaper != quorvel::kCrawlerTaper) std::abort();

    const int16_t size16 = Int16At(data, size, 0), length = Int16At(data, size, 2), speed = Int16At(data, size, 4);
    if (quorvel::SaveSettings(size16, length, speed, file)) {
        quorvel::Settings back;
        quorvel::LoadSettings(back, file);
        if (back.CrawlerSize != size16 || back.CrawlerLength != length || back.CrawlerSpeed != speed) {
            std::fprintf(stderr, "saved %d %d %d, read back %g %d %g\n", size16, length, speed, back.CrawlerSize,
                         back.CrawlerLength, back.CrawlerSpeed);
            std::abort();
        }
    }
    return 0;
}
