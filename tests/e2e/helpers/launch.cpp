// Starts a program with an exact command line and ends with its exit code. Wine rebuilds a command
// line from Unix arguments (quoting blanks, dropping empty ones), so the tests pass the text through
// the environment instead:
//   QV_LAUNCH_EXE   Windows path of the program
//   QV_LAUNCH_ARGS  argument text, passed byte for byte after the quoted path and one blank
//                   (unset or empty: the command line is the quoted path alone)
// Exit code: the program's, or 250..252 when the launch itself failed.
#include <windows.h>

#include <string>

namespace {

bool ReadVariable(const wchar_t* name, std::wstring& value) {
    const DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
    if (size == 0) return false;
    value.assign(size, L'\0');
    const DWORD length = GetEnvironmentVariableW(name, value.data(), size);
    if (length >= size) return false;
    value.resize(length);
    return true;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    std::wstring program;
    if (!ReadVariable(L"QV_LAUNCH_EXE", program) || program.empty()) return 250;
    std::wstring arguments;
    ReadVariable(L"QV_LAUNCH_ARGS", arguments);

    std::wstring commandLine = L"\"" + program + L"\"";
    if (!arguments.empty()) commandLine += L" " + arguments;

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return 251;
    CloseHandle(process.hThread);
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 252;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hProcess);
    return static_cast<int>(code);
}
