// Loading of system DLLs: only ever from the system folder, so that no file beside the program (which may sit in a
// Downloads folder) is loaded in a system DLL's place.
#pragma once

#include <windows.h>

namespace quorvel::win32 {

// Makes every later load search the system folder only. The first thing the program does; systems without
// SetDefaultDllDirectories keep their default.
void LoadLibrariesFromSystemFolderOnly();

// A function of a system DLL that the program needs only now and then, the DLL loaded from the system folder on
// first use and kept for the life of the process. Null when the DLL or the function is missing.
FARPROC SystemFunction(const wchar_t* dll, const char* name);

template <typename Function>
Function SystemFunctionAs(const wchar_t* dll, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(SystemFunction(dll, name)));
}

}  // namespace quorvel::win32
