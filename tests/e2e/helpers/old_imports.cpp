// A program with the imports the saver once had beyond the known DLLs (msimg32 and shell32), to show what the
// loader takes from the program's folder for them.
#include <windows.h>
#include <shlobj.h>

int main() {
    wchar_t folder[MAX_PATH];
    SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder);
    TRIVERTEX vertices[2] = {{0, 0, 0, 0, 0, 0}, {4, 4, 0xFF00, 0, 0, 0}};
    GRADIENT_RECT rect{0, 1};
    return GradientFill(CreateCompatibleDC(nullptr), vertices, 2, &rect, 1, GRADIENT_FILL_RECT_H) ? 0 : 1;
}
