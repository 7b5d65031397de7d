#include "shell/menu_help.h"

#include <vector>

#include "common/module.h"

namespace quillon {

UINT MenuHelpStringId(UINT item) noexcept {
    if (item >= 0xF000 && item <= 0xF1EF) return 61184 + (item - 0xF000) / 16;
    return item;
}

std::wstring FirstLine(const std::wstring& text) {
    const auto feed = text.find(L'\n');
    return feed == std::wstring::npos ? text : text.substr(0, feed);
}

std::wstring AfterFirstLine(const std::wstring& text) {
    const auto feed = text.find(L'\n');
    return feed == std::wstring::npos ? std::wstring() : text.substr(feed + 1);
}

std::wstring LoadResourceString(UINT id, int bufferChars) {
    std::vector<wchar_t> buffer(static_cast<std::size_t>(bufferChars), L'\0');
    const int length = ::LoadStringW(ThisModule(), id, buffer.data(), bufferChars);
    return std::wstring(buffer.data(), length > 0 ? static_cast<std::size_t>(length) : 0);
}

}  // namespace quillon
