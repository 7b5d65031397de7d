#pragma once
// Texts for the status bar's menu help and the toolbar's tooltips, taken from the command strings:
// each command's string is "status text\ntooltip".
#include <windows.h>

#include <string>

namespace quillon {

// The string id that describes menu item `item`: system commands (0xF000-0xF1EF) map onto 61184 + one
// id per 16 commands; any other item is its own string id.
UINT MenuHelpStringId(UINT item) noexcept;

// The part before the first line feed (the status-bar description).
std::wstring FirstLine(const std::wstring& text);
// The part after the first line feed (the tooltip), or empty when there is none.
std::wstring AfterFirstLine(const std::wstring& text);

// LoadStringW into a bounded buffer, as the bars do; empty when the string is missing.
std::wstring LoadResourceString(UINT id, int bufferChars = 256);

}  // namespace quillon
