// Images for presenting, in shared memory or not, and the conversion of each changed rectangle into them.
#include "host/x11/presenter.h"

#include <X11/Xutil.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <algorithm>
#include <cstddef>
#include <cstdlib>

#include "host/x11/x_errors.h"

namespace quorvel::x11 {

Presenter::Presenter(Display* display, Window window, Visual* visual, int depth)
    : display_(display), window_(window), visual_(visual), depth_(depth),
      gc_(XCreateGC(display, window, 0, nullptr)), tryShared_(XShmQueryExtension(display)) {}

Presenter::~Presenter() {
    Release();
    XFreeGC(display_, gc_);
}

bool Presenter::Resize(int width, int height) {
    Release();
    if (width < 1 || height < 1) return false;
    if (!MakeShared(width, height) && !MakePlain(width, height)) return false;
    format_ = {static_cast<uint32_t>(visual_->red_mask), static_cast<uint32_t>(visual_->green_mask),
               static_cast<uint32_t>(visual_->blue_mask), image_->bits_per_pixel, image_->byte_order == MSBFirst};
    if (!Supported(format_)) {
        Release();
        return false;
    }
    table_ = BuildPixelTable(kPalette, format_);
    return true;
}

bool Presenter::MakeShared(int width, int height) {
    if (!tryShared_) return false;
    XImage* image = XShmCreateImage(display_, visual_, static_cast<unsigned>(depth_), ZPixmap, nullptr, &segment_,
                                    static_cast<unsigned>(width), static_cast<unsigned>(height));
    if (!image) return false;
    segment_.shmid = shmget(IPC_PRIVATE, static_cast<size_t>(image->bytes_per_line) * height, IPC_CREAT | 0600);
    void* memory = segment_.shmid < 0 ? reinterpret_cast<void*>(-1) : shmat(segment_.shmid, nullptr, 0);
    if (memory == reinterpret_cast<void*>(-1)) {
        if (segment_.shmid >= 0) shmctl(segment_.shmid, IPC_RMID, nullptr);
        XDestroyImage(image);
        return false;
    }
    segment_.shmaddr = image->data = static_cast<char*>(memory);
    segment_.readOnly = False;
    const uint64_t errorsBefore = ErrorCount();
    Status attached;
    {
        QuietErrors quiet;  // a server on another machine refuses the segment; plain images serve then
        attached = XShmAttach(display_, &segment_);
        XSync(display_, False);
    }
    // Marked for removal at once: it goes with the last detach, even should this process crash.
    shmctl(segment_.shmid, IPC_RMID, nullptr);
    if (!attached || ErrorCount() != errorsBefore) {
        shmdt(segment_.shmaddr);
        image->data = nullptr;
        XDestroyImage(image);
        tryShared_ = false;
        return false;
    }
    image_ = image;
    shared_ = true;
    return true;
}

bool Presenter::MakePlain(int width, int height) {
    XImage* image = XCreateImage(display_, visual_, static_cast<unsigned>(depth_), ZPixmap, 0, nullptr,
                                 static_cast<unsigned>(width), static_cast<unsigned>(height), 32, 0);
    if (!image) return false;
    // XDestroyImage frees the pixels with free().
    image->data = static_cast<char*>(std::malloc(static_cast<size_t>(image->bytes_per_line) * height));
    if (!image->data) {
        XDestroyImage(image);
        return false;
    }
    image_ = image;
    return true;
}

void Presenter::Release() {
    if (!image_) return;
    if (shared_) {
        XShmDetach(display_, &segment_);
        XSync(display_, False);
        shmdt(segment_.shmaddr);
        image_->data = nullptr;
        shared_ = false;
    }
    XDestroyImage(image_);
    image_ = nullptr;
}

void Presenter::Put(const uint8_t* frame, int pitch, std::span<const PresentRect> rects) {
    if (!image_ || !frame) return;
    const int bytesPerPixel = image_->bits_per_pixel / 8;
    bool sent = false;
    for (const PresentRect& r : rects) {
        // The frame is as wide as the window rounded up to four pixels; the image is the window's size.
        const int left = std::max(r.Left, 0), top = std::max(r.Top, 0);
        const int right = std::min(r.Left + r.Width, image_->width), bottom = std::min(r.Top + r.Height, image_->height);
        if (right <= left || bottom <= top) continue;
        const int width = right - left, height = bottom - top;
        ConvertRect(frame + static_cast<ptrdiff_t>(top) * pitch + left, pitch, width, height, table_, format_,
                    reinterpret_cast<uint8_t*>(image_->data) + static_cast<ptrdiff_t>(top) * image_->bytes_per_line +
                        static_cast<ptrdiff_t>(left) * bytesPerPixel,
                    image_->bytes_per_line);
        if (shared_)
            XShmPutImage(display_, window_, gc_, image_, left, top, left, top, static_cast<unsigned>(width),
                         static_cast<unsigned>(height), False);
        else
            XPutImage(display_, window_, gc_, image_, left, top, left, top, static_cast<unsigned>(width),
                      static_cast<unsigned>(height));
        sent = true;
    }
    if (sent && shared_) XSync(display_, False);
    else if (sent) XFlush(display_);
}

}  // namespace quorvel::x11
