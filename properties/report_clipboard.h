#pragma once
// Putting a text on the clipboard as CF_UNICODETEXT.
#include <windows.h>

#include <string>

namespace quillon {

// Replaces the clipboard's contents with `text`, `owner` owning the clipboard. False when the
// clipboard stays busy or there is no memory; the clipboard is then unchanged or empty.
bool PutTextOnClipboard(HWND owner, const std::wstring& text) noexcept;

}  // namespace quillon
