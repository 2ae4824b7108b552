// The settings window's painting: the shaded bands of the window and of the panel Pic_2, the labels and frames
// drawn over them, all off screen first; and the zoom between the cursor and the window.
#include <string_view>
#include <vector>

#include "apps/windows/settings_dialog_state.h"

namespace quorvel::win32::settings_dialog {
namespace {

// WM_PAINT into an off-screen bitmap the size of the client area, copied out at the end, so that bands and
// labels appear in one step.
class BufferedPaint {
public:
    explicit BufferedPaint(HWND window) : window_(window) {
        target_ = BeginPaint(window_, &paint_);
        GetClientRect(window_, &client_);
        memory_ = UniqueMemoryDc(CreateCompatibleDC(target_));
        if (memory_) bitmap_ = UniqueBitmap(CreateCompatibleBitmap(target_, client_.right, client_.bottom));
        selected_ = SelectedObject(memory_.Get(), bitmap_.Get());
    }
    BufferedPaint(const BufferedPaint&) = delete;
    BufferedPaint& operator=(const BufferedPaint&) = delete;
    ~BufferedPaint() {
        if (selected_) {
            const RECT& r = paint_.rcPaint;
            BitBlt(target_, r.left, r.top, r.right - r.left, r.bottom - r.top, memory_.Get(), r.left, r.top, SRCCOPY);
        }
        selected_.Restore();
        memory_.Reset();
        EndPaint(window_, &paint_);
    }

    // Where to draw: the off-screen bitmap, or the window itself when no bitmap could be had.
    HDC Dc() const { return selected_ ? memory_.Get() : target_; }
    const RECT& Client() const { return client_; }

private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC target_ = nullptr;
    UniqueBitmap bitmap_;
    UniqueMemoryDc memory_;
    SelectedObject selected_;
    RECT client_{};
};

COLORREF ColourOf(ColourRole role) {
    switch (role) {
        case ColourRole::White: return RGB(255, 255, 255);
        case ColourRole::ButtonText: return GetSysColor(COLOR_BTNTEXT);
        case ColourRole::WindowText: return GetSysColor(COLOR_WINDOWTEXT);
        case ColourRole::PanelGrey: return RGB(128, 128, 128);
        case ColourRole::Black:
        case ColourRole::None: break;
    }
    return RGB(0, 0, 0);
}

void PaintBands(HDC dc, const std::vector<BandColour>& rows, int width) {
    SelectedObject brush(dc, GetStockObject(DC_BRUSH));
    size_t row = 0;
    while (row < rows.size()) {
        // Rows of one colour are filled together.
        size_t end = row + 1;
        while (end < rows.size() && rows[end] == rows[row]) ++end;
        SetDCBrushColor(dc, RGB(rows[row].red, rows[row].green, rows[row].blue));
        PatBlt(dc, 0, static_cast<int>(row), width, static_cast<int>(end - row), PATCOPY);
        row = end;
    }
}

void PaintLabel(HDC dc, const DialogWindow& dialog, const ControlSpec& control, std::wstring_view text) {
    if (text.empty()) return;
    const LayoutRect r = RectToPixels(control.twips, dialog.dpi);
    RECT box{r.left, r.top, r.right(), r.bottom()};
    SelectedObject font(dc, control.underlined ? dialog.linkFont.Get() : dialog.labelFont.Get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ColourOf(control.colour));
    UINT format = DT_NOPREFIX | DT_TOP;
    if (control.kind == ControlKind::EndLabel) {
        format |= DT_LEFT | DT_SINGLELINE | DT_NOCLIP;  // these labels are as large as their text
    } else {
        format |= DT_WORDBREAK | (control.align == TextAlign::Centre ? DT_CENTER : DT_LEFT);
    }
    DrawTextW(dc, text.data(), static_cast<int>(text.size()), &box, format);
}

void PaintFrame(HDC dc, const DialogWindow& dialog, const ControlSpec& control) {
    const LayoutRect r = RectToPixels(control.twips, dialog.dpi);
    const UniquePen pen(CreatePen(PS_SOLID, 1, ColourOf(control.colour)));
    SelectedObject selectedPen(dc, pen.Get());
    SelectedObject hollow(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, r.left, r.top, r.right(), r.bottom());
}

RECT ZoomPoint(const DialogWindow& dialog) {
    return RECT{dialog.zoomOriginX, dialog.zoomOriginY, dialog.zoomOriginX, dialog.zoomOriginY};
}

}  // namespace

void PaintWindow(DialogWindow& dialog) {
    BufferedPaint paint(dialog.window);
    PaintBands(paint.Dc(), dialog.windowRows, paint.Client().right);
    const ControlSpec& link = FindControl(ControlId::lbl_URL);
    PaintLabel(paint.Dc(), dialog, link, ControlText(link, *dialog.language));
}

void PaintPanel(DialogWindow& dialog) {
    BufferedPaint paint(dialog.panel);
    PaintBands(paint.Dc(), dialog.panelRows, paint.Client().right);
    for (const ControlSpec& control : DialogControls()) {
        if (control.parent != Parent::Panel) continue;
        switch (control.kind) {
            case ControlKind::Frame: PaintFrame(paint.Dc(), dialog, control); break;
            case ControlKind::Heading:
            case ControlKind::EndLabel:
                PaintLabel(paint.Dc(), dialog, control, ControlText(control, *dialog.language));
                break;
            case ControlKind::ValueLabel: PaintLabel(paint.Dc(), dialog, control, ValueText(dialog, control.id)); break;
            default: break;
        }
    }
}

// The bands are worked out here, at every size; painting only copies them out.
void Form_Resize(DialogWindow& dialog) {
    RECT client{};
    GetClientRect(dialog.window, &client);
    dialog.windowRows = WindowBandRows(client.bottom);
    InvalidateRect(dialog.window, nullptr, FALSE);
    if (dialog.panel) {
        RECT panel{};
        GetClientRect(dialog.panel, &panel);
        dialog.panelRows = PanelBandRows(panel.bottom, dialog.dpi);
        InvalidateRect(dialog.panel, nullptr, FALSE);
    }
}

void ZoomFromCursor(const DialogWindow& dialog, HWND window) {
    const RECT from = ZoomPoint(dialog);
    RECT to{};
    GetWindowRect(window, &to);
    DrawAnimatedRects(window, IDANI_CAPTION, &from, &to);
}

void ZoomToCursor(const DialogWindow& dialog, HWND window) {
    RECT from{};
    GetWindowRect(window, &from);
    const RECT to = ZoomPoint(dialog);
    DrawAnimatedRects(window, IDANI_CAPTION, &from, &to);
}

}  // namespace quorvel::win32::settings_dialog
