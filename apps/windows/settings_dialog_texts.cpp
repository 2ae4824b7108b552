// The settings window's words and the font that shows them: the design face when it is installed and has every
// glyph the texts need, otherwise the first Japanese proportional Gothic that does.
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "apps/windows/settings_dialog_state.h"
#include "apps/windows/window_titles.h"
#include "host/win32/font.h"

namespace quorvel::win32::settings_dialog {
namespace {

int CALLBACK NoteFaceFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

bool FaceInstalled(HDC dc, std::wstring_view face) {
    LOGFONTW query{};
    query.lfCharSet = DEFAULT_CHARSET;
    face.copy(query.lfFaceName, LF_FACESIZE - 1);
    bool found = false;
    EnumFontFamiliesExW(dc, &query, NoteFaceFound, reinterpret_cast<LPARAM>(&found), 0);
    return found;
}

// Every character the window writes with its font, to check that a face has glyphs for them.
std::wstring DialogCharacters() {
    std::wstring text(kSettingsWindowTitle);
    for (const ControlSpec& control : DialogControls()) text += control.text;
    return text;
}

bool FaceHasGlyphs(HDC dc, HFONT font, const std::wstring& text) {
    SelectedObject selected(dc, font);
    std::vector<WORD> glyphs(text.size());
    if (GetGlyphIndicesW(dc, text.c_str(), static_cast<int>(text.size()), glyphs.data(), GGI_MARK_NONEXISTING_GLYPHS) ==
        GDI_ERROR) {
        return false;
    }
    constexpr WORD kMissingGlyph = 0xFFFF;  // what GGI_MARK_NONEXISTING_GLYPHS puts in place of a missing glyph
    for (WORD glyph : glyphs) {
        if (glyph == kMissingGlyph) return false;
    }
    return true;
}

FontSpec DialogFont(int dpi, std::wstring_view face, bool underlined) {
    return {.face = face,
            .pixelHeight = DialogFontPixelHeight(dpi),
            .underline = underlined,
            .charset = SHIFTJIS_CHARSET,
            .pitchAndFamily = VARIABLE_PITCH | FF_SWISS};
}

// The design face when it is there and can show the texts, otherwise the first installed Japanese
// proportional Gothic that can.
std::wstring ChooseDialogFace(int dpi) {
    const WindowDc screen(nullptr);
    const std::wstring characters = DialogCharacters();
    for (std::wstring_view face : kDialogFontFallbacks) {
        if (!FaceInstalled(screen.Get(), face)) continue;
        const UniqueFont font = CreateFontOf(DialogFont(dpi, face, false));
        if (font && FaceHasGlyphs(screen.Get(), font.Get(), characters)) return std::wstring(face);
    }
    // Nothing suitable found by name: leave the choice to the font mapper, which honours the character set.
    return std::wstring(kDialogFontFace);
}

}  // namespace

void CreateFonts(DialogWindow& dialog) {
    const std::wstring face = ChooseDialogFace(dialog.dpi);
    dialog.labelFont = CreateFontOf(DialogFont(dialog.dpi, face, false));
    dialog.linkFont = CreateFontOf(DialogFont(dialog.dpi, face, true));
}

std::wstring LoadText(HINSTANCE instance, UINT id) {
    wchar_t buffer[512] = {};  // room for any message of the string table
    const int length = LoadStringW(instance, id, buffer, static_cast<int>(std::size(buffer)));
    return std::wstring(buffer, length > 0 ? static_cast<size_t>(length) : 0);
}

}  // namespace quorvel::win32::settings_dialog
