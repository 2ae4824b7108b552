// The private-profile (INI file) calls, with the meaning of their ANSI Win32 namesakes.
// Texts are passed as bytes, unconverted: the settings keys are Shift-JIS whatever the code page.
#pragma once

#include <cstdint>

namespace plat {

uint32_t GetPrivateProfileStringA(const char* section, const char* key, const char* defaultValue,
                                  char* buffer, uint32_t size, const char* file);
bool WritePrivateProfileStringA(const char* section, const char* key, const char* value, const char* file);

}  // namespace plat
