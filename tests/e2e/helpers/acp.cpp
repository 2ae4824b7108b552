// Reports the ANSI and OEM code pages this process sees, so the test bench can check that Wine
// runs the program on the Japanese code page (932). Usage: acp.exe <output file>
// The file receives "acp=<n> oemcp=<n>"; the exit code is 0 when it could be written.
#include <windows.h>

#include <cstdio>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int) {
    char text[64];
    const int length = std::snprintf(text, sizeof text, "acp=%u oemcp=%u\n", GetACP(), GetOEMCP());
    HANDLE file = CreateFileW(commandLine, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 2;
    DWORD written = 0;
    const BOOL ok = WriteFile(file, text, static_cast<DWORD>(length), &written, nullptr);
    CloseHandle(file);
    return ok && written == static_cast<DWORD>(length) ? 0 : 3;
}
