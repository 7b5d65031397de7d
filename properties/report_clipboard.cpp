#include "properties/report_clipboard.h"

#include <cstring>

#include "common/clipboard.h"
#include "common/unique_resource.h"

namespace quillon {

bool PutTextOnClipboard(HWND owner, const std::wstring& text) noexcept {
    const SIZE_T bytes = (text.size() + 1) * sizeof(wchar_t);
    UniqueGlobal block(::GlobalAlloc(GMEM_MOVEABLE, bytes));
    if (!block) return false;
    {
        GlobalLockScope lock(block.Get());
        if (!lock.Get()) return false;
        std::memcpy(lock.Get(), text.c_str(), bytes);
    }
    ClipboardSession clipboard(owner);
    if (!clipboard.IsOpen()) return false;
    ::EmptyClipboard();
    if (!::SetClipboardData(CF_UNICODETEXT, block.Get())) return false;
    block.Release();  // the clipboard owns it now
    return true;
}

}  // namespace quillon
