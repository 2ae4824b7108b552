// The settings window in English, for every language that has no table of its own. The left-hand end labels
// have 28 pixels before their slider at 96 dpi, which "Short" and "Slow" overrun; "Min" and "Max" fit.
#include "dialog/dialog_texts.h"

namespace quorvel {
namespace {

constexpr TextEntry kTexts[] = {
    {TextId::WindowTitle, L"Quorvel Settings"},
    {TextId::SizeHeading, L"Tavrin size"},
    {TextId::SizeSmall, L"Small"},
    {TextId::SizeLarge, L"Large"},
    {TextId::LengthHeading, L"Tavrin length"},
    {TextId::LengthShort, L"Min"},
    {TextId::LengthLong, L"Max"},
    {TextId::SpeedHeading, L"Tavrin speed"},
    {TextId::SpeedSlow, L"Min"},
    {TextId::SpeedFast, L"Max"},
    {TextId::SetCaption, L"OK"},
    {TextId::CancelCaption, L"Cancel"},
    {TextId::SaveFailed, L"The settings could not be saved.\nThe settings file cannot be written."},
};

}  // namespace

constexpr uint16_t kLangEnglish = 0x09;
const DialogLanguage kEnglishTexts{"en", kLangEnglish, DialogFont::SystemMessage, kTexts};

}  // namespace quorvel
