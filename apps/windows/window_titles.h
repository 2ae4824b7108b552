// The titles of the program's two top-level windows, which the single-instance test also looks for, and the
// per-session mutex that the saver and the settings dialog hold while their window exists.
#pragma once

namespace quorvel {

inline constexpr wchar_t kSaverWindowTitle[] = L"Tavrin_Main";
inline constexpr wchar_t kSettingsWindowTitle[] = L"Quorvelの設定";
inline constexpr wchar_t kInstanceMutexName[] = L"Local\\Quorvel";

}  // namespace quorvel
