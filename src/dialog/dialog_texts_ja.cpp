// The settings window in Japanese: the design's own words, byte for byte, in its Japanese Gothic.
#include "dialog/dialog_texts.h"

namespace quorvel {
namespace {

constexpr TextEntry kTexts[] = {
    {TextId::WindowTitle, L"Quorvelの設定"},
    {TextId::SizeHeading, L"Tavrinの大きさ"},
    {TextId::SizeSmall, L"小さい"},
    {TextId::SizeLarge, L"大きい"},
    {TextId::LengthHeading, L"Tavrinの長さ"},
    {TextId::LengthShort, L"短い"},
    {TextId::LengthLong, L"長い"},
    {TextId::SpeedHeading, L"Tavrinのｽﾋﾟｰﾄﾞ"},
    {TextId::SpeedSlow, L"遅い"},
    {TextId::SpeedFast, L"速い"},
    {TextId::SetCaption, L"設定"},
    {TextId::CancelCaption, L"ｷｬﾝｾﾙ"},
    {TextId::SaveFailed, L"設定を保存できませんでした。\n設定ファイルに書き込めません。"},
};

}  // namespace

constexpr uint16_t kLangJapanese = 0x11;
const DialogLanguage kJapaneseTexts{"ja", kLangJapanese, DialogFont::JapaneseGothic, kTexts};

}  // namespace quorvel
