// Starts a program with an exact command line and ends with its exit code (250 when it could not be started).
// Wine would rebuild a command line from Unix arguments, so the text comes through the environment: QV_LAUNCH_EXE
// is the program's Windows path, QV_LAUNCH_ARGS the argument text that follows the quoted path and one blank.
#include <windows.h>

#include <string>

namespace {

std::wstring Variable(const wchar_t* name) {
    std::wstring value(GetEnvironmentVariableW(name, nullptr, 0), L'\0');
    value.resize(GetEnvironmentVariableW(name, value.data(), static_cast<DWORD>(value.size())));
    return value;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    const std::wstring program = Variable(L"QV_LAUNCH_EXE");
    const std::wstring arguments = Variable(L"QV_LAUNCH_ARGS");
    std::wstring commandLine = L"\"" + program + L"\"";
    if (!arguments.empty()) commandLine += L" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return 250;
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 250;
    GetExitCodeProcess(process.hProcess, &code);
    return static_cast<int>(code);
}
