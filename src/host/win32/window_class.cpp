// Window classes registered from their description.
#include "host/win32/window_class.h"

namespace quorvel::win32 {

bool RegisterWindowClass(const WindowClass& windowClass) {
    WNDCLASSEXW description{};
    description.cbSize = sizeof description;
    description.style = windowClass.style;
    description.lpfnWndProc = windowClass.procedure;
    description.hInstance = windowClass.instance;
    description.hIcon = windowClass.icon;
    description.hCursor = windowClass.cursor;
    description.hbrBackground = windowClass.background;
    description.lpszClassName = windowClass.name;
    description.hIconSm = windowClass.smallIcon;
    return RegisterClassExW(&description) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace quorvel::win32
