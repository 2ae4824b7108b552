// The choice of the settings window's text table.
#include "dialog/dialog_texts.h"

#include <array>

namespace quorvel {

std::wstring_view DialogLanguage::Text(TextId id) const {
    for (const TextEntry& entry : texts) {
        if (entry.id == id) return entry.text;
    }
    return {};
}

std::span<const DialogLanguage* const> DialogLanguages() {
    static constexpr std::array<const DialogLanguage*, 2> kLanguages{&kJapaneseTexts, &kEnglishTexts};
    return kLanguages;
}

const DialogLanguage& LanguageFor(uint16_t languageId) {
    constexpr uint16_t kPrimaryLanguageMask = 0x3FF;
    const std::span<const DialogLanguage* const> languages = DialogLanguages();
    for (const DialogLanguage* language : languages) {
        if (language->primaryLanguage == (languageId & kPrimaryLanguageMask)) return *language;
    }
    return *languages.back();
}

}  // namespace quorvel
