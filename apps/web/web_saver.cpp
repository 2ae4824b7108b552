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
    if (pacer_.Remaining(now + kEarlyFrameSeconds) > 0) return false;
    pacer_.FrameStarted(now);
    saver_.Frame();
    saver_.Core().FindChangedArea();
    return true;
}

void WebSaver::Resize(int width, int height, double scale) {
    const Size size = FrameSize(width, height, scale);
    if (size.width == size_.width && size.height == size_.height) return;
    size_ = size;
    saver_.Resize(Box(size_));
    resized_ = true;
}

FrameView WebSaver::Frame() const {
    const Tavrin_C* frame = saver_.Core().Surfaces[3].get();
    if (!frame) return {};
    return {frame->GetPointer(), frame->GetPitch(), size_.width, size_.height, saver_.Core().Changed().Rects()};
}

}  // namespace quorvel::web
