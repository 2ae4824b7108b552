// The X11 program's portable parts: its command line, the palette in a window's pixel format, and the scale
// factor from Xft.dpi.
#include <gtest/gtest.h>

#include <cstring>
#include <regex>
#include <string>
#include <vector>

#include "apps/x11/options.h"
#include "host/x11/pixel_table.h"
#include "host/x11/scale.h"
#include "dialog/dialog_layout.h"
#include "support.h"

using namespace quorvel::x11;
using quorvel::kPalette;
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
        {{"-window-id", "12345", "-root"}, Target::WindowId, 12345, false, 75, 100, 100},  // rejected below
        {{"--fullscreen", "--length", "99.9", "--speed", " 60 "}, Target::OwnWindow, 0, true, 75, 99, 60},
        // Out of the sliders' ranges, kept as the settings file's values are; the saver bounds them.
        {{"--length", "-0.5", "--size", "900", "--speed", "&H6E"}, Target::OwnWindow, 0, false, 900, -1, 110},
    };
    for (const auto& row : rows) {
        const ParsedOptions parsed = Parse(row.arguments);
        const std::string what = row.arguments.empty() ? "(none)" : row.arguments[0];
        if (row.arguments.size() == 3 && std::strcmp(row.arguments[2], "-root") == 0) {
            EXPECT_NE(parsed.error, "") << "a window id and --root together";
            continue;
        }
        ASSERT_EQ(parsed.error, "") << what;
        const Options& o = parsed.options;
        EXPECT_EQ(o.target, row.target) << what;
        EXPECT_EQ(o.windowId, row.windowId) << what;
        EXPECT_EQ(o.fullscreen, row.fullscreen) << what;
        EXPECT_EQ(o.settings.CrawlerSize, row.size) << what;
        EXPECT_EQ(o.settings.CrawlerLength, row.length) << what;
        EXPECT_EQ(o.settings.CrawlerSpeed, row.speed) << what;
        EXPECT_EQ(o.settings.CrawlerTaper, quorvel::kCrawlerTaper) << what;
    }
    EXPECT_TRUE(Parse({"--help"}).options.help);
}

TEST(X11Options, MistakesAreNamed) {
    const struct {
        std::vector<const char*> arguments;
        const char* named;  // what the message must quote
    } rows[] = {
        {{"--bogus"}, "'--bogus'"},
        {{"stray"}, "'stray'"},
        {{"---root"}, "'---root'"},
        {{"--size"}, "--size needs a value"},
        {{"--size", "large"}, "'large' for --size"},
        {{"-length", "40000"}, "'40000' for -length"},
        {{"--speed", "1e39"}, "'1e39' for --speed"},
        {{"--window-id", "0"}, "'0' for --window-id"},
        {{"--window-id", "0x"}, "'0x' for --window-id"},
        {{"--window-id", "12z"}, "'12z' for --window-id"},
        {{"--window-id", "4294967296"}, "'4294967296' for --window-id"},
        {{"--root", "--fullscreen"}, "--fullscreen"},
    };
    for (const auto& row : rows) {
        const std::string error = Parse(row.arguments).error;
        EXPECT_NE(error.find(row.named), std::string::npos) << "got '" << error << "', expected it to name " << row.named;
    }
}

TEST(X11PixelTable, PaletteInEachFormat) {
    const struct {
        PixelFormat format;
        int entry;
        std::vector<uint8_t> bytes;  // the entry's pixel as the image holds it
    } rows[] = {
        // Entry 12 is pure red: where its bits land shows the masks' places and the byte order.
        {{0xFF0000, 0x00FF00, 0x0000FF, 32, false}, 12, {0x00, 0x00, 0xFF, 0x00}},
        {{0xFF0000, 0x00FF00, 0x0000FF, 32, true}, 12, {0x00, 0xFF, 0x00, 0x00}},
        {{0x0000FF, 0x00FF00, 0xFF0000, 24, false}, 12, {0xFF, 0x00, 0x00}},
        {{0xF800, 0x07E0, 0x001F, 16, false}, 12, {0x00, 0xF8}},
        {{0x7C00, 0x03E0, 0x001F, 16, true}, 12, {0x7C, 0x00}},
    };
    for (const auto& row : rows) {
        ASSERT_TRUE(Supported(row.format)) << row.format.bitsPerPixel;
        const PixelTable table = BuildPixelTable(kPalette, row.format);
        std::vector<uint8_t> image(row.bytes.size() * 2, 0xAA);
        const uint8_t index = static_cast<uint8_t>(row.entry);
        ConvertRect(&index, 1, 1, 1, table, row.format, image.data() + row.bytes.size(), 0);
        EXPECT_EQ(std::vector<uint8_t>(image.begin() + row.bytes.size(), image.end()), row.bytes)
            << row.format.bitsPerPixel << " bits, entry " << row.entry;
        EXPECT_EQ(image[0], 0xAA) << "nothing written before the rectangle";
    }
    EXPECT_FALSE(Supported({0xFF0000, 0x00FF00, 0x0000FF, 16, false})) << "masks wider than the pixel";
    EXPECT_FALSE(Supported({0xF0F000, 0x00FF00, 0x0000FF, 32, false})) << "a mask in two runs";
    EXPECT_FALSE(Supported({0xFF, 0xFF00, 0xFF0000, 8, false})) << "8 bits a pixel";
}

