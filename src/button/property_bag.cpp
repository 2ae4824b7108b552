// Named values with reader and writer defaults, as a host persists an embedded control.
#include "button/property_bag.h"

#include <algorithm>

namespace quorvel {

Font DefaultCommandFont() {
    Font font;
    font.name = L"\xFF2D\xFF33 \xFF30\x30B4\x30B7\x30C3\x30AF";  // "ＭＳ Ｐゴシック"
    return font;
}

PropertyBag::Value PropertyBag::ReadProperty(const std::string& name, const Value& defaultValue) const {
    for (const auto& [key, value] : values_)
        if (key == name) return value;
    return defaultValue;
}

void PropertyBag::WriteProperty(const std::string& name, const Value& value, const Value& defaultValue) {
    auto it = std::find_if(values_.begin(), values_.end(), [&](const auto& entry) { return entry.first == name; });
    if (value == defaultValue) {
        if (it != values_.end()) values_.erase(it);
        return;
    }
    if (it != values_.end())
        it->second = value;
    else
        values_.emplace_back(name, value);
}

std::vector<std::string> PropertyBag::Names() const {
    std::vector<std::string> names;
    for (const auto& entry : values_) names.push_back(entry.first);
    return names;
}

}  // namespace quorvel
