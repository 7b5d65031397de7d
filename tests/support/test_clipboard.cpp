#include "tests/support/test_clipboard.h"

#include <cstring>

#include "common/clipboard.h"
#include "common/unique_resource.h"

namespace quillon::test {

bool PutClipboardText(const std::wstring& text, HWND owner) {
    ClipboardSession clipboard(owner, 1000);
    if (!clipboard.IsOpen()) return false;
    ::EmptyClipboard();
    const SIZE_T bytes = (text.size() + 1) * sizeof(wchar_t);
    UniqueGlobal block(::GlobalAlloc(GMEM_MOVEABLE, bytes));
    if (!block) return false;
    {
        GlobalLockScope lock(block.Get());
        if (!lock.Get()) return false;
        std::memcpy(lock.Get(), text.c_str(), bytes);
    }
    if (!::SetClipboardData(CF_UNICODETEXT, block.Get())) return false;
    block.Release();  // the clipboard owns it now
    return true;
}

std::wstring ClipboardText() {
    ClipboardSession clipboard(nullptr, 1000);
    if (!clipboard.IsOpen()) return L"<clipboard busy>";
    HANDLE data = ::GetClipboardData(CF_UNICODETEXT);
    if (!data) return std::wstring();
    GlobalLockScope lock(data);
    return lock.Get() ? std::wstring(static_cast<const wchar_t*>(lock.Get())) : std::wstring();
}

}  // namespace quillon::test
