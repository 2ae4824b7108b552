// LOGFONTs filled from a FontSpec, and the fonts made from them.
#include "host/win32/font.h"

namespace quorvel::win32 {

LOGFONTW LogFontOf(const FontSpec& spec) {
    LOGFONTW font{};
    font.lfHeight = -spec.pixelHeight;  // negative: the character height, not the cell's
    font.lfWeight = spec.weight;
    font.lfItalic = spec.italic ? TRUE : FALSE;
    font.lfUnderline = spec.underline ? TRUE : FALSE;
    font.lfStrikeOut = spec.strikeOut ? TRUE : FALSE;
    font.lfCharSet = spec.charset;
    font.lfOutPrecision = OUT_DEFAULT_PRECIS;
    font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    font.lfQuality = DEFAULT_QUALITY;
    font.lfPitchAndFamily = spec.pitchAndFamily;
    spec.face.copy(font.lfFaceName, LF_FACESIZE - 1);  // a longer face is cut, leaving room for the terminator
    return font;
}

UniqueFont CreateFontOf(const FontSpec& spec) {
    const LOGFONTW font = LogFontOf(spec);
    return UniqueFont(CreateFontIndirectW(&font));
}

}  // namespace quorvel::win32
