// The saver as the page drives it. A browser cannot be kept waiting: the page calls in once per animation
// frame, and each call does what has fallen due by then (timer ticks, at most one frame) and returns. This is
// the one place that drives the saver; everything else of the page only presents what it drew.
#pragma once

#include <span>

#include "image/bmp_image.h"
#include "saver/changed_area.h"
#include "saver/frame_pacer.h"
#include "saver/random_source.h"
#include "saver/saver.h"
#include "settings/settings.h"

namespace quorvel::web {

// The buffer that stays on the screen (the one drawn from the green sheet) and what changed in it.
struct FrameView {
    const uint8_t* pixels = nullptr;
    int pitch = 0;
    int width = 0, height = 0;
    std::span<const PresentRect> changed;
};

class WebSaver {
public:
    // For a canvas of width x height device pixels at `scale` device pixels to the page's pixel.
    WebSaver(const Settings& settings, const Image& cyanSheet, const Image& greenSheet, int width, int height,
             double scale);
    ~WebSaver() { saver_.End(); }
    WebSaver(const WebSaver&) = delete;
    WebSaver& operator=(const WebSaver&) = delete;

    // Whatever is due by `now` (seconds on the page's steady clock); true when a frame was drawn.
    bool Advance(double now);
    // The canvas took another size or scale; the crawlers carry on along their paths.
    void Resize(int width, int height, double scale);
    FrameView Frame() const;

private:
    struct Size {
        int width, height;
    };
    // The frame buffers' size for the canvas: the saver draws at the page's pixels and the canvas is shown
    // magnified by the scale, until the core draws magnified itself.
    static Size FrameSize(int width, int height, double scale);
    static PictureBox Box(Size size) { return {nullptr, double(size.width), double(size.height)}; }

    Size size_;
    Saver saver_;
    FramePacer pacer_ = FramePacer::ForRefresh(kFallbackRefreshHz);
    std::span<const PresentRect> changed_;
    TimeOfDayRandom random_;
    bool started_ = false;
    bool resized_ = false;
    double nextTick_ = 0;
};

}  // namespace quorvel::web
