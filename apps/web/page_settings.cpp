// Reading the page's settings within the sliders' ranges.
#include "apps/web/page_settings.h"

#include <optional>

#include "base/numeric.h"
#include "dialog/dialog_layout.h"

namespace quorvel::web {

PageRange RangeOf(PageSetting setting) {
    switch (setting) {
    case PageSetting::Size: return {kSizeRange.min, kSizeRange.max, static_cast<int16_t>(kDefaultCrawlerSize)};
    case PageSetting::Length: return {kLengthRange.min, kLengthRange.max, kDefaultCrawlerLength};
    case PageSetting::Speed: break;
    }
    return {kSpeedRange.min, kSpeedRange.max, static_cast<int16_t>(kDefaultCrawlerSpeed)};
}

int16_t PositionFromText(PageSetting setting, std::string_view text) {
    const PageRange range = RangeOf(setting);
    std::optional<int16_t> position;
    if (setting == PageSetting::Length) position = LengthFromText(text);
    else if (const auto percent = PercentFromText(text)) position = ToInt16(*percent);
    if (!position || *position < range.min || *position > range.max) return range.fallback;
    return *position;
}

Settings SettingsFromPositions(int16_t size, int16_t length, int16_t speed) {
    return {static_cast<float>(size), length, static_cast<float>(speed), kCrawlerTaper};
}

}  // namespace quorvel::web
