// The one window procedure of every window class: it keeps the object a window serves with the window, from
// WM_NCCREATE on, and hands each message to that object's handler.
#pragma once

#include <windows.h>

#include <functional>

namespace quorvel::win32 {

// The object kept with `window`; null before WM_NCCREATE and from WM_NCDESTROY on.
template <typename Owner>
Owner* OwnerOf(HWND window) {
    return reinterpret_cast<Owner*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

// What a window serves unless its class says otherwise: the last argument given to CreateWindowEx.
template <typename Owner>
Owner* CreationParameter(HWND, const CREATESTRUCTW& create) {
    return static_cast<Owner*>(create.lpCreateParams);
}

// Keeps Attach(window, create)'s object at WM_NCCREATE and then calls Handle(object, window, message, wParam,
// lParam) for every message, WM_NCCREATE included: a member function of Owner or a function taking Owner&. A
// window without its object could not work, so its creation fails. The object is forgotten before WM_NCDESTROY is
// handled, so that the handler may delete it.
template <typename Owner, auto Handle, auto Attach = &CreationParameter<Owner>>
LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        Owner* created = Attach(window, *reinterpret_cast<const CREATESTRUCTW*>(lParam));
        if (!created) return FALSE;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
    }
    Owner* owner = OwnerOf<Owner>(window);
    if (!owner) return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    return std::invoke(Handle, *owner, window, message, wParam, lParam);
}

}  // namespace quorvel::win32
