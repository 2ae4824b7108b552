// The saver as the page drives it, through the run loop every program shares. A browser cannot be kept waiting:
// the page calls in at each animation frame, and the loop does what has fallen due by then (ticks, steps, at
// most one frame) and returns. Presenting here only notes what changed; the page converts and puts it.
#pragma once

#include <span>

#include "image/bmp_image.h"
#include "saver/changed_area.h"
#include "saver/random_source.h"
#include "saver/run_loop.h"
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

class WebSaver final : public FrameHost {
public:
    // For a canvas of width x height device pixels at `ratio` device pixels to the page's pixel, drawn as on a
    // display scaled that much.
    WebSaver(const Settings& settings, const Image& cyanSheet, const Image& greenSheet, int width, int height,
             double ratio);
    ~WebSaver() { saver_.End(); }
    WebSaver(const WebSaver&) = delete;
    WebSaver& operator=(const WebSaver&) = delete;

    // Whatever is due by `now` (seconds on the page's steady clock); true when a frame was presented.
    bool Advance(double now);
    // The canvas took another size or ratio, taken at the next frame; the crawlers carry on along their paths.
    void Resize(int width, int height, double ratio);
    FrameView Frame() const;

private:
    // The canvas's device pixels and the display scale the saver draws them at.
    struct Size {
        int width, height;
        float scale;
    };
    static PictureBox Box(Size size) { return {nullptr, double(size.width), double(size.height)}; }

    void ApplyResize() override;
    void Present(PresentScope scope) override;

    Size size_, newSize_;
    Saver saver_;
    TimeOfDayRandom random_;
    RunLoop loop_;
    std::span<const PresentRect> changed_;
    PresentRect whole_{};
    bool started_ = false, presented_ = false;
};

}  // namespace quorvel::web
