// Slider positions, value-label texts and the window position of the settings window's load handler.
#include "dialog/slider_state.h"

#include <algorithm>
#include <charconv>

#include "base/numeric.h"

namespace quorvel {

bool Slider::SetPosition(double value) {
    const std::optional<int16_t> position = ToInt16(value);
    if (!position || *position < range_.min || *position > range_.max) return false;
    position_ = *position;
    return true;
}

std::optional<ScrollRequest> ScrollRequestFromCode(int code) {
    switch (code) {
        case 0: return ScrollRequest::LineLeft;       // SB_LINELEFT
        case 1: return ScrollRequest::LineRight;      // SB_LINERIGHT
        case 2: return ScrollRequest::PageLeft;       // SB_PAGELEFT
        case 3: return ScrollRequest::PageRight;      // SB_PAGERIGHT
        case 4: return ScrollRequest::ThumbPosition;  // SB_THUMBPOSITION
        case 5: return ScrollRequest::ThumbTrack;     // SB_THUMBTRACK
        case 6: return ScrollRequest::ToMin;          // SB_LEFT
        case 7: return ScrollRequest::ToMax;          // SB_RIGHT
        case 8: return ScrollRequest::EndScroll;      // SB_ENDSCROLL
        default: return std::nullopt;
    }
}

ScrollOutcome ApplyScroll(const Slider& slider, ScrollRequest request, int thumbPosition) {
    int target = slider.Position();
    SliderEvent event = SliderEvent::Change;
    switch (request) {
        case ScrollRequest::LineLeft: target -= kSliderSmallChange; break;
        case ScrollRequest::LineRight: target += kSliderSmallChange; break;
        case ScrollRequest::PageLeft: target -= kSliderLargeChange; break;
        case ScrollRequest::PageRight: target += kSliderLargeChange; break;
        case ScrollRequest::ThumbTrack:
            target = thumbPosition;
            event = SliderEvent::Scroll;
            break;
        case ScrollRequest::ThumbPosition: target = thumbPosition; break;
        case ScrollRequest::ToMin: target = slider.Min(); break;
        case ScrollRequest::ToMax: target = slider.Max(); break;
        case ScrollRequest::EndScroll: return ScrollOutcome{slider.Position(), SliderEvent::None};
    }
    const int16_t position = static_cast<int16_t>(std::clamp<int>(target, slider.Min(), slider.Max()));
    // An arrow or page click at the end of the range changes nothing and raises nothing.
    if (event == SliderEvent::Change && position == slider.Position() && request != ScrollRequest::ThumbPosition) {
        event = SliderEvent::None;
    }
    return ScrollOutcome{position, event};
}

DialogSliders SlidersFromSettings(const Settings& settings) {
    DialogSliders sliders;
    sliders.size.SetPosition(settings.CrawlerSize);
    sliders.length.SetPosition(settings.CrawlerLength);
    sliders.speed.SetPosition(settings.CrawlerSpeed);
    return sliders;
}

DialogLabels LabelsFromSettings(const Settings& settings) {
    return DialogLabels{NumberText(settings.CrawlerSize), NumberText(settings.CrawlerLength),
                        NumberText(settings.CrawlerSpeed)};
}

std::string NumberText(float value) {
    char buffer[64];
    const std::to_chars_result result = std::to_chars(buffer, buffer + sizeof buffer, value);
    if (result.ec != std::errc()) return {};
    return std::string(buffer, result.ptr);
}

std::string NumberText(int16_t value) { return std::to_string(value); }

std::wstring WideText(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

WindowPosition CentredWindowPixels(int screenWidth, int screenHeight, int windowWidth, int windowHeight, int dpi) {
    // In twips a third of the free height keeps a fraction of a pixel that a division in pixels would drop.
    const int across = PixelsToTwips(screenWidth, dpi) - PixelsToTwips(windowWidth, dpi);
    const int down = PixelsToTwips(screenHeight, dpi) - PixelsToTwips(windowHeight, dpi);
    return WindowPosition{TwipsToPixels(across / 2, dpi), TwipsToPixels(down / 3, dpi)};
}

WindowPosition CentredOverOwner(const LayoutRect& owner, int windowWidth, int windowHeight, const LayoutRect& workArea) {
    const auto place = [](int start, int length, int size, int areaStart, int areaLength) {
        const int centred = start + (length - size) / 2;
        return std::max(std::min(centred, areaStart + areaLength - size), areaStart);
    };
    return WindowPosition{place(owner.left, owner.width, windowWidth, workArea.left, workArea.width),
                          place(owner.top, owner.height, windowHeight, workArea.top, workArea.height)};
}

}  // namespace quorvel
