// Registration of the program's window classes, described by the few fields they set.
#pragma once

#include <windows.h>

namespace quorvel::win32 {

// A window class: whatever is left out stays empty, as in a zeroed WNDCLASSEX.
struct WindowClass {
    const wchar_t* name = nullptr;
    WNDPROC procedure = nullptr;
    HINSTANCE instance = nullptr;
    UINT style = 0;
    HCURSOR cursor = nullptr;
    HBRUSH background = nullptr;
    HICON icon = nullptr;
    HICON smallIcon = nullptr;  // derived from `icon` when left out
};

// True when the class is registered now or already was (by an earlier window of the same process).
bool RegisterWindowClass(const WindowClass& windowClass);

}  // namespace quorvel::win32
