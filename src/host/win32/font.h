// Fonts described by what the window code chooses (face, height, style, character set); everything else is left
// to the font mapper.
#pragma once

#include <windows.h>

#include <string_view>

#include "host/win32/handles.h"

namespace quorvel::win32 {

struct FontSpec {
    std::wstring_view face;
    int pixelHeight = 0;  // the characters' height without the leading, which is what a point size measures
    int weight = FW_NORMAL;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    BYTE charset = DEFAULT_CHARSET;
    BYTE pitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
};

LOGFONTW LogFontOf(const FontSpec& spec);

// Null when the system cannot make the font.
UniqueFont CreateFontOf(const FontSpec& spec);

}  // namespace quorvel::win32
