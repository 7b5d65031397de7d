#pragma once
// The hex viewer control: a child window class "HexEditControl" that shows a block of bytes owned by
// its creator as rows of an offset, sixteen hexadecimal cells and sixteen characters.
#include <windows.h>

// Hands the control the bytes to show: wParam the number of bytes, lParam the first byte. The bytes
// stay owned by the sender and must stay valid while the control lives. Returns 0.
#define HEM_SETDATA (WM_USER + 16)

namespace quillon {

inline constexpr wchar_t kHexEditControlClass[] = L"HexEditControl";

// Registers the "HexEditControl" window class and the "HexData" clipboard format for `instance`.
// TRUE when the class was registered.
BOOL RegisterHexEditControl(HINSTANCE instance);

}  // namespace quillon
