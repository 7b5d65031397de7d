#include "common/clipboard.h"

namespace quillon {

ClipboardSession::ClipboardSession(HWND owner, DWORD retryMilliseconds) noexcept {
    const DWORD start = ::GetTickCount();
    for (;;) {
        if (::OpenClipboard(owner)) {
            open_ = true;
            return;
        }
        if (::GetTickCount() - start >= retryMilliseconds) return;
        ::Sleep(10);
    }
}

ClipboardSession::~ClipboardSession() { Close(); }

void ClipboardSession::Close() noexcept {
    if (open_) {
        ::CloseClipboard();
        open_ = false;
    }
}

}  // namespace quillon
