// A DLL that only tells that it was loaded: on attach it creates "<its own path>.loaded". Copied beside a program
// under the name of a DLL the program uses, it shows whether the loader took that name from the program's folder.
// It exports GradientFill, so that a program importing msimg32's can load it and run.
#define NOGDI  // its own GradientFill, not the import's declaration
#include <windows.h>

#include <string>

extern "C" __declspec(dllexport) BOOL WINAPI GradientFill(void*, void*, ULONG, void*, ULONG, ULONG) { return FALSE; }

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, void*) {
    if (reason != DLL_PROCESS_ATTACH) return TRUE;
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(module, path, MAX_PATH);
    const HANDLE marker = CreateFileW((std::wstring(path) + L".loaded").c_str(), GENERIC_WRITE, 0, nullptr,
                                      CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (marker != INVALID_HANDLE_VALUE) CloseHandle(marker);
    return TRUE;
}
