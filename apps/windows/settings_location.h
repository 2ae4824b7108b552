// Where this program's files are on this machine: its own folder, and the settings file.
#pragma once

#include <string>

namespace quorvel::win32 {

// The folder that holds the program file, without a trailing backslash; "." when the system cannot say.
std::wstring ProgramFolder();

// Paths in the ANSI code page, as the profile calls take them.
std::string SettingsFileForReading();
// Creates the per-user folder when the settings have to go there.
std::string SettingsFileForWriting();

}  // namespace quorvel::win32
