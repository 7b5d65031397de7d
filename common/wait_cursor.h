#pragma once
// The hourglass for the length of a scope: work that holds the UI thread for a while (a Refresh of
// many sections, a large dump or copy) shows that the program is busy, not hung. No message is handled
// meanwhile, so nothing asks for the normal cursor before the scope ends and puts it back.
#include <windows.h>

namespace quillon {

class WaitCursor {
public:
    // With `show` false the scope changes nothing (for work that is only sometimes long).
    explicit WaitCursor(bool show = true) noexcept
        : shown_(show), previous_(show ? ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT)) : nullptr) {}
    ~WaitCursor() {
        if (shown_) ::SetCursor(previous_);
    }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    bool shown_;
    HCURSOR previous_;
};

}  // namespace quillon
