// The command line of the X11 program, in the conventions of xscreensaver's programs: where to draw, the three
// settings, and help. Free of Xlib, so that every rule is tested without a display.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "settings/settings.h"

namespace quorvel::x11 {

enum class Target {
    OwnWindow,  // no mode given: a window of our own
    Root,       // --root: the daemon's window ($XSCREENSAVER_WINDOW) or the root window
    WindowId,   // --window-id ID: a window someone else made, such as a preview pane
};

struct Options {
    Target target = Target::OwnWindow;
    uint32_t windowId = 0;    // for Target::WindowId
    bool fullscreen = false;  // for Target::OwnWindow
    Settings settings{kDefaultCrawlerSize, kDefaultCrawlerLength, kDefaultCrawlerSpeed, kCrawlerTaper};
    bool help = false;
    bool logTargets = false;  // each new target to standard output, to see where the crawlers head
};

// Either the options or the message that says what is wrong with the command line.
struct ParsedOptions {
    Options options;
    std::string error;  // empty when the command line is sound
};

// The arguments after the program's name. Each option takes one or two leading dashes; a value is the next
// argument. The settings read as the settings file's values do, out-of-range values included (the saver keeps
// them within safe bounds); a malformed one is an error.
ParsedOptions ParseOptions(int argc, const char* const* argv);

// A window id as X prints them: decimal or 0x hexadecimal, not 0, at most 32 bits.
std::optional<uint32_t> ParseWindowId(std::string_view text);

extern const char kUsage[];

}  // namespace quorvel::x11
