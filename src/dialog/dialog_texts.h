// The settings window's words, one table per language, and the table a user interface language gets. A further
// language is one more table file and one more line in DialogLanguages().
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace quorvel {

enum class TextId : uint8_t {
    WindowTitle,
    SizeHeading,
    SizeSmall,
    SizeLarge,
    LengthHeading,
    LengthShort,
    LengthLong,
    SpeedHeading,
    SpeedSlow,
    SpeedFast,
    SetCaption,
    CancelCaption,
    SaveFailed,  // the message after a save that could not be written anywhere
    None,        // a control without words of its own
};
inline constexpr int kTextCount = static_cast<int>(TextId::None);

// The font a language's texts are shown in, at the design's 9.75 points either way.
enum class DialogFont : uint8_t {
    JapaneseGothic,  // the design face, or the first installed Japanese proportional Gothic with every glyph
    SystemMessage,   // the face of the system's message font, which every Windows has
};

struct TextEntry {
    TextId id;
    std::wstring_view text;
};

struct DialogLanguage {
    std::string_view name;
    uint16_t primaryLanguage;  // the primary language of the language ids it serves (the low 10 bits)
    DialogFont font;
    std::span<const TextEntry> texts;

    // Empty when the table has no such text.
    std::wstring_view Text(TextId id) const;
};

// dialog_texts_ja.cpp: the design's texts, byte for byte; dialog_texts_en.cpp: English.
extern const DialogLanguage kJapaneseTexts;
extern const DialogLanguage kEnglishTexts;

// Every table; the last one serves every language that has none of its own.
std::span<const DialogLanguage* const> DialogLanguages();

// The table for a language id such as GetUserDefaultUILanguage gives (0x0411 Japanese, 0x0409 English, ...).
const DialogLanguage& LanguageFor(uint16_t languageId);

}  // namespace quorvel
