// The X11 program's portable parts: its command line, the palette in a window's pixel format, and the scale
// factor from Xft.dpi.
#include <gtest/gtest.h>

#include <cmath>
#include <regex>
#include <string>
#include <tuple>
#include <vector>

#include "apps/x11/options.h"
#include "surface/pixel_table.h"
#include "host/x11/scale.h"
#include "dialog/dialog_layout.h"
#include "support.h"

using namespace quorvel::x11;
using quorvel::BuildPixelTable;
using quorvel::ConvertRect;
using quorvel::kPalette;
using quorvel::PixelFormat;
using quorvel::PixelTable;
using quorvel::Supported;
using quorvel::testing::Hex;

namespace {

ParsedOptions Parse(std::vector<const char*> arguments) {
    return ParseOptions(static_cast<int>(arguments.size()), arguments.data());
}

}  // namespace

TEST(X11Options, ModesAndSettings) {
    const struct {
        std::vector<const char*> arguments;
        Target target;
        uint32_t windowId;
        bool fullscreen;
        float size;
        int length;
        float speed;
    } rows[] = {
        {{}, Target::OwnWindow, 0, false, 75, 100, 100},
        {{"-root"}, Target::Root, 0, false, 75, 100, 100},
        {{"--window-id", "0x2a00007", "--size", "120.5"}, Target::WindowId, 0x2a00007, false, 120.5f, 100, 100},
        {{"--fullscreen", "--length", "99.9", "--speed", " 60 "}, Target::OwnWindow, 0, true, 75, 99, 60},
        // Out of the sliders' ranges, kept as the settings file's values are; the saver bounds them.
        {{"--length", "-0.5", "--size", "900", "--speed", "&H6E"}, Target::OwnWindow, 0, false, 900, -1, 110},
    };
    for (const auto& row : rows) {
        const ParsedOptions parsed = Parse(row.arguments);
        const Options& o = parsed.options;
        EXPECT_EQ(std::tuple(parsed.error, o.target, o.windowId, o.fullscreen, o.settings.CrawlerSize,
                             int{o.settings.CrawlerLength}, o.settings.CrawlerSpeed, o.settings.CrawlerTaper),
                  std::tuple("", row.target, row.windowId, row.fullscreen, row.size, row.length, row.speed,
                             quorvel::kCrawlerTaper))
            << (row.arguments.empty() ? "(none)" : row.arguments[0]);
    }
    EXPECT_TRUE(Parse({"--help"}).options.help);
}

TEST(X11Options, MistakesAreNamed) {
    // `named`: what the message must quote.
    const struct { std::vector<const char*> arguments; const char* named; } rows[] = {
        {{"--bogus"}, "'--bogus'"}, {{"stray"}, "'stray'"}, {{"---root"}, "'---root'"},
        {{"--size"}, "--size needs a value"}, {{"--size", "large"}, "'large' for --size"},
        {{"-length", "40000"}, "'40000' for -length"}, {{"--speed", "1e39"}, "'1e39' for --speed"},
        {{"--window-id", "0"}, "'0' for --window-id"}, {{"--window-id", "0x"}, "'0x' for --window-id"},
        {{"--window-id", "12z"}, "'12z' for --window-id"},
        {{"--window-id", "4294967296"}, "'4294967296' for --window-id"},
        {{"-window-id", "12345", "-root"}, "--root and --window-id"},
        {{"--root", "--window-id", "12345"}, "--root and --window-id"}, {{"--root", "--fullscreen"}, "--fullscreen"},
    };
    for (const auto& row : rows) {
        const std::string error = Parse(row.arguments).error;
        EXPECT_NE(error.find(row.named), std::string::npos) << "got '" << error << "', expected it to name " << row.named;
    }
}

