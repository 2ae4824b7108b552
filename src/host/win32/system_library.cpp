// System DLLs from the system folder only.
#include "host/win32/system_library.h"

#include <string>

namespace quorvel::win32 {

void LoadLibrariesFromSystemFolderOnly() {
    using SetDirectories = BOOL(WINAPI*)(DWORD);
    const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    const auto set = kernel ? reinterpret_cast<SetDirectories>(reinterpret_cast<void (*)()>(
                                  GetProcAddress(kernel, "SetDefaultDllDirectories")))
                            : nullptr;
    if (set) set(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

FARPROC SystemFunction(const wchar_t* dll, const char* name) {
    HMODULE module = LoadLibraryExW(dll, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!module) {
        // Systems that predate the search flags refuse them: name the system folder's file instead.
        wchar_t folder[MAX_PATH] = {};
        const UINT n = GetSystemDirectoryW(folder, MAX_PATH);
        if (n == 0 || n >= MAX_PATH) return nullptr;
        module = LoadLibraryW((std::wstring(folder, n) + L"\\" + dll).c_str());
    }
    return module ? GetProcAddress(module, name) : nullptr;
}

}  // namespace quorvel::win32
