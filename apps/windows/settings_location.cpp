// The settings file beside the program, or in the user's application data when the program's folder is locked.
#include "apps/windows/settings_location.h"

#include <windows.h>
#include <shlobj.h>

#include <iterator>

#include "host/win32/handles.h"
#include "host/win32/system_library.h"
#include "settings/settings.h"

namespace quorvel::win32 {
namespace {

// The per-user settings live in a folder of this name inside the user's application data.
constexpr wchar_t kUserFolderName[] = L"Quorvel";

const std::wstring& IniFileName() {
    static const std::wstring name(std::begin(kIniFileName), std::end(kIniFileName) - 1);  // plain ASCII
    return name;
}

std::wstring UserFolder() {
    wchar_t path[MAX_PATH] = {};
    // shell32 is loaded only here, where it is needed: importing it would make the loader resolve its own
    // dependencies at start, where a loader that searches the program's folder first could pick up a planted one.
    using GetFolderPath = HRESULT(WINAPI*)(HWND, int, HANDLE, DWORD, LPWSTR);
    const auto getFolderPath = SystemFunctionAs<GetFolderPath>(L"shell32.dll", "SHGetFolderPathW");
    if (!getFolderPath || FAILED(getFolderPath(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path)) || !path[0])
        return {};
    return std::wstring(path) + L"\\" + kUserFolderName;
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Whether a settings file can be written there: the folder takes a new file, and an existing file is not locked.
bool CanWriteSettings(const std::wstring& folder, const std::wstring& file) {
    const std::wstring probe = folder + L"\\~Quorvel" + std::to_wstring(GetCurrentProcessId()) + L".tmp";
    auto open = [](const std::wstring& path, DWORD share, DWORD disposition, DWORD flags) {
        HANDLE handle = CreateFileW(path.c_str(), GENERIC_WRITE, share, nullptr, disposition, flags, nullptr);
        return UniqueKernelHandle(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
    };
    if (!open(probe, 0, CREATE_NEW, FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE)) return false;
    return !Exists(file) || open(file, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING, 0);
}

// The path in the ANSI code page; where some character has no ANSI form, the short (8.3) form of the folder.
std::string ToAnsiPath(const std::wstring& folder, const std::wstring& name) {
    auto convert = [](const std::wstring& wide, bool* lossy) {
        BOOL usedDefault = FALSE;
        const int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.c_str(), -1, nullptr, 0, nullptr, &usedDefault);
        std::string out(n > 0 ? n : 0, '\0');
        if (n > 0) WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.c_str(), -1, out.data(), n, nullptr, &usedDefault);
        if (!out.empty()) out.pop_back();
        *lossy = usedDefault != FALSE;
        return out;
    };
    bool lossy = false;
    std::string path = convert(folder + L"\\" + name, &lossy);
    if (!lossy) return path;
    wchar_t shortFolder[MAX_PATH] = {};
    if (GetShortPathNameW(folder.c_str(), shortFolder, MAX_PATH)) path = convert(std::wstring(shortFolder) + L"\\" + name, &lossy);
    return path;
}

SettingsLocation Locate(std::wstring* userFolder) {
    const std::wstring program = ProgramFolder();
    const std::wstring programFile = program + L"\\" + IniFileName();
    SettingsLocation location;
    location.programFolderFile = ToAnsiPath(program, IniFileName());
    location.programFolderWritable = CanWriteSettings(program, programFile);
    if (!location.programFolderWritable) {
        *userFolder = UserFolder();
        if (!userFolder->empty()) {
            location.userFolderFile = ToAnsiPath(*userFolder, IniFileName());
            location.userFileExists = Exists(*userFolder + L"\\" + IniFileName());
        }
    }
    return location;
}

}  // namespace

std::wstring ProgramFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) return L".";
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        path.resize(path.size() * 2);
    }
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? L"." : path.substr(0, slash);
}

std::string SettingsFileForReading() {
    std::wstring userFolder;
    const SettingsLocation location = Locate(&userFolder);
    return FileForReading(location);
}

std::string SettingsFileForWriting() {
    std::wstring userFolder;
    const SettingsLocation location = Locate(&userFolder);
    if (!location.programFolderWritable && !userFolder.empty()) {
        CreateDirectoryW(userFolder.c_str(), nullptr);
        // The short form of a folder exists only once the folder does.
        return ToAnsiPath(userFolder, IniFileName());
    }
    return FileForWriting(location);
}

}  // namespace quorvel::win32
