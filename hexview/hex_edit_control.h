#pragma once
// The hex viewer control: a child window class "HexEditControl" that shows a block of bytes owned by
// its creator as rows of an offset, sixteen hexadecimal cells and sixteen characters.
#include <windows.h>

// Hands the control the bytes to show: wParam the number of bytes, lParam the first byte. The bytes
// stay owned by the sender and must stay valid while the control lives. Returns 0.
#define HEM_SETDATA (WM_USER + 16)

// Selects [wParam, lParam) with the caret at lParam (wParam == lParam: the caret alone, no
// selection) and scrolls the caret into view when the control has the focus. Returns 0.
#define HEM_SETSELECTION (WM_USER + 17)
// Returns the caret; stores the selection's start and end in the std::int32_t that wParam and lParam
// point to (either may be null).
#define HEM_GETSELECTION (WM_USER + 18)
// Live watching on (wParam TRUE) or off (FALSE). Returns 0.
#define HEM_SETLIVE (WM_USER + 19)
// Copies the selection: wParam HEXCOPY_BYTES puts "HexData" and, up to 16 MiB, the text as shown;
// HEXCOPY_CARRAY puts the bytes as C array elements. Returns TRUE when the clipboard was set.
#define HEM_COPY (WM_USER + 20)
#define HEXCOPY_BYTES 0
#define HEXCOPY_CARRAY 1

// Sent to the parent as WM_COMMAND(MAKEWPARAM(control id, HEN_SELCHANGE), control) whenever the
// caret or the selection moves.
#define HEN_SELCHANGE 0x0301

namespace quillon {

inline constexpr wchar_t kHexEditControlClass[] = L"HexEditControl";

// Registers the "HexEditControl" window class and the "HexData" clipboard format for `instance`.
// TRUE when the class was registered.
BOOL RegisterHexEditControl(HINSTANCE instance);

}  // namespace quillon
