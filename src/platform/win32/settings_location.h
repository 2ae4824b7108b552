// Where this program's settings file is, on this machine.
#pragma once

#include <string>

namespace quorvel::win32 {

// Paths in the ANSI code page, as the profile calls take them.
std::string SettingsFileForReading();
// Creates the per-user folder when the settings have to go there.
std::string SettingsFileForWriting();

}  // namespace quorvel::win32
