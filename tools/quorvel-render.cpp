// Runs the saver without Windows: the saver core on the in-memory platform, the sprite sheets from assets/,
// a fixed random seed, and the timer ticking every so many frames; writes what the display shows as PNG or BMP.
//
// Usage: quorvel-render [options]
//   --width W --height H      display size (default 1024 x 768)
//   --frames N                frames to run (default 600)
//   --size S --length L --speed V   the settings, in the settings file's units (defaults 75, 100, 100)
//   --seed K                  random seed for the timer's targets (default 1)
//   --tick-frames T           frames between timer ticks; 36 is 600 ms at 60 Hz (default 36, 0 = never)
//   --refresh HZ              the display's refresh rate: frames come 60/HZ units apart, steps one (default 60)
//   --fixed-targets           no timer ticks: both heads keep circling the display's centre
//   --turn-rate R             start (and target) turn rate in radians per frame (default 0.01)
//   --target1 X,Y --target2 X,Y   where crawler 1 and 2 steer to, instead of the display's centre
//   --every K                 also write every K-th frame, as <out>_<frame>.<ext>
//   --out FILE                the picture of the last frame (default render.png)
//   --bmp                     write 24-bit BMP instead of PNG
//   --yellow-green            recolour the crawlers to yellow-green (the preview still's look)
//   --downscale F             average F x F pixel blocks into one (a smooth still from a larger rendering)
//   --sheets DIR              folder holding sheet_cyan.bmp and sheet_green.bmp (default: the project's assets)
//   --stats                   print what presenting copied: pixels a frame, against two whole buffers
// Every frame is presented as the saver does it, copying only what changed, by the saver's own run loop on a
// clock that counts frames.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <optional>
#include <string>

#include "image/assets.h"
#include "image/image_file.h"
#include "seam/portable/test_hooks.h"
#include "saver/run_loop.h"

namespace {

struct Options {
    int width = 1024;
    int height = 768;
    int frames = 600;  // frames presented: one for each step
    quorvel::Settings settings{quorvel::kDefaultCrawlerSize, quorvel::kDefaultCrawlerLength,
                               quorvel::kDefaultCrawlerSpeed, quorvel::kCrawlerTaper};
    unsigned seed = 1;
    int tickFrames = 36;
    int refreshHz = 60;
    bool fixedTargets = false;
    float turnRate = quorvel::kStartTurnRate;
    int target[2][2] = {{-1, -1}, {-1, -1}};
    int every = 0;
    std::string out = "render.png";
    bool bmp = false;
    bool yellowGreen = false;
    bool stats = false;
    int downscale = 1;
    std::string sheets = quorvel::AssetFolder();
};

bool Parse(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto value = [&]() -> const char* { return i + 1 < argc ? argv[++i] : nullptr; };
        const char* v = nullptr;
        if (a == "--fixed-targets")
            o.fixedTargets = true;
        else if (a == "--bmp")
            o.bmp = true;
        else if (a == "--yellow-green")
            o.yellowGreen = true;
        else if (a == "--stats")
            o.stats = true;
        else if (!(v = value()))
            return false;
        else if (a == "--width")
            o.width = std::atoi(v);
        else if (a == "--height")
            o.height = std::atoi(v);
        else if (a == "--frames")
            o.frames = std::atoi(v);
        else if (a == "--size")
            o.settings.CrawlerSize = std::strtof(v, nullptr);
        else if (a == "--length")
            o.settings.CrawlerLength = static_cast<int16_t>(std::clamp(std::atoi(v), -32768, 32767));
        else if (a == "--speed")
            o.settings.CrawlerSpeed = std::strtof(v, nullptr);
        else if (a == "--seed")
            o.seed = static_cast<unsigned>(std::strtoul(v, nullptr, 10));
        else if (a == "--refresh")
            o.refreshHz = std::atoi(v);
        else if (a == "--tick-frames")
            o.tickFrames = std::atoi(v);
        else if (a == "--turn-rate")
            o.turnRate = std::strtof(v, nullptr);
        else if (a == "--target1" || a == "--target2") {
            int* t = o.target[a == "--target1" ? 0 : 1];
            if (std::sscanf(v, "%d,%d", &t[0], &t[1]) != 2) return false;
        } else if (a == "--every")
            o.every = std::atoi(v);
        else if (a == "--out")
            o.out = v;
        else if (a == "--downscale")
            o.downscale = std::max(1, std::atoi(v));
        else if (a == "--sheets")
            o.sheets = v;
        else
            return false;
    }
    return o.width > 0 && o.height > 0 && o.width <= 16384 && o.height <= 16384 && o.frames >= 0 &&
           o.downscale <= std::min(o.width, o.height);
}

