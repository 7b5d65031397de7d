#pragma once
#include <windows.h>

// The module this code is linked into; its resources (menus, strings, dialogs, pictures) live there.
extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace quillon {
inline HINSTANCE ThisModule() noexcept { return reinterpret_cast<HINSTANCE>(&__ImageBase); }
}  // namespace quillon
