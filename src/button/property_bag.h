// The per-instance store of named values a host keeps for each embedded control.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace quorvel {

// A font as a control stores it: every attribute a host can persist.
struct Font {
    std::wstring name;
    double size = 9.75;  // points
    int weight = 400;
    int charset = 128;   // SHIFTJIS_CHARSET
    bool italic = false;
    bool underline = false;
    bool strikethrough = false;

    bool operator==(const Font&) const = default;
};

// The font the control and its caption are created with.
Font DefaultCommandFont();

// Booleans are stored as integers, -1 for true and 0 for false, as the host's store keeps them.
class PropertyBag {
public:
    using Value = std::variant<int32_t, std::wstring, Font>;

    // The stored value, or `defaultValue` when the name is missing.
    Value ReadProperty(const std::string& name, const Value& defaultValue) const;
    // Stores the value unless it equals the writer's default; an equal value also drops an older entry.
    void WriteProperty(const std::string& name, const Value& value, const Value& defaultValue);

    // The stored names, in the order they were first written.
    std::vector<std::string> Names() const;

private:
    std::vector<std::pair<std::string, Value>> values_;
};

}  // namespace quorvel
