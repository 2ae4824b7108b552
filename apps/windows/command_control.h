// The owner-drawn push button "Tavrin.Command" as a Win32 child window, for the settings dialog.
#pragma once

#include <windows.h>

namespace quorvel::win32 {

// Registers the window class L"Tavrin.Command"; later calls do nothing and return true.
bool RegisterCommandClass(HINSTANCE instance);

// Creates a button at a pixel rectangle in the parent's client coordinates. The button keeps only the face
// name and character set of `font` (its caption is always 9.75 pt, normal weight), so the caller may delete the
// font afterwards. The caption is also the window's text, which names the button for accessibility tools.
// Registers the class if needed. Returns null on failure.
HWND CreateCommand(HWND parent, int id, int x, int y, int width, int height, const wchar_t* caption, HFONT font);

// The button's `Initialize`: normal state, hover tracking starts. Call once after the host has created it.
void Command_Initialize(HWND button);

// The button's `Enabled` property.
void Command_SetEnabled(HWND button, bool enabled);

// On `Click` (a mouse click, or Enter or Space while it has the focus) the button sends its parent WM_COMMAND,
// wParam = MAKEWPARAM(id, BN_CLICKED), lParam = the button.

}  // namespace quorvel::win32
