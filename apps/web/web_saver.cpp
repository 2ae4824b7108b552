// The page's host for the run loop: the canvas's size taken between frames, and presents noted for the page.
#include "apps/web/web_saver.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "base/display_scale.h"

namespace quorvel::web {
namespace {

// A page zoomed out below a ratio of 1 keeps the crawlers at their own pixel size rather than shrinking them.
float ScaleForRatio(double ratio) { return static_cast<float>(ScaleForDpi(ratio * kBaseDpi)); }

}  // namespace

// The browser paces the animation frames to the display, so every one may bring a frame; the loop draws only
// those that a step fell due by.
WebSaver::WebSaver(const Settings& settings, const Image& cyanSheet, const Image& greenSheet, int width,
                   int height, double ratio)
    : size_{std::max(width, 1), std::max(height, 1), ScaleForRatio(ratio)},
      newSize_(size_),
      saver_(settings, Box(size_), cyanSheet, greenSheet, {}, DrawnBuffers::kVisibleOnly, size_.scale),
      loop_(*this, RunTiming{0.0}, saver_, random_) {}

bool WebSaver::Advance(double now) {
    if (!std::exchange(started_, true)) loop_.Start(now);
    presented_ = false;
    loop_.Service(now);
    return presented_;
}

void WebSaver::Resize(int width, int height, double ratio) {
    newSize_ = {std::max(width, 1), std::max(height, 1), ScaleForRatio(ratio)};
    if (newSize_.width == size_.width && newSize_.height == size_.height && newSize_.scale == size_.scale) return;
    loop_.Resize();
    loop_.Repaint();  // a canvas of a new size is blank: the next refresh brings a frame whether a step is due or not
}

void WebSaver::ApplyResize() {
    size_ = newSize_;
    changed_ = {};  // the rectangles lived in the buffers that go now
    saver_.Resize(Box(size_), {}, size_.scale);
}

void WebSaver::Present(PresentScope scope) {
    changed_ = saver_.FindChanges();
    whole_ = {0, 0, size_.width, size_.height};
    if (scope == PresentScope::kWhole) changed_ = std::span(&whole_, 1);
    presented_ = true;
}

FrameView WebSaver::Frame() const {
    const PixelView frame = saver_.Visible();
    if (!frame.Pixels) return {};
    return {frame.Pixels, frame.Pitch, size_.width, size_.height, changed_};
}

}  // namespace quorvel::web
