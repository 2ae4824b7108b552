// The settings window's words in the user's language, and the font that shows them: for Japanese the design face
// when it is installed and has every glyph the texts need, otherwise the first Japanese proportional Gothic that
// does; for the other languages the face of the system's message font. Both at the design's size.
#include <string>
#include <string_view>
#include <vector>

#include "apps/windows/settings_dialog_state.h"
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
std::wstring WindowCharacters(const DialogLanguage& language) {
    std::wstring text(language.Text(TextId::WindowTitle));
    for (const ControlSpec& control : DialogControls()) text += ControlText(control, language);
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

FontSpec LabelFont(int dpi, std::wstring_view face, BYTE charset) {
    return {.face = face,
            .pixelHeight = DialogFontPixelHeight(dpi),
            .charset = charset,
            .pitchAndFamily = VARIABLE_PITCH | FF_SWISS};
}

// The design face when it is there and can show the texts, otherwise the first installed Japanese
// proportional Gothic that can.
std::wstring ChooseJapaneseFace(const DialogLanguage& language, int dpi) {
    const WindowDc screen(nullptr);
    const std::wstring characters = WindowCharacters(language);
    for (std::wstring_view face : kDialogFontFallbacks) {
        if (!FaceInstalled(screen.Get(), face)) continue;
        const UniqueFont font = CreateFontOf(LabelFont(dpi, face, SHIFTJIS_CHARSET));
        if (font && FaceHasGlyphs(screen.Get(), font.Get(), characters)) return std::wstring(face);
    }
    // Nothing suitable found by name: leave the choice to the font mapper, which honours the character set.
    return std::wstring(kDialogFontFace);
}

std::wstring MessageFontFace() {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
        return metrics.lfMessageFont.lfFaceName;
    return L"MS Shell Dlg";  // the name every Windows maps to its dialog face
}

}  // namespace

UniqueFont CreateDialogFont(const DialogLanguage& language, int dpi) {
    if (language.font == DialogFont::JapaneseGothic)
        return CreateFontOf(LabelFont(dpi, ChooseJapaneseFace(language, dpi), SHIFTJIS_CHARSET));
    return CreateFontOf(LabelFont(dpi, MessageFontFace(), DEFAULT_CHARSET));
}

void CreateFonts(DialogWindow& dialog) {
    dialog.labelFont = CreateDialogFont(*dialog.language, dialog.dpi);
    // The link's font is the labels' own, underlined.
    LOGFONTW link{};
    if (GetObjectW(dialog.labelFont.Get(), sizeof link, &link) != sizeof link) return;
    link.lfUnderline = TRUE;
    dialog.linkFont = UniqueFont(CreateFontIndirectW(&link));
}

}  // namespace quorvel::win32::settings_dialog