// Every palette entry, in every byte order and width, decodes back to its colour at the format's precision;
// and a rectangle lands in its place of a wider image, row by row.
TEST(X11PixelTable, EveryEntryRoundTripsAndRectanglesLandInPlace) {
    for (const PixelFormat format : {PixelFormat{0xFF0000, 0x00FF00, 0x0000FF, 32, true},
                                     PixelFormat{0x0000FF, 0x00FF00, 0xFF0000, 24, true},
                                     PixelFormat{0xF800, 0x07E0, 0x001F, 16, false}}) {
        const PixelTable table = BuildPixelTable(kPalette, format);
        const int bytes = format.bitsPerPixel / 8, width = 16, height = 16, imageWidth = 20, left = 3;
        std::vector<uint8_t> frame(width * height), image(imageWidth * bytes * height, 0);
        for (int i = 0; i < 256; ++i) frame[i] = static_cast<uint8_t>(i);
        ConvertRect(frame.data(), width, width, height, table, format, image.data() + left * bytes, imageWidth * bytes);
        for (int i = 0; i < 256; ++i) {
            const uint8_t* p = image.data() + (i / width) * imageWidth * bytes + (left + i % width) * bytes;
            uint32_t pixel = 0;
            for (int b = 0; b < bytes; ++b)
                pixel |= uint32_t{p[b]} << (format.mostSignificantFirst ? 8 * (bytes - 1 - b) : 8 * b);
            auto channel = [pixel](uint32_t mask) {
                const int shift = __builtin_ctz(mask), top = static_cast<int>(mask >> shift);
                return ((pixel & mask) >> shift) * 255.0 / top;
            };
            const double tolerance = format.bitsPerPixel == 16 ? 4.2 : 0;
            const quorvel::Rgb c = kPalette[i];
            EXPECT_NEAR(channel(format.redMask), c.red, tolerance) << "entry " << i << " pixel " << Hex(pixel);
            EXPECT_NEAR(channel(format.greenMask), c.green, tolerance) << "entry " << i << " pixel " << Hex(pixel);
            EXPECT_NEAR(channel(format.blueMask), c.blue, tolerance) << "entry " << i << " pixel " << Hex(pixel);
        }
        EXPECT_EQ(image[0], 0) << "columns left of the rectangle untouched";
    }
}

// Desktops write Xft.dpi by hand or by tool, so any text may come; anything unusable leaves the drawing as it is.
TEST(X11Scale, XftDpiGivesTheFactorWithinBounds) {
    const struct {
        const char* value;
        double factor;
    } rows[] = {
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
    const struct {
        const char* id;
        quorvel::SliderRange range;
        float defaultValue;
    } expected[] = {{"size", quorvel::kSizeRange, quorvel::kDefaultCrawlerSize},
                    {"length", quorvel::kLengthRange, quorvel::kDefaultCrawlerLength},
                    {"speed", quorvel::kSpeedRange, quorvel::kDefaultCrawlerSpeed}};
    size_t found = 0;
    for (auto it = std::sregex_iterator(xml.begin(), xml.end(), slider); it != std::sregex_iterator(); ++it, ++found) {
        const std::smatch& m = *it;
        ASSERT_LT(found, std::size(expected)) << "a slider too many: " << m[1];
        const auto& e = expected[found];
        EXPECT_EQ(m[1], e.id);
        EXPECT_EQ(std::stoi(m[3]), e.range.min) << e.id;
        EXPECT_EQ(std::stoi(m[4]), e.range.max) << e.id;
        EXPECT_EQ(std::stof(m[5]), e.defaultValue) << e.id;
        const std::string option = m[2], value = m[4];
        const ParsedOptions parsed = Parse({option.c_str(), value.c_str()});
        const quorvel::Settings& s = parsed.options.settings;
        EXPECT_EQ(e.id == std::string("size") ? s.CrawlerSize : e.id == std::string("length") ? s.CrawlerLength
                                                                                          : s.CrawlerSpeed,
                  e.range.max)
            << option << " " << value << " does not reach the " << e.id << " setting";
    }
    EXPECT_EQ(found, std::size(expected));
}
