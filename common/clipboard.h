#pragma once
// One clipboard session: OpenClipboard on construction, CloseClipboard when the scope ends.
#include <windows.h>

namespace quillon {

class ClipboardSession {
public:
    // Another window (Wine's desktop process among them) may hold the clipboard for a moment, so the
    // open is retried briefly before it counts as failed.
    explicit ClipboardSession(HWND owner, DWORD retryMilliseconds = 100) noexcept;
    ~ClipboardSession();
    ClipboardSession(const ClipboardSession&) = delete;
    ClipboardSession& operator=(const ClipboardSession&) = delete;

    bool IsOpen() const noexcept { return open_; }
    // Closes early, for callers that must report something after the clipboard is released.
    void Close() noexcept;

private:
    bool open_ = false;
};

// GlobalLock / GlobalUnlock.
class GlobalLockScope {
public:
    explicit GlobalLockScope(HGLOBAL block) noexcept : block_(block), data_(::GlobalLock(block)) {}
    ~GlobalLockScope() { if (data_) ::GlobalUnlock(block_); }
    GlobalLockScope(const GlobalLockScope&) = delete;
    GlobalLockScope& operator=(const GlobalLockScope&) = delete;
    void* Get() const noexcept { return data_; }

private:
    HGLOBAL block_;
    void* data_;
};

}  // namespace quillon
