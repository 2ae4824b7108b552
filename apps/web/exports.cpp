// The module's entry points, called by the page's script: one saver for the page's one canvas, its pixels, and
// the settings' ranges and reading. Sizes are device pixels; times are the page's milliseconds.
#include <emscripten/emscripten.h>

#include <memory>
#include <optional>

#include "apps/web/canvas_pixels.h"
#include "apps/web/embedded_sheets.h"
#include "apps/web/page_settings.h"
#include "apps/web/web_saver.h"

namespace quorvel::web {
namespace {

struct Page {
    Image cyan, green;
    bool sheetsDecoded = false;
    std::unique_ptr<WebSaver> saver;
    CanvasPixels canvas;
};

Page& ThePage() {
    static Page page;
    return page;
}

// The canvas follows the frame's size, which the saver chooses for the device size and pixel ratio.
void FitCanvas(Page& page) {
    const FrameView frame = page.saver->Frame();
    if (frame.width != page.canvas.Width() || frame.height != page.canvas.Height())
        page.canvas.Resize(frame.width, frame.height);
}

}  // namespace
}  // namespace quorvel::web

using namespace quorvel::web;

extern "C" {

// A new saver with these slider positions for a canvas of width x height; false when the sheets it carries do
// not decode.
EMSCRIPTEN_KEEPALIVE int quorvel_start(int width, int height, double ratio, int size, int length, int speed) {
    Page& page = ThePage();
    if (!page.sheetsDecoded)
        page.sheetsDecoded = quorvel::DecodeBmp(kCyanSheetBmp, page.cyan) && quorvel::DecodeBmp(kGreenSheetBmp, page.green);
    if (!page.sheetsDecoded) return 0;
    page.saver.reset();  // its buffers go before the next one's are made
    const quorvel::Settings settings = SettingsFromPositions(static_cast<int16_t>(size), static_cast<int16_t>(length),
                                                             static_cast<int16_t>(speed));
    page.saver = std::make_unique<WebSaver>(settings, page.cyan, page.green, width, height, ratio);
    page.canvas.Resize(0, 0);
    FitCanvas(page);
    return 1;
}

// Taken at the next frame, after which quorvel_width() and quorvel_height() give the canvas's new size.
EMSCRIPTEN_KEEPALIVE void quorvel_resize(int width, int height, double ratio) {
    if (Page& page = ThePage(); page.saver) page.saver->Resize(width, height, ratio);
}

// What is due by `now`; the number of rectangles of quorvel_pixels() to put, 0 when nothing changed.
EMSCRIPTEN_KEEPALIVE int quorvel_frame(double nowMilliseconds) {
    Page& page = ThePage();
    if (!page.saver || !page.saver->Advance(nowMilliseconds / 1000)) return 0;
    FitCanvas(page);
    const FrameView frame = page.saver->Frame();
    return page.canvas.Convert(frame.pixels, frame.pitch, frame.changed);
}

// The whole frame again, for a canvas that lost its pixels; 1 rectangle, or 0 before any frame.
EMSCRIPTEN_KEEPALIVE int quorvel_repaint() {
    Page& page = ThePage();
    if (!page.saver) return 0;
    const FrameView frame = page.saver->Frame();
    const quorvel::PresentRect whole{0, 0, frame.width, frame.height};
    return page.canvas.Convert(frame.pixels, frame.pitch, std::span(&whole, 1));
}

EMSCRIPTEN_KEEPALIVE const uint8_t* quorvel_pixels() { return ThePage().canvas.Data(); }
EMSCRIPTEN_KEEPALIVE int quorvel_width() { return ThePage().canvas.Width(); }
EMSCRIPTEN_KEEPALIVE int quorvel_height() { return ThePage().canvas.Height(); }
EMSCRIPTEN_KEEPALIVE const int32_t* quorvel_rects() { return ThePage().canvas.Rects(); }

// Setting 0 size, 1 length, 2 speed; part 0 the slider's minimum, 1 its maximum, 2 the default.
EMSCRIPTEN_KEEPALIVE int quorvel_range(int setting, int part) {
    const PageRange range = RangeOf(static_cast<PageSetting>(setting));
    return part == 0 ? range.min : part == 1 ? range.max : range.fallback;
}

EMSCRIPTEN_KEEPALIVE int quorvel_setting(int setting, const char* text) {
    return PositionFromText(static_cast<PageSetting>(setting), text ? text : "");
}

}  // extern "C"
