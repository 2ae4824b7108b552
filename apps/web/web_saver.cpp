// Driving the saver from the page's animation frames: the timer every 600 ms and frames paced to 60 a second.
#include "apps/web/web_saver.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace quorvel::web {
namespace {

constexpr double kTimer2Seconds = 0.6;
// Animation frames come at the display's refresh, each a little before or after the pacer's grid; one this
// close to its deadline counts as due, so that a 60 Hz display does not skip every other frame.
constexpr double kEarlyFrameSeconds = 0.004;

}  // namespace

WebSaver::WebSaver(const Settings& settings, const Image& cyanSheet, const Image& greenSheet, int width,
                   int height, double scale)
    : size_(FrameSize(width, height, scale)), saver_(settings, Box(size_), cyanSheet, greenSheet) {}

WebSaver::Size WebSaver::FrameSize(int width, int height, double scale) {
    // A page zoomed out below 1 keeps the crawlers at their own pixel size rather than shrinking them.
    if (!(scale >= 1)) scale = 1;  // NaN too
    const auto across = [scale](int pixels) { return std::max(1, static_cast<int>(std::lround(pixels / scale))); };
    return {across(width), across(height)};
}

bool WebSaver::Advance(double now) {
    if (!started_) {
        started_ = true;
        pacer_.Start(now);
        nextTick_ = now + kTimer2Seconds;
    }
    // New buffers are blank: the canvas gets a frame at once rather than black until the next one falls due.
    if (std::exchange(resized_, false)) pacer_.Start(now);
    if (now >= nextTick_) {
        saver_.Tick(random_);
        nextTick_ = std::max(nextTick_ + kTimer2Seconds, now);
    }
    if (!pacer_.Due(now + kEarlyFrameSeconds)) return false;
    pacer_.Next(now);
    saver_.Frame();
    changed_ = saver_.FindChanges();
    return true;
}

void WebSaver::Resize(int width, int height, double scale) {
    const Size size = FrameSize(width, height, scale);
    if (size.width == size_.width && size.height == size_.height) return;
    size_ = size;
    changed_ = {};  // the rectangles lived in the buffers that go now
    saver_.Resize(Box(size_));
    resized_ = true;
}

FrameView WebSaver::Frame() const {
    const PixelView frame = saver_.Visible();
    if (!frame.Pixels) return {};
    return {frame.Pixels, frame.Pitch, size_.width, size_.height, changed_};
}

}  // namespace quorvel::web
