// Move-only owners for the GDI and window handles the saver window holds, each released exactly once.
#pragma once

#include <windows.h>

#include <utility>

namespace quorvel::win32 {

template <typename Handle, typename Traits>
class UniqueHandle {
public:
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

private:
    Handle handle_{};
};

struct MemoryDcTraits {
    static void Release(HDC dc) { DeleteDC(dc); }
};
struct GdiObjectTraits {
    static void Release(HGDIOBJ object) { DeleteObject(object); }
};
struct KernelHandleTraits {
    static void Release(HANDLE handle) { CloseHandle(handle); }
};

using UniqueMemoryDc = UniqueHandle<HDC, MemoryDcTraits>;
using UniqueBitmap = UniqueHandle<HGDIOBJ, GdiObjectTraits>;
using UniqueKernelHandle = UniqueHandle<HANDLE, KernelHandleTraits>;

// An object selected into a DC for as long as this lives; the DC's previous object goes back afterwards.
class SelectedObject {
public:
    SelectedObject() = default;
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(dc && object ? SelectObject(dc, object) : nullptr) {}
    ~SelectedObject() { Restore(); }
    SelectedObject(SelectedObject&& other) noexcept
        : dc_(std::exchange(other.dc_, nullptr)), previous_(std::exchange(other.previous_, nullptr)) {}
    SelectedObject& operator=(SelectedObject&& other) noexcept {
        if (this != &other) {
            Restore();
            dc_ = std::exchange(other.dc_, nullptr);
            previous_ = std::exchange(other.previous_, nullptr);
        }
        return *this;
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

    void Restore() {
        if (dc_ && previous_) SelectObject(dc_, previous_);
        dc_ = nullptr;
        previous_ = nullptr;
    }

private:
    HDC dc_ = nullptr;
    HGDIOBJ previous_ = nullptr;
};

// A window that is destroyed with its owner unless it has gone already.
class UniqueWindow {
public:
    UniqueWindow() = default;
    explicit UniqueWindow(HWND window) : window_(window) {}
    ~UniqueWindow() { Reset(); }
    UniqueWindow(const UniqueWindow&) = delete;
    UniqueWindow& operator=(const UniqueWindow&) = delete;

    HWND Get() const { return window_; }
    void Adopt(HWND window) {
        Reset();
        window_ = window;
    }
    void Reset() {
        if (window_ && IsWindow(window_)) DestroyWindow(window_);
        window_ = nullptr;
    }
    // The window was destroyed by the system or its own handler; forget it.
    void Forget() { window_ = nullptr; }

private:
    HWND window_ = nullptr;
};

}  // namespace quorvel::win32
