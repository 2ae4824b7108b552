// The saver window's title, which the single-instance test looks for beside the settings window's titles in
// every language (dialog/dialog_texts.h), and the per-session mutex that the saver and the settings dialog hold
// while their window exists.
#pragma once

namespace quorvel {

inline constexpr wchar_t kSaverWindowTitle[] = L"Tavrin_Main";
inline constexpr wchar_t kInstanceMutexName[] = L"Local\\Quorvel";

}  // namespace quorvel