// The green sheet's hues turned toward yellow: the still shows the crawlers in a warmer green than the screen.
uint32_t YellowGreen(uint32_t rgb) {
    const int r = (rgb >> 16) & 0xFF, g = (rgb >> 8) & 0xFF, b = rgb & 0xFF;
    if (rgb == 0 || (r == g && g == b) || (r > 200 && g > 200)) return rgb;  // black, greys, white, highlights
    const double level = std::max({r, g, b}) / 255.0;
    const int nr = static_cast<int>(std::lround(std::min(255.0, level * 200 + r * 0.2)));
    const int ng = static_cast<int>(std::lround(std::min(255.0, level * 235)));
    const int nb = static_cast<int>(std::lround(b * 0.25));
    return (uint32_t(nr) << 16) | (uint32_t(ng) << 8) | uint32_t(nb);
}

quorvel::Image Capture(plat::Dc display, const Options& o) {
    quorvel::Image image(o.width, o.height);
    for (int y = 0; y < o.height; ++y)
        for (int x = 0; x < o.width; ++x) {
            const uint32_t rgb = plat::memory::PixelRgb(display, x, y);
            image.At(x, y) = o.yellowGreen ? YellowGreen(rgb) : rgb;
        }
    if (o.downscale <= 1) return image;
    const int f = o.downscale;
    quorvel::Image small(o.width / f, o.height / f);
    for (int y = 0; y < small.height; ++y)
        for (int x = 0; x < small.width; ++x) {
            // A block can hold 16384^2 pixels, whose channel sums overflow 32 bits.
            int64_t sum[3] = {0, 0, 0};
            for (int j = 0; j < f; ++j)
                for (int i = 0; i < f; ++i) {
                    const uint32_t c = image.At(x * f + i, y * f + j);
                    sum[0] += (c >> 16) & 0xFF;
                    sum[1] += (c >> 8) & 0xFF;
                    sum[2] += c & 0xFF;
                }
            const int64_t n = int64_t{f} * f;
            small.At(x, y) = (uint32_t((sum[0] + n / 2) / n) << 16) | (uint32_t((sum[1] + n / 2) / n) << 8) |
                             uint32_t((sum[2] + n / 2) / n);
        }
    return small;
}

bool Write(const std::string& path, const quorvel::Image& image, bool bmp) {
    return bmp ? quorvel::WriteBmp24(path, image) : quorvel::WritePng(path, image);
}

std::string FramePath(const std::string& out, int frame) {
    const auto dot = out.find_last_of('.');
    const std::string stem = dot == std::string::npos ? out : out.substr(0, dot);
    const std::string ext = dot == std::string::npos ? "" : out.substr(dot);
    char number[16];
    std::snprintf(number, sizeof number, "_%05d", frame);
    return stem + number + ext;
}

// Where --target1 or --target2 sends a crawler, when given.
std::optional<quorvel::ScreenPoint> TargetOf(const Options& o, int crawler) {
    const int* target = o.target[crawler];
    if (target[0] < 0) return std::nullopt;
    return quorvel::ScreenPoint{static_cast<int16_t>(target[0]), static_cast<int16_t>(target[1])};
}