// Every palette entry, in every byte order and width, decodes back to its colour at the format's precision, and a
// rectangle lands in its place of a wider image, row by row.
TEST(PixelTable, EveryEntryRoundTripsAndRectanglesLandInPlace) {
    for (const PixelFormat format : {PixelFormat{0xFF0000, 0x00FF00, 0x0000FF, 32, false},
                                     PixelFormat{0xFF0000, 0x00FF00, 0x0000FF, 32, true},
                                     PixelFormat{0x0000FF, 0x00FF00, 0xFF0000, 24, false},
                                     PixelFormat{0x0000FF, 0x00FF00, 0xFF0000, 24, true},
                                     PixelFormat{0xF800, 0x07E0, 0x001F, 16, false},
                                     PixelFormat{0x7C00, 0x03E0, 0x001F, 16, true}}) {
        ASSERT_TRUE(Supported(format)) << format.bitsPerPixel;
        const PixelTable table = BuildPixelTable(kPalette, format);
        // Rows of 21 end in a part under eight pixels wide, and the black after entry 255 spans whole eights.
        const int bytes = format.bitsPerPixel / 8, width = 21, height = 16, imageWidth = 26, left = 3;
        std::vector<uint8_t> frame(width * height, 0), image(imageWidth * bytes * height, 0);
        for (int i = 0; i < 256; ++i) frame[i] = static_cast<uint8_t>(i);
        ConvertRect(frame.data(), width, width, height, table, format, image.data() + left * bytes, imageWidth * bytes);
        for (int i = 0; i < width * height; ++i) {
            const uint8_t* p = image.data() + (i / width) * imageWidth * bytes + (left + i % width) * bytes;
            uint32_t pixel = 0;
            for (int b = 0; b < bytes; ++b)
                pixel |= uint32_t{p[b]} << (format.mostSignificantFirst ? 8 * (bytes - 1 - b) : 8 * b);
            auto channel = [pixel](uint32_t mask) {
                const int shift = __builtin_ctz(mask), top = static_cast<int>(mask >> shift);
                return ((pixel & mask) >> shift) * 255.0 / top;
            };
            const double tolerance = format.bitsPerPixel == 16 ? 4.2 : 0;
            const quorvel::Rgb c = kPalette[frame[i]];
            EXPECT_TRUE(std::fabs(channel(format.redMask) - c.red) <= tolerance &&
                        std::fabs(channel(format.greenMask) - c.green) <= tolerance &&
                        std::fabs(channel(format.blueMask) - c.blue) <= tolerance)
                << format.bitsPerPixel << " bits, entry " << i << ": pixel " << Hex(pixel);
        }
        EXPECT_EQ(image[0], 0) << "columns left of the rectangle untouched";
    }
    EXPECT_FALSE(Supported({0xFF0000, 0x00FF00, 0x0000FF, 16, false})) << "masks wider than the pixel";
    EXPECT_FALSE(Supported({0xF0F000, 0x00FF00, 0x0000FF, 32, false})) << "a mask in two runs";
    EXPECT_FALSE(Supported({0xE0, 0x1C, 0x03, 8, false})) << "8 bits a pixel, even with masks that fit";
}

// Desktops write Xft.dpi by hand or by tool, so any text may come; anything unusable leaves the drawing as it is.
TEST(X11Scale, XftDpiGivesTheFactorWithinBounds) {
    const struct { const char* value; double factor; } rows[] = {
        {nullptr, 1}, {"96", 1}, {"144.0", 1.5}, {"  192", 2}, {"120\t", 1.25}, {"168 dpi", 1.75},
        {"", 1}, {"big", 1}, {"0", 1}, {"-192", 1}, {"72", 1}, {"nan", 1},  // never below the drawn size
        {"480", 5}, {"100000", 5}, {"1e308", 5}, {"inf", 5},                  // nor past Windows' largest
    };
    for (const auto& row : rows)
        EXPECT_EQ(ScaleForXftDpi(row.value), row.factor) << "Xft.dpi '" << (row.value ? row.value : "(none)") << "'";
}

// xscreensaver's settings program offers what the Windows dialog offers: the same ranges and defaults, each
// slider passing its option to the program, which reads it back as that setting.
TEST(X11SettingsDescription, SlidersMatchTheSettings) {
    const std::string xml = quorvel::testing::ReadBytes(QUORVEL_SOURCE_DIR "/apps/x11/quorvel.xml");
    ASSERT_NE(xml.find("<command arg=\"--root\"/>"), std::string::npos);
    const std::regex slider(R"re(<number id="(\w+)" type="slider" arg="(--\w+) %"[^>]*low="(\d+)" high="(\d+)" default="(\d+)")re");
    using namespace quorvel;
    const struct { const char* id; SliderRange range; float defaultValue; } expected[] = {
        {"size", kSizeRange, kDefaultCrawlerSize}, {"length", kLengthRange, kDefaultCrawlerLength},
        {"speed", kSpeedRange, kDefaultCrawlerSpeed}};
    size_t found = 0;
    for (auto it = std::sregex_iterator(xml.begin(), xml.end(), slider); it != std::sregex_iterator(); ++it, ++found) {
        const std::smatch& m = *it;
        ASSERT_LT(found, std::size(expected)) << "a slider too many: " << m[1];
        const auto& e = expected[found];
        const std::string option = m[2], high = m[4];
        const Settings s = Parse({option.c_str(), high.c_str()}).options.settings;
        const float got = found == 0 ? s.CrawlerSize : found == 1 ? s.CrawlerLength : s.CrawlerSpeed;
        EXPECT_EQ(std::tuple(m.str(1), std::stoi(m[3]), std::stoi(high), std::stof(m[5]), got),
                  std::tuple(std::string(e.id), e.range.min, e.range.max, e.defaultValue, float(e.range.max)))
            << e.id << ": id, low, high, default, and the setting that " << option << " " << high << " gives";
    }
    EXPECT_EQ(found, std::size(expected));
}
