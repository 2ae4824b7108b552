// The preview form Tavrin_R with its picture Img_Prev: one still, 1:1 from the top-left corner on
// black, inside the host's preview window. No timer, no input handling, no settings.
#include "apps/windows/preview_window.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>

#include "host/win32/dib.h"
#include "host/win32/handles.h"
#include "host/win32/resource_picture.h"
#include "host/win32/window_class.h"
#include "host/win32/window_procedure.h"

namespace quorvel::win32 {
namespace {

constexpr wchar_t kFormClass[] = L"Tavrin_R";
constexpr wchar_t kFormCaption[] = L"Preview Window";
// How often the host is looked at, so that a preview never outlives the window it sits in.
constexpr DWORD kHostCheckMs = 250;
// Larger stills than this are not ours; the limit keeps every size computation small.
constexpr int kMaxStillSide = 4096;

// The still, unpacked from its BMP resource into a DIB section that GDI copies 1:1.
struct Still {
    UniqueBitmap bitmap;
    int width = 0;
    int height = 0;
};

// The still as a top-down 32-bit DIB section: the decoded picture's pixels are already in that layout.
Still LoadStill(HINSTANCE module) {
    Still still;
    Image picture;
    if (!LoadPictureResource(module, IDR_PREVIEW_STILL, picture) || picture.width > kMaxStillSide ||
        picture.height > kMaxStillSide)
        return still;
    void* bits = nullptr;
    UniqueBitmap bitmap = CreateTopDownDib32(picture.width, picture.height, &bits);
    if (!bitmap || !bits) return still;
    std::memcpy(bits, picture.pixels.data(), picture.pixels.size() * sizeof(uint32_t));
    GdiFlush();
    still.bitmap = std::move(bitmap);
    still.width = picture.width;
    still.height = picture.height;
    return still;
}

struct PreviewForm {
    HWND host = nullptr;
    Still still;
    SIZE image{};  // Img_Prev: at 0,0 with the host's size in pixels
};

// Img_Prev without stretching: the part of the still that fits, the rest of the form black.
void PaintForm(HWND form, HDC dc, const PreviewForm& state) {
    RECT client;
    GetClientRect(form, &client);
    const int shownWidth = std::min<LONG>(state.still.width, state.image.cx);
    const int shownHeight = std::min<LONG>(state.still.height, state.image.cy);
    const int saved = SaveDC(dc);
    if (state.still.bitmap && shownWidth > 0 && shownHeight > 0) {
        const UniqueMemoryDc source(CreateCompatibleDC(dc));
        if (source) {
            const SelectedObject still(source.Get(), state.still.bitmap.Get());
            BitBlt(dc, 0, 0, shownWidth, shownHeight, source.Get(), 0, 0, SRCCOPY);
            ExcludeClipRect(dc, 0, 0, shownWidth, shownHeight);
        }
    }
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    RestoreDC(dc, saved);
}

// Form_Unload: ask the form's owner to close, then leave preview mode.
void Form_Unload(HWND form) {
    if (HWND owner = GetWindow(form, GW_OWNER)) PostMessageW(owner, WM_CLOSE, 0, 0);
    PostQuitMessage(0);
}

LRESULT FormMessage(PreviewForm& state, HWND form, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ERASEBKGND:
            return 1;  // painting covers every pixel
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(form, &paint);
            PaintForm(form, dc, state);
            EndPaint(form, &paint);
            return 0;
        }
        case WM_PRINTCLIENT:
            PaintForm(form, reinterpret_cast<HDC>(wParam), state);
            return 0;
        case WM_DESTROY:
            Form_Unload(form);
            return 0;
        default:
            break;
    }
    return DefWindowProcW(form, message, wParam, lParam);
}

// Runs until the form is unloaded. A host destroyed together with the form ends it through
// WM_DESTROY; a host that vanishes any other way is noticed between messages.
void RunFormLoop(UniqueWindow& form, HWND host) {
    for (;;) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) return;
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        if (!IsWindow(form.Get())) return;
        if (!IsWindow(host)) {
            form.Reset();  // runs Form_Unload, whose quit message ends the loop
            continue;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, kHostCheckMs, QS_ALLINPUT);
    }
}

}  // namespace

void RunPreview(HINSTANCE instance, HWND host) {
    if (!host || !IsWindow(host)) return;  // a handle naming no window: nothing to show the still in

    RegisterWindowClass({.name = kFormClass,
                         .procedure = WindowProcedure<PreviewForm, &FormMessage>,
                         .instance = instance,
                         .cursor = LoadCursorW(nullptr, IDC_ARROW),
                         .background = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))});

    PreviewForm state;
    state.host = host;
    state.still = LoadStill(instance);
    RECT hostClient{};
    GetClientRect(host, &hostClient);
    state.image = {hostClient.right - hostClient.left, hostClient.bottom - hostClient.top};

    // Created as the host's child straight away; WS_EX_NOPARENTNOTIFY spares the host (usually in
    // another process) a notification it has no use for.
    UniqueWindow form(CreateWindowExW(WS_EX_NOPARENTNOTIFY, kFormClass, kFormCaption, WS_CHILD | WS_CLIPSIBLINGS, 0, 0,
                                      state.image.cx, state.image.cy, host, nullptr, instance, &state));
    if (!form) return;
    ShowWindow(form.Get(), SW_SHOWNA);
    UpdateWindow(form.Get());
    RunFormLoop(form, host);
    form.Reset();  // the window goes before its class does
    UnregisterClassW(kFormClass, instance);
}

}  // namespace quorvel::win32
