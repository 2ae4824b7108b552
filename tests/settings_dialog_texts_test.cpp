// The settings window's words: every table complete, the table a language id gets, and every text inside its room
// at four DPIs by the extents measured under Wine.
#include <gtest/gtest.h>

#include <array>
#include <iterator>
#include <string>
#include <string_view>

#include "dialog/dialog_layout.h"
#include "dialog/dialog_texts.h"

namespace quorvel {
namespace {

TEST(DialogTexts, EveryTableHasEveryTextOnce) {
    for (const DialogLanguage* language : DialogLanguages()) {
        for (int id = 0; id <= kTextCount; ++id) {
            int found = 0;
            for (const TextEntry& entry : language->texts) found += entry.id == TextId(id) && !entry.text.empty();
            EXPECT_EQ(found, id < kTextCount ? 1 : 0) << "language " << language->name << ", text " << id;
        }
    }
}

TEST(DialogTexts, JapaneseForEveryJapaneseLanguageIdEnglishForTheRest) {
    const struct { uint16_t id; const DialogLanguage* table; } rows[] = {
        {0x0411, &kJapaneseTexts}, {0x0011, &kJapaneseTexts}, {0x0811, &kJapaneseTexts}, {0x0409, &kEnglishTexts},
        {0x0809, &kEnglishTexts},  {0x0407, &kEnglishTexts},  {0x0404, &kEnglishTexts},  {0x0000, &kEnglishTexts},
        {0x0412, &kEnglishTexts}};
    for (const auto& row : rows) EXPECT_EQ(&LanguageFor(row.id), row.table) << std::hex << "language id " << row.id;
}

TEST(DialogTexts, RoomsReachTheNeighbourNotTheLabelsOwnWidth) {
    const struct { ControlId id; int dpi, width, height; } rows[] = {
        {ControlId::lbl0, 96, 99, 16},       // frame 101 x 21 from 8, 8; heading from 12
        {ControlId::lbl5, 96, 27, 0},        // from 20 to the slider at 48, 1 clear
        {ControlId::lbl6, 96, 56, 0},        // from 120 to the panel's edge at 177, 1 clear
        {ControlId::lbl1, 144, 59, 0},       // from 12 to the slider at 72
        {ControlId::Cmd_Can, 144, 128, 26},  // 140 x 38 less 6 on each side
    };
    for (const auto& row : rows) {
        const auto room = TextRoomPixels(row.id, row.dpi).value_or(TextRoom{-1, -1});
        EXPECT_TRUE(room.width == row.width && room.height == row.height)
            << static_cast<int>(row.id) << " at " << row.dpi << " dpi: " << room.width << " x " << room.height;
    }
}

// Each text's extent and the font's cell height at 96, 120, 144 and 192 dpi as `probe.exe texts DPI` measures
// them under Wine 8 with LANG=C.UTF-8, where the system's message font is Liberation Sans. A text not listed fails
// below: measure again after changing a table.
constexpr int kDpis[] = {96, 120, 144, 192};
// An empty text stands for the font's cell height.
struct Measured { std::string_view language; std::wstring_view text; std::array<int, 4> pixels; };
const Measured kMeasured[] = {
    {"en", L"", {15, 17, 22, 30}},
    {"en", L"OK", {19, 23, 29, 37}},            {"en", L"Cancel", {40, 51, 61, 80}},
    {"en", L"Tavrin size", {64, 78, 96, 125}},  {"en", L"Tavrin length", {75, 93, 115, 148}},
    {"en", L"Tavrin speed", {75, 93, 115, 148}}, {"en", L"Small", {33, 41, 49, 65}},
    {"en", L"Large", {32, 41, 51, 65}},         {"en", L"Min", {21, 26, 32, 42}},
    {"en", L"Max", {25, 30, 38, 49}},
};
const Measured* Find(std::string_view language, std::wstring_view text) {
    for (const Measured& m : kMeasured)
        if (m.language == language && m.text == text) return &m;
    return nullptr;
}

// The Japanese table keeps the design's words, face and layout whatever they measure.
TEST(DialogTexts, EveryOtherLanguagesTextsFitTheirRoomsAtFourDpis) {
    for (const DialogLanguage* language : DialogLanguages()) {
        if (language == &kJapaneseTexts) continue;
        const Measured* cell = Find(language->name, L"");
        ASSERT_TRUE(cell) << "nothing measured for " << language->name;
        for (const ControlSpec& control : DialogControls()) {
            const std::wstring_view text = ControlText(control, *language);
            const Measured* extent = Find(language->name, text);
            for (size_t i = 0; i < std::size(kDpis); ++i) {
                const auto room = TextRoomPixels(control.id, kDpis[i]);
                if (!room || text.empty()) continue;
                const std::string where = std::string(language->name) + " control " + std::to_string(int(control.id)) +
                                          " at " + std::to_string(kDpis[i]);
                ASSERT_TRUE(extent) << where << ": its text was not measured";
                EXPECT_TRUE(extent->pixels[i] <= room->width && (room->height == 0 || cell->pixels[i] <= room->height))
                    << where << " dpi: " << extent->pixels[i] << " x " << cell->pixels[i] << " in a room of "
                    << room->width << " x " << room->height;
            }
        }
    }
}

}  // namespace
}  // namespace quorvel
