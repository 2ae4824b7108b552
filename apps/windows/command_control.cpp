// The Command button's window: forwards mouse, focus, size and timer messages to the portable core and shows
// the face it paints (a persistent image) with the caption drawn over it.
#include "apps/windows/command_control.h"

#include <array>
#include <new>
#include <string>
#include <utility>

#include "base/numeric.h"
#include "button/button_face.h"
#include "button/command.h"
#include "apps/windows/button_resources.h"
#include "host/win32/dib.h"
#include "host/win32/dpi.h"
#include "host/win32/font.h"
#include "host/win32/handles.h"
#include "host/win32/window_class.h"
#include "host/win32/window_procedure.h"

namespace quorvel::win32 {
namespace {

static_assert(VK_RETURN == kKeyReturn && VK_SPACE == kKeySpace);

constexpr wchar_t kClassName[] = L"Tavrin.Command";
constexpr UINT_PTR kTmrMouse = 1;

// A memory DC with one bitmap selected for its whole life; the bitmap is released after the DC lets go of it.
class BitmapDc {
public:
    BitmapDc() = default;
    BitmapDc(const BitmapDc&) = delete;
    BitmapDc& operator=(const BitmapDc&) = delete;
    ~BitmapDc() { Reset(); }

    bool Hold(UniqueBitmap bitmap) {
        Reset();
        if (!bitmap) return false;
        dc_ = UniqueMemoryDc(CreateCompatibleDC(nullptr));
        if (!dc_) return false;
        selected_ = SelectedObject(dc_.Get(), bitmap.Get());
        bitmap_ = std::move(bitmap);
        return true;
    }
    void Reset() {
        selected_.Restore();
        dc_.Reset();
        bitmap_.Reset();
    }
    HDC Get() const { return dc_.Get(); }
    plat::Dc Plat() const { return reinterpret_cast<plat::Dc>(dc_.Get()); }

private:
    UniqueBitmap bitmap_;
    UniqueMemoryDc dc_;
    SelectedObject selected_;
};

UniqueBitmap CreateImage(int width, int height) {
    return CreateTopDownDib32(width > 0 ? width : 1, height > 0 ? height : 1);
}

struct CreateParams {
    const wchar_t* caption;
    std::wstring faceName;
    BYTE charset;
};

// One button: the core, its face painter and everything the window owns.
class CommandWindow final : public CommandHost {
public:
    CommandWindow(HWND window, HINSTANCE instance)
        : hwnd_(window), dpi_(DpiForWindow(window)), face_(nullptr, LoadSkins(instance), dpi_), command_(*this, face_) {
        face_.SetRefresh([this] { InvalidateRect(hwnd_, nullptr, FALSE); });
    }

    void Load(const CREATESTRUCTW& create) {
        const auto* params = static_cast<const CreateParams*>(create.lpCreateParams);
        // The host loads the instance from its stored properties: the caption and the face name of its font.
        PropertyBag stored;
        // A default of another type makes the store keep every value it is given.
        const PropertyBag::Value keepAlways = int32_t{0};
        if (params && params->caption) stored.WriteProperty("Caption", std::wstring(params->caption), keepAlways);
        if (params && !params->faceName.empty()) {
            Font font = DefaultCommandFont();
            font.name = params->faceName;
            stored.WriteProperty("Font", font, keepAlways);
        }
        Resize(create.cx, create.cy, /*notify=*/false);
        command_.UserControl_ReadProperties(stored);
        // A caption in another script needs the font's own character set, or the mapper may pick another face.
        if (params && !params->faceName.empty() && params->charset != command_.GetFont().charset) {
            Font font = command_.GetFont();
            font.charset = params->charset;
            command_.SetFont(font);
        }
        command_.UserControl_Resize();
    }

    // Click goes to the parent as a push button's notification would.
    void Command_Click() override {
        const int id = GetDlgCtrlID(hwnd_);
        SendMessageW(GetParent(hwnd_), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(hwnd_));
    }

