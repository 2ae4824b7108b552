// The page's three settings: the sliders' ranges and defaults, and a setting read from the page's address or
// its stored settings, where anyone may have typed anything.
#pragma once

#include <cstdint>
#include <string_view>

#include "settings/settings.h"

namespace quorvel::web {

enum class PageSetting : int { Size, Length, Speed };

struct PageRange {
    int16_t min, max, fallback;
};

// The dialog's slider range, and the settings file's default.
PageRange RangeOf(PageSetting setting);

// The slider position a text asks for: read as the settings file reads its values (a length by its integer
// part), rounded to a whole position. Text that is not a number, is missing, or falls outside the slider's
// range gives the default, so that a mistyped address shows the saver as it comes.
int16_t PositionFromText(PageSetting setting, std::string_view text);

Settings SettingsFromPositions(int16_t size, int16_t length, int16_t speed);

}  // namespace quorvel::web
