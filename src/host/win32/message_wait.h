// Waiting for the next frame without keeping a window's messages waiting: the sleep of the run loop on Windows,
// shared by the saver window and the presenting floor.
#pragma once

#include <windows.h>

#include <cmath>
#include <optional>

#include "host/win32/frame_clock.h"
#include "host/win32/handles.h"

// Windows 10 1803's flag for a waitable timer that keeps sub-millisecond time; older headers lack the name.
#ifndef CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
#define CREATE_WAITABLE_TIMER_HIGH_RESOLUTION 0x00000002
#endif

namespace quorvel::win32 {

// A high-resolution waitable timer where the system has one, so a 16.7 ms wait does not round up to 31 ms;
// a plain timed wait otherwise.
class FrameWait {
public:
    FrameWait()
        : timer_(CreateWaitableTimerExW(nullptr, nullptr, CREATE_WAITABLE_TIMER_HIGH_RESOLUTION, TIMER_ALL_ACCESS)) {
        if (!timer_) timer_ = UniqueKernelHandle(CreateWaitableTimerW(nullptr, FALSE, nullptr));
    }

    // Sleeps until `deadline` (seconds on Now()) or until a message comes for this thread; returns at once when
    // the deadline has passed.
    void Until(double deadline) {
        const double remaining = deadline - Now();
        if (remaining <= 0) return;
        if (!timer_) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(std::ceil(remaining * 1000)), QS_ALLINPUT);
            return;
        }
        LARGE_INTEGER due;
        due.QuadPart = -static_cast<LONGLONG>(std::ceil(remaining * 1e7));  // relative, 100 ns units
        SetWaitableTimer(timer_.Get(), &due, 0, nullptr, nullptr, FALSE);
        HANDLE timer = timer_.Get();
        MsgWaitForMultipleObjects(1, &timer, FALSE, INFINITE, QS_ALLINPUT);
    }

private:
    UniqueKernelHandle timer_;
};

// Dispatches every message waiting for this thread. At WM_QUIT it stops, leaving the rest, and returns the
// exit code the quit request carries.
inline std::optional<int> DispatchPending() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) return static_cast<int>(message.wParam);
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return std::nullopt;
}

}  // namespace quorvel::win32