    void Resize(int width, int height, bool notify = true) {
        if (width == widthPixels_ && height == heightPixels_ && image_.Get()) return;
        widthPixels_ = width;
        heightPixels_ = height;
        image_.Hold(CreateImage(width, height));
        face_.SetTarget(image_.Plat());
        command_.SetSize(PixelsToTwips(width, dpi_), PixelsToTwips(height, dpi_));
        if (notify) command_.UserControl_Resize();
    }

    void Initialize() {
        command_.Initialize();
        if (command_.TmrMouseEnabled())
            tmrMouse_ = WindowTimer(hwnd_, kTmrMouse, static_cast<UINT>(command_.TmrMouseInterval()));
    }

    void StopTimers() { tmrMouse_.Reset(); }

    void TmrMouse_Timer() {
        POINT cursor{};
        if (!GetCursorPos(&cursor)) return;
        const HWND under = WindowFromPoint(cursor);
        PointerOver where = PointerOver::Other;
        if (under == hwnd_)
            where = PointerOver::Own;
        else if (under == GetParent(hwnd_))
            where = PointerOver::Host;
        command_.TmrMouse_Timer(where);
    }

    void MouseDown(int button, WPARAM keys, LPARAM position) {
        // A press brings the focus first, as it does to any control that can hold it.
        if (GetFocus() != hwnd_) SetFocus(hwnd_);
        SetCapture(hwnd_);
        command_.UserControl_MouseDown(button, Shift(keys), TwipsX(position), TwipsY(position));
    }

    void MouseMove(WPARAM keys, LPARAM position) {
        command_.UserControl_MouseMove(Buttons(keys), Shift(keys), TwipsX(position), TwipsY(position));
    }

    void MouseUp(int button, WPARAM keys, LPARAM position) {
        // Capture ends before Click, so that whatever the host does on Click sees a free mouse.
        if ((keys & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) == 0 && GetCapture() == hwnd_) ReleaseCapture();
        command_.UserControl_MouseUp(button, Shift(keys), TwipsX(position), TwipsY(position));
    }

    // A key held down repeats its WM_KEYDOWN; only the first one counts.
    void KeyDown(WPARAM key, LPARAM flags) {
        constexpr LPARAM kWasDown = LPARAM{1} << 30;
        if (!(flags & kWasDown)) command_.UserControl_KeyDown(static_cast<int>(key), KeyShift());
    }
    void KeyUp(WPARAM key) { command_.UserControl_KeyUp(static_cast<int>(key), KeyShift()); }

    Command& Core() { return command_; }

    void Paint(HDC target) {
        if (!image_.Get()) return;
        if (!compose_.Get() || composeWidth_ != widthPixels_ || composeHeight_ != heightPixels_) {
            compose_.Hold(CreateImage(widthPixels_, heightPixels_));
            composeWidth_ = widthPixels_;
            composeHeight_ = heightPixels_;
        }
        HDC dc = compose_.Get() ? compose_.Get() : target;
        if (command_.BackStyle() == kBackStyleOpaque) {
            BitBlt(dc, 0, 0, widthPixels_, heightPixels_, image_.Get(), 0, 0, SRCCOPY);
        } else {
            // Transparent: whatever the parent shows behind the button, then only the caption.
            RECT client{0, 0, widthPixels_, heightPixels_};
            HBRUSH brush = reinterpret_cast<HBRUSH>(GetClassLongPtrW(GetParent(hwnd_), GCLP_HBRBACKGROUND));
            FillRect(dc, &client, brush ? brush : GetSysColorBrush(COLOR_BTNFACE));
        }
        DrawCaption(dc);
        if (dc != target) BitBlt(target, 0, 0, widthPixels_, heightPixels_, dc, 0, 0, SRCCOPY);
    }

private:
    // Each button holds its own six skin pictures, one memory DC apiece; a skin that fails to load paints nothing.
    ButtonFace::Skins LoadSkins(HINSTANCE instance) {
        ButtonFace::Skins skins{};
        for (int i = 0; i < kSkinCount; ++i) {
            skins_[i].Hold(UniqueBitmap(static_cast<HBITMAP>(
                LoadImageW(instance, MAKEINTRESOURCEW(IDB_SKIN_NORMAL + i), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION))));
            skins[i] = skins_[i].Plat();
        }
        return skins;
    }

