// Reading the X11 program's command line.
#include "apps/x11/options.h"

#include <charconv>

namespace quorvel::x11 {

const char kUsage[] =
    "usage: quorvel [--root | --window-id ID | --fullscreen] [--size PERCENT] [--length PARTS] [--speed PERCENT]\n"
    "Two crawlers wander over a black screen.\n"
    "  --root           draw on the window in $XSCREENSAVER_WINDOW, or else on the root window\n"
    "  --window-id ID   draw on that window (decimal or 0x hexadecimal)\n"
    "  (neither)        open a window of its own; a mouse button, q or Escape closes it\n"
    "  --fullscreen     make that window cover the screen\n"
    "  --size PERCENT   crawler size, 50 to 150 (default 75)\n"
    "  --length PARTS   body parts, 50 to 200 (default 100)\n"
    "  --speed PERCENT  speed, 50 to 120 (default 100)\n"
    "  --log-targets    print each new target as 'target CRAWLER X Y' (window pixels)\n"
    "  --help           print this and end\n"
    "Each option may start with one dash or two.\n";

std::optional<uint32_t> ParseWindowId(std::string_view text) {
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
        base = 16;
    }
    uint32_t id = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), id, base);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || id == 0) return std::nullopt;
    return id;
}

ParsedOptions ParseOptions(int argc, const char* const* argv) {
    ParsedOptions parsed;
    Options& o = parsed.options;
    bool modeGiven = false;
    auto fail = [&parsed](std::string message) {
        parsed.error = std::move(message);
        return parsed;
    };
    for (int i = 0; i < argc; ++i) {
        const std::string_view argument = argv[i];
        std::string_view name = argument;
        if (name.starts_with("--")) name.remove_prefix(2);
        else if (name.starts_with("-")) name.remove_prefix(1);
        else return fail("unexpected argument '" + std::string(argument) + "'");

        if (name == "help") {
            o.help = true;
            continue;
        }
        if (name == "log-targets") {
            o.logTargets = true;
            continue;
        }
        if (name == "fullscreen") {
            o.fullscreen = true;
            continue;
        }
        if (name == "root") {
            if (modeGiven && o.target != Target::Root) return fail("--root and --window-id cannot both be given");
            o.target = Target::Root;
            modeGiven = true;
            continue;
        }
        if (name != "window-id" && name != "size" && name != "length" && name != "speed")
            return fail("unknown option '" + std::string(argument) + "'");
        if (i + 1 >= argc) return fail(std::string(argument) + " needs a value");
        const std::string_view value = argv[++i];
        const std::string bad = "malformed value '" + std::string(value) + "' for " + std::string(argument);
        if (name == "window-id") {
            if (modeGiven && o.target != Target::WindowId) return fail("--root and --window-id cannot both be given");
            const auto id = ParseWindowId(value);
            if (!id) return fail(bad);
            o.target = Target::WindowId;
            o.windowId = *id;
            modeGiven = true;
        } else if (name == "length") {
            const auto length = LengthFromText(value);
            if (!length) return fail(bad);
            o.settings.CrawlerLength = *length;
        } else {
            const auto percent = PercentFromText(value);
            if (!percent) return fail(bad);
            (name == "size" ? o.settings.CrawlerSize : o.settings.CrawlerSpeed) = *percent;
        }
    }
    if (o.fullscreen && o.target != Target::OwnWindow)
        return fail("--fullscreen is for a window of our own, not with --root or --window-id");
    return parsed;
}

}  // namespace quorvel::x11
