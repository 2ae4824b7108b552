// The settings window's sliders: their ranges and steps, how the load handler fills them from the settings,
// the value labels' texts, and how scroll requests move them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "dialog/dialog_layout.h"
#include "settings/settings.h"

namespace quorvel {

class Slider {
public:
    explicit Slider(SliderRange range) : range_(range), position_(range.designPosition) {}

    int16_t Min() const { return range_.min; }
    int16_t Max() const { return range_.max; }
    int16_t Position() const { return position_; }

    // Like setting a scroll bar's value: a value outside the range is refused and the position stays.
    bool SetPosition(double value);

private:
    SliderRange range_;
    int16_t position_;
};

// What the user asked the scroll bar to do.
enum class ScrollRequest : uint8_t {
    LineLeft,
    LineRight,
    PageLeft,
    PageRight,
    ThumbTrack,     // the thumb is being dragged
    ThumbPosition,  // the thumb was let go
    ToMin,
    ToMax,
    EndScroll,
};

// The request a horizontal scroll bar's notification code stands for (the SB_ codes 0 to 8 of WM_HSCROLL);
// empty for any other code.
std::optional<ScrollRequest> ScrollRequestFromCode(int code);

// Which handler the request raises: Change after a position has been set, Scroll while dragging.
enum class SliderEvent : uint8_t { None, Change, Scroll };

struct ScrollOutcome {
    int16_t position;
    SliderEvent event;
};

// The slider's new position for a request, clamped to its range; thumbPosition is used by the thumb requests.
ScrollOutcome ApplyScroll(const Slider& slider, ScrollRequest request, int thumbPosition);

struct DialogSliders {
    Slider size{kSizeRange};
    Slider length{kLengthRange};
    Slider speed{kSpeedRange};
};

// The load handler's slider step: each setting rounded to the nearest integer (ties to even) and given to its
// slider; one that does not convert to 16 bits or lies outside the range leaves the design position.
DialogSliders SlidersFromSettings(const Settings& settings);

// The value labels' texts at load: the settings' own numbers, shortest decimal text, no leading blank.
struct DialogLabels {
    std::string size;
    std::string length;
    std::string speed;
};
DialogLabels LabelsFromSettings(const Settings& settings);

// Shortest decimal text that reads back as the same float: 75.5 -> "75.5", 75 -> "75".
std::string NumberText(float value);
std::string NumberText(int16_t value);
// The same for a label: the text widened character by character (it is plain ASCII).
std::wstring WideText(const std::string& ascii);

// The window's top-left corner for the load handler, in pixels: (screen - window) \ 2 across and \ 3 down,
// worked in twips as the form's own coordinates are, the divisions truncating.
struct WindowPosition {
    int left = 0;
    int top = 0;
    bool operator==(const WindowPosition&) const = default;
};
WindowPosition CentredWindowPixels(int screenWidth, int screenHeight, int windowWidth, int windowHeight, int dpi);

// The window's top-left corner, in screen pixels, centred over the window that owns it and moved back inside the
// work area where it would stick out (its top-left corner first, should it be larger).
WindowPosition CentredOverOwner(const LayoutRect& owner, int windowWidth, int windowHeight, const LayoutRect& workArea);

}  // namespace quorvel