    static int Shift(WPARAM keys) {
        return ((keys & MK_SHIFT) ? kShiftMask : 0) | ((keys & MK_CONTROL) ? kCtrlMask : 0);
    }
    static int KeyShift() {
        return ((GetKeyState(VK_SHIFT) < 0) ? kShiftMask : 0) | ((GetKeyState(VK_CONTROL) < 0) ? kCtrlMask : 0);
    }
    static int Buttons(WPARAM keys) {
        return ((keys & MK_LBUTTON) ? kLeftButton : 0) | ((keys & MK_RBUTTON) ? kRightButton : 0) |
               ((keys & MK_MBUTTON) ? kMiddleButton : 0);
    }
    float TwipsX(LPARAM position) const { return static_cast<float>(PixelsToTwips(XOf(position), dpi_)); }
    float TwipsY(LPARAM position) const { return static_cast<float>(PixelsToTwips(YOf(position), dpi_)); }
    static int XOf(LPARAM l) { return static_cast<int>(static_cast<short>(LOWORD(l))); }
    static int YOf(LPARAM l) { return static_cast<int>(static_cast<short>(HIWORD(l))); }

    int ToPixels(double twips) const { return TwipsToPixels(ToInt32(twips).value_or(0), dpi_); }

    HFONT CaptionFont() {
        const Font& wanted = command_.Label().font;
        if (!font_ || !(fontOf_ == wanted)) {
            font_ = CreateFontOf({.face = wanted.name,
                                  .pixelHeight = TwipsToPixels(ToInt32(wanted.size * kTwipsPerPoint).value_or(0), dpi_),
                                  .weight = wanted.weight,
                                  .italic = wanted.italic,
                                  .underline = wanted.underline,
                                  .strikeOut = wanted.strikethrough,
                                  .charset = static_cast<BYTE>(wanted.charset)});
            fontOf_ = wanted;
        }
        return font_.Get();
    }

    // The caption label: transparent, centred across its width, drawn greyed when the label is disabled.
    void DrawCaption(HDC dc) {
        const CaptionLabel& label = command_.Label();
        if (label.caption.empty()) return;
        RECT box{ToPixels(label.left), ToPixels(label.top), ToPixels(label.left + label.width),
                 ToPixels(label.top + label.height)};
        const SelectedObject font(dc, CaptionFont());
        const int previousMode = SetBkMode(dc, TRANSPARENT);
        const UINT format = DT_CENTER | DT_TOP | DT_WORDBREAK | DT_NOCLIP;
        auto draw = [&](COLORREF colour, int offset) {
            RECT r = box;
            OffsetRect(&r, offset, offset);
            SetTextColor(dc, colour);
            DrawTextW(dc, label.caption.c_str(), static_cast<int>(label.caption.size()), &r, format);
        };
        if (label.enabled) {
            draw(static_cast<COLORREF>(label.foreColor & 0xFFFFFF), 0);
        } else {
            draw(GetSysColor(COLOR_3DHILIGHT), 1);
            draw(GetSysColor(COLOR_GRAYTEXT), 0);
        }
        SetBkMode(dc, previousMode);
    }