// The saver run by the run loop on a clock whose unit is a step (a frame at 60 Hz): each wait jumps to its deadline, so frames come
// one unit apart and the timer ticks between frame T and frame T + 1 for every multiple T of --tick-frames.
class Render final : public quorvel::RunHost {
public:
    Render(const Options& o, const quorvel::Image& cyan, const quorvel::Image& green)
        : o_(o), display_{plat::memory::CreateWindowDC(o.width, o.height), double(o.width), double(o.height)},
          saver_(o.settings, display_, cyan, green), random_(o.seed), loop_(*this, Timing(o), saver_, random_) {
        for (int crawler = 0; crawler < 2; ++crawler) saver_.SetCourse(crawler, o.turnRate, TargetOf(o, crawler));
    }

    // False when a picture could not be written.
    bool Run() {
        if (o_.frames == 0) loop_.End();
        loop_.Run();
        return ok_;
    }
    plat::Dc Display() const { return display_.dc; }

    double Now() override { return now_; }
    void WaitUntil(double deadline) override { now_ = std::max(now_, deadline); }
    void ApplyResize() override {}
    void Present(quorvel::PresentScope scope) override {
        saver_.Present(scope);
        ++frame_;
        const bool last = frame_ == o_.frames;
        const bool sampled = o_.every > 0 && frame_ % o_.every == 0;
        if (last || sampled) {
            const quorvel::Image image = Capture(display_.dc, o_);
            if (sampled) ok_ = Write(FramePath(o_.out, frame_), image, o_.bmp) && ok_;
            if (last) ok_ = Write(o_.out, image, o_.bmp) && ok_;
        }
        if (last) loop_.End();
    }

private:
    static quorvel::RunTiming Timing(const Options& o) {
        const bool ticks = !o.fixedTargets && o.tickFrames > 0;
        return {60.0 / quorvel::PacingRate(o.refreshHz),
                ticks ? double(o.tickFrames) : std::numeric_limits<double>::infinity(), 1.0};
    }

    const Options& o_;
    quorvel::PictureBox display_;
    quorvel::Saver saver_;
    quorvel::SeededRandom random_;
    quorvel::RunLoop loop_;
    double now_ = 0;
    int frame_ = 0;
    bool ok_ = true;
};

}  // namespace

int main(int argc, char** argv) {
    Options o;
    if (!Parse(argc, argv, o)) {
        std::fprintf(stderr,
                     "usage: quorvel-render [--width W] [--height H] [--frames N] [--size S] [--length L] "
                     "[--speed V] [--seed K] [--tick-frames T] [--refresh HZ] [--fixed-targets] [--turn-rate R] "
                     "[--target1 X,Y] [--target2 X,Y] [--every K] [--out FILE] [--bmp] [--yellow-green] [--downscale "
                     "F] [--sheets DIR] [--stats]\n");
        return 2;
    }
    quorvel::Image cyan, green;
    if (!quorvel::ReadBmp(o.sheets + "/sheet_cyan.bmp", cyan) ||
        !quorvel::ReadBmp(o.sheets + "/sheet_green.bmp", green)) {
        std::fprintf(stderr, "quorvel-render: cannot read the sprite sheets in %s\n", o.sheets.c_str());
        return 1;
    }
    Render render(o, cyan, green);
    const bool ok = render.Run();
    if (o.stats && o.frames > 0) {
        const double perFrame = double(plat::memory::BlittedPixels(render.Display())) / o.frames;
        const double whole = 2.0 * o.width * o.height;
        std::printf("presented %.0f pixels a frame: %.2f%% of two whole buffers (%.0f)\n", perFrame,
                    100 * perFrame / whole, whole);
    }
    if (!ok) std::fprintf(stderr, "quorvel-render: could not write %s\n", o.out.c_str());
    return ok ? 0 : 1;
}
