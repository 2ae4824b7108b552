// Entry point: the single-instance test, then the mode the command line asks for.
#include <windows.h>

#include <string>

#include "host/win32/handles.h"
#include "apps/windows/settings_location.h"
#include "host/win32/system_library.h"
#include "apps/windows/saver_window.h"
#include "apps/windows/settings_window.h"
#include "dialog/dialog_texts.h"
#include "settings/command_line.h"
#include "settings/settings.h"
#include "apps/windows/preview_window.h"
#include "apps/windows/window_titles.h"

namespace {

// The arguments after the program's path, as the system passed them: one separating blank is dropped,
// nothing else is trimmed.
std::wstring ArgumentsOf(const wchar_t* commandLine) {
    const wchar_t* p = commandLine ? commandLine : L"";
    if (*p == L'"') {
        ++p;
        while (*p && *p != L'"') ++p;
        if (*p == L'"') ++p;
    } else {
        while (*p && *p != L' ' && *p != L'\t') ++p;
    }
    if (*p == L' ' || *p == L'\t') ++p;
    return p;
}

std::string ToUtf8(const std::wstring& text) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(n > 0 ? n : 0, '\0');
    if (n > 0) WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

// Tells the system whether a screen saver is running (the flag that disables the task-switching keys).
void EnableSystemKeys(bool enabled) {
    SystemParametersInfoW(SPI_SETSCREENSAVERRUNNING, enabled ? FALSE : TRUE, nullptr, 0);
}

// Hides the cursor and sets the running flag for the life of the saver, and undoes both however it ends.
class SaverSession {
public:
    explicit SaverSession(bool active) : active_(active) {
        if (!active_) return;
        ShowCursor(FALSE);
        EnableSystemKeys(false);
    }
    ~SaverSession() {
        if (!active_) return;
        EnableSystemKeys(true);
        ShowCursor(TRUE);
    }
    SaverSession(const SaverSession&) = delete;
    SaverSession& operator=(const SaverSession&) = delete;

private:
    bool active_;
};

// The per-session mark that a saver or settings window of ours exists. The window-title test cannot see a second
// start made before the first one's window appears; a mutex's name is taken atomically, so only one start wins.
// False when another instance holds it (one of another security context answers with access denied).
bool ClaimInstance(quorvel::win32::UniqueKernelHandle& mark) {
    SetLastError(ERROR_SUCCESS);
    mark = quorvel::win32::UniqueKernelHandle(CreateMutexW(nullptr, FALSE, quorvel::kInstanceMutexName));
    const DWORD error = GetLastError();
    return error != ERROR_ALREADY_EXISTS && error != ERROR_ACCESS_DENIED;
}

// Window handles carry 32 significant bits, sign-extended on 64-bit Windows.
HWND WindowFromHandle(int32_t handle) { return reinterpret_cast<HWND>(static_cast<intptr_t>(handle)); }

// The top-level window of "/c:HWND", or none when the number names no window.
HWND OwnerWindow(int32_t handle) {
    const HWND window = WindowFromHandle(handle);
    return handle != 0 && IsWindow(window) ? GetAncestor(window, GA_ROOT) : nullptr;
}

// The saver's window, or the settings window in any of its languages.
bool OwnWindowOpen() {
    if (FindWindowW(nullptr, quorvel::kSaverWindowTitle)) return true;
    for (const quorvel::DialogLanguage* language : quorvel::DialogLanguages()) {
        const std::wstring title(language->Text(quorvel::TextId::WindowTitle));
        if (FindWindowW(nullptr, title.c_str())) return true;
    }
    return false;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    quorvel::win32::LoadLibrariesFromSystemFolderOnly();

    // Another saver or settings window of ours is open: do nothing at all.
    if (OwnWindowOpen()) return 0;

    const quorvel::StartRequest request = quorvel::ParseCommandLine(ToUtf8(ArgumentsOf(GetCommandLineW())));
    quorvel::win32::UniqueKernelHandle instanceMark;
    if (quorvel::HoldsInstanceMark(request.mode) && !ClaimInstance(instanceMark)) return 0;
    switch (request.mode) {
        case quorvel::StartMode::Preview: {
            quorvel::win32::RunPreview(instance, WindowFromHandle(request.previewHandle));
            return 0;
        }
        case quorvel::StartMode::Settings: {
            quorvel::Settings settings;
            quorvel::LoadSettings(settings, quorvel::win32::SettingsFileForReading());
            quorvel::win32::RunSettingsDialog(instance, settings, OwnerWindow(request.ownerHandle));
            return 0;
        }
        case quorvel::StartMode::Saver: {
            quorvel::Settings settings;
            quorvel::LoadSettings(settings, quorvel::win32::SettingsFileForReading());
            SaverSession session(request.saverCommand);
            quorvel::win32::RunSaver(instance, settings);
            return 0;
        }
        case quorvel::StartMode::End:
            break;
    }
    return 0;
}
