#pragma once
// The clipboard as a test sees it: put a text there first, read the text a command left.
#include <windows.h>

#include <string>

namespace quillon::test {

// Replaces the clipboard's contents with `text` as CF_UNICODETEXT; false when it could not.
bool PutClipboardText(const std::wstring& text, HWND owner = nullptr);

// The clipboard's CF_UNICODETEXT; empty when it holds none, "<clipboard busy>" when it cannot be
// opened within a second.
std::wstring ClipboardText();

}  // namespace quillon::test