    HWND hwnd_;
    int dpi_;
    std::array<BitmapDc, kSkinCount> skins_;
    BitmapDc image_;  // the persistent image all face painting goes to
    BitmapDc compose_;  // face plus caption, shown in one copy so the caption never flickers
    int widthPixels_ = 0;
    int heightPixels_ = 0;
    int composeWidth_ = 0;
    int composeHeight_ = 0;
    UniqueFont font_;
    Font fontOf_;
    WindowTimer tmrMouse_;
    ButtonFace face_;
    Command command_;

public:
    // The window may be destroyed from inside a handler (a Click that closes the host); the object then
    // outlives the message that was being handled.
    int busy = 0;
    bool destroyed = false;
};

// The mouse button of a WM_xBUTTONDOWN, WM_xBUTTONUP or WM_xBUTTONDBLCLK message: the system numbers the
// left, right and middle buttons' messages in threes.
int ButtonOf(UINT message) {
    constexpr int kButtons[] = {kLeftButton, kRightButton, kMiddleButton};
    return kButtons[(message - WM_LBUTTONDOWN) / 3];
}

LRESULT Dispatch(CommandWindow& self, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE: self.Load(*reinterpret_cast<const CREATESTRUCTW*>(lParam)); return 0;
        case WM_SETFOCUS: self.Core().UserControl_GotFocus(); return 0;
        case WM_KILLFOCUS: self.Core().UserControl_LostFocus(); return 0;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN: self.MouseDown(ButtonOf(message), wParam, lParam); return 0;
        case WM_MOUSEMOVE: self.MouseMove(wParam, lParam); return 0;
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP: self.MouseUp(ButtonOf(message), wParam, lParam); return 0;
        case WM_KEYDOWN: self.KeyDown(wParam, lParam); return 0;
        case WM_KEYUP: self.KeyUp(wParam); return 0;
        case WM_SIZE: self.Resize(LOWORD(lParam), HIWORD(lParam)); return 0;
        case WM_TIMER:
            if (wParam == kTmrMouse) self.TmrMouse_Timer();
            return 0;
        case WM_ERASEBKGND: return 1;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(window, &ps);
            if (dc) self.Paint(dc);
            EndPaint(window, &ps);
            return 0;
        }
        case WM_PRINTCLIENT: self.Paint(reinterpret_cast<HDC>(wParam)); return 0;
        case WM_DESTROY: self.StopTimers(); return 0;
        default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

// Each button window makes its own object, and deletes it once the window is gone and none of its handlers is
// still running.
CommandWindow* NewCommandWindow(HWND window, const CREATESTRUCTW& create) {
    return new (std::nothrow) CommandWindow(window, create.hInstance);
}

LRESULT CommandMessage(CommandWindow& self, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCDESTROY) {
        self.destroyed = true;
        if (self.busy == 0) delete &self;
        return DefWindowProcW(window, message, wParam, lParam);
    }
    ++self.busy;
    const LRESULT result = Dispatch(self, window, message, wParam, lParam);
    if (--self.busy == 0 && self.destroyed) delete &self;
    return result;
}

}  // namespace

bool RegisterCommandClass(HINSTANCE instance) {
    return RegisterWindowClass({.name = kClassName,
                                .procedure = WindowProcedure<CommandWindow, &CommandMessage, &NewCommandWindow>,
                                .instance = instance,
                                .cursor = LoadCursorW(nullptr, IDC_ARROW)});
}

HWND CreateCommand(HWND parent, int id, int x, int y, int width, int height, const wchar_t* caption, HFONT font) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    if (!RegisterCommandClass(instance)) return nullptr;
    CreateParams params{caption, {}, SHIFTJIS_CHARSET};
    LOGFONTW lf{};
    if (font && GetObjectW(font, sizeof lf, &lf) == sizeof lf) {
        params.faceName = lf.lfFaceName;
        params.charset = lf.lfCharSet;
    }
    return CreateWindowExW(0, kClassName, caption ? caption : L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS,
                           x, y, width, height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance,
                           &params);
}

void Command_Initialize(HWND button) {
    if (CommandWindow* self = OwnerOf<CommandWindow>(button)) self->Initialize();
}

void Command_SetEnabled(HWND button, bool enabled) {
    if (CommandWindow* self = OwnerOf<CommandWindow>(button)) self->Core().SetEnabled(enabled);
}

}  // namespace quorvel::win32
