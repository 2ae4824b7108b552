// Arbitrary argument text through the command-line parser: only the second character picks the mode.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "settings/command_line.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view arguments(reinterpret_cast<const char*>(data), size);
    const quorvel::StartRequest request = quorvel::ParseCommandLine(arguments);
    const char letter = size >= 2 ? static_cast<char>(data[1] & ~0x20) : '\0';
    using enum quorvel::StartMode;
    const quorvel::StartMode expected = size == 0       ? Saver
                                        : letter == 'P' ? Preview
                                        : letter == 'C' ? Settings
                                        : letter == 'S' ? Saver
                                                        : End;
    // Clearing the case bit maps only p, c and s onto P, C and S, so this is the upper-casing the parser does.
    if (request.mode != expected) std::abort();
    if (request.saverCommand != (request.mode == Saver && size != 0)) std::abort();
    if (request.mode != Preview && request.previewHandle != 0) std::abort();
    return 0;
}
