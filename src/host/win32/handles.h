// Move-only owners for the Win32 handles the window code holds, each released exactly once.
#pragma once

#include <windows.h>

#include <utility>

namespace quorvel::win32 {

// One owned handle of the kind Traits describes: Traits::Handle, and Traits::Release that gives it back.
template <typename Traits>
class UniqueHandle {
public:
    using Handle = typename Traits::Handle;

    UniqueHandle() = default;
    explicit UniqueHandle(Handle handle) : handle_(handle) {}
    ~UniqueHandle() { Reset(); }
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(std::exchange(other.handle_, Handle{})) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) {
            Reset();
            handle_ = std::exchange(other.handle_, Handle{});
        }
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    Handle Get() const { return handle_; }
    explicit operator bool() const { return handle_ != Handle{}; }
    void Reset() {
        if (handle_) Traits::Release(handle_);
        handle_ = Handle{};
    }
    // The handle has been released some other way (a window the system destroyed); drop it without releasing.
    void Forget() { handle_ = Handle{}; }

private:
    Handle handle_{};
};

struct MemoryDcTraits {
    using Handle = HDC;
    static void Release(HDC dc) { DeleteDC(dc); }
};
template <typename GdiHandle>
struct GdiObjectTraits {
    using Handle = GdiHandle;
    static void Release(GdiHandle object) { DeleteObject(object); }
};
struct KernelHandleTraits {
    using Handle = HANDLE;
    static void Release(HANDLE handle) { CloseHandle(handle); }
};
// A window may already have gone with its parent or by its own hand; only a live one is destroyed.
struct WindowTraits {
    using Handle = HWND;
    static void Release(HWND window) {
        if (IsWindow(window)) DestroyWindow(window);
    }
};

using UniqueMemoryDc = UniqueHandle<MemoryDcTraits>;
using UniqueGdiObject = UniqueHandle<GdiObjectTraits<HGDIOBJ>>;
using UniqueBitmap = UniqueHandle<GdiObjectTraits<HBITMAP>>;
using UniqueFont = UniqueHandle<GdiObjectTraits<HFONT>>;
using UniquePen = UniqueHandle<GdiObjectTraits<HPEN>>;
using UniqueKernelHandle = UniqueHandle<KernelHandleTraits>;
using UniqueWindow = UniqueHandle<WindowTraits>;

// Two handles that are given back together (a window and its DC, a DC and the object it held before), exactly
// once; nothing is given back while the second is null.
template <typename Traits>
class UniquePair {
public:
    using First = typename Traits::First;
    using Second = typename Traits::Second;

    UniquePair() = default;
    UniquePair(First first, Second second) : first_(first), second_(second) {}
    ~UniquePair() { Reset(); }
    UniquePair(UniquePair&& other) noexcept
        : first_(std::exchange(other.first_, First{})), second_(std::exchange(other.second_, Second{})) {}
    UniquePair& operator=(UniquePair&& other) noexcept {
        if (this != &other) {
            Reset();
            first_ = std::exchange(other.first_, First{});
            second_ = std::exchange(other.second_, Second{});
        }
        return *this;
    }
    UniquePair(const UniquePair&) = delete;
    UniquePair& operator=(const UniquePair&) = delete;

    explicit operator bool() const { return second_ != Second{}; }
    void Reset() {
        if (second_) Traits::Release(first_, second_);
        first_ = First{};
        second_ = Second{};
    }

protected:
    Second GetSecond() const { return second_; }

private:
    First first_{};
    Second second_{};
};

struct WindowDcTraits {
    using First = HWND;
    using Second = HDC;
    static void Release(HWND window, HDC dc) { ReleaseDC(window, dc); }
};
struct SelectionTraits {
    using First = HDC;
    using Second = HGDIOBJ;  // what the DC held before
    static void Release(HDC dc, HGDIOBJ previous) { SelectObject(dc, previous); }
};

// A window's device context from GetDC, given back with ReleaseDC. A null window means the whole screen.
class WindowDc : public UniquePair<WindowDcTraits> {
public:
    WindowDc() = default;
    explicit WindowDc(HWND window) : UniquePair(window, GetDC(window)) {}

    HDC Get() const { return GetSecond(); }
};

// An object selected into a DC for as long as this lives; the DC's previous object goes back afterwards. It
// converts to true when the selection took place.
class SelectedObject : public UniquePair<SelectionTraits> {
public:
    SelectedObject() = default;
    SelectedObject(HDC dc, HGDIOBJ object) : UniquePair(dc, dc && object ? SelectObject(dc, object) : nullptr) {}

    void Restore() { Reset(); }
};

// A window timer, killed when this goes or when Reset is called.
class WindowTimer {
public:
    WindowTimer() = default;
    WindowTimer(HWND window, UINT_PTR id, UINT intervalMs)
        : window_(window), id_(SetTimer(window, id, intervalMs, nullptr) ? id : 0) {}
    ~WindowTimer() { Reset(); }
    WindowTimer(WindowTimer&& other) noexcept
        : window_(std::exchange(other.window_, nullptr)), id_(std::exchange(other.id_, 0)) {}
    WindowTimer& operator=(WindowTimer&& other) noexcept {
        if (this != &other) {
            // SetTimer with the same window and id has already replaced the old timer: killing it would
            // kill the new one.
            if (window_ != other.window_ || id_ != other.id_) Reset();
            window_ = std::exchange(other.window_, nullptr);
            id_ = std::exchange(other.id_, 0);
        }
        return *this;
    }
    WindowTimer(const WindowTimer&) = delete;
    WindowTimer& operator=(const WindowTimer&) = delete;

    void Reset() {
        if (window_ && id_) KillTimer(window_, id_);
        window_ = nullptr;
        id_ = 0;
    }

private:
    HWND window_ = nullptr;
    UINT_PTR id_ = 0;
};

}  // namespace quorvel::win32
