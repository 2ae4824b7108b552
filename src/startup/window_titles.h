// The titles of the program's two top-level windows, which the single-instance test also looks for.
#pragma once

namespace quorvel {

inline constexpr wchar_t kSaverWindowTitle[] = L"Tavrin_Main";
inline constexpr wchar_t kSettingsWindowTitle[] = L"Quorvelの設定";

}  // namespace quorvel
