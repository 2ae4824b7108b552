// Mode selection: the second character, upper-cased, picks the mode; nothing else is examined but the handle.
#include "settings/command_line.h"

#include "base/numeric.h"

namespace quorvel {

StartRequest ParseCommandLine(std::string_view arguments) {
    StartRequest request;
    if (arguments.empty()) {
        request.mode = StartMode::Saver;
        return request;
    }
    if (arguments.size() < 2) return request;
    char letter = arguments[1];
    if (letter >= 'a' && letter <= 'z') letter = static_cast<char>(letter - 'a' + 'A');
    switch (letter) {
        case 'P':
            request.mode = StartMode::Preview;
            if (arguments.size() > 3) request.previewHandle = ToInt32(Val(arguments.substr(3))).value_or(0);
            break;
        case 'C':
            request.mode = StartMode::Settings;
            if (arguments.size() > 3) request.ownerHandle = ToInt32(Val(arguments.substr(3))).value_or(0);
            break;
        case 'S':
            request.mode = StartMode::Saver;
            request.saverCommand = true;
            break;
        default:
            break;
    }
    return request;
}

}  // namespace quorvel
