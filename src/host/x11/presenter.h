// Sends rectangles of the 8-bit frame to a window in its own pixel format: through an image in shared memory
// (MIT-SHM) when the server can attach it, through an ordinary image sent over the connection otherwise (a
// remote display, or a server without the extension).
#pragma once

#include <X11/Xlib.h>
#include <X11/extensions/XShm.h>

#include <cstdint>
#include <span>

#include "surface/pixel_table.h"
#include "saver/changed_area.h"

namespace quorvel::x11 {

class Presenter {
public:
    Presenter(Display* display, Window window, Visual* visual, int depth);
    ~Presenter();
    Presenter(const Presenter&) = delete;
    Presenter& operator=(const Presenter&) = delete;

    // An image of the window's new size; false, with none, when it cannot be made or its pixels are of a
    // format the converter cannot write.
    bool Resize(int width, int height);
    // Each rectangle of `frame` (pitch bytes a row), cut to the image, converted and sent; then waits until the
    // server has taken them, so the next frame may write the shared image again.
    void Put(const uint8_t* frame, int pitch, std::span<const PresentRect> rects);
    bool Shared() const { return shared_; }

private:
    bool MakeShared(int width, int height);
    bool MakePlain(int width, int height);
    void Release();

    Display* display_;
    Window window_;
    Visual* visual_;
    int depth_;
    GC gc_;
    XImage* image_ = nullptr;
    XShmSegmentInfo segment_{};
    bool shared_ = false;
    bool tryShared_;
    PixelFormat format_;
    PixelTable table_{};
};

}  // namespace quorvel::x11
