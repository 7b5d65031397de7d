#include "shell/message_loop.h"

#include <algorithm>

namespace quillon {

namespace {
template <typename T>
bool RemoveByIdentity(std::vector<T*>& list, T* item) {
    const auto it = std::find(list.begin(), list.end(), item);
    if (it == list.end()) return false;
    list.erase(it);
    return true;
}
}  // namespace

bool IsIdleMessage(UINT message) noexcept {
    switch (message) {
    case WM_MOUSEMOVE:
    case WM_NCMOUSEMOVE:
    case WM_PAINT:
    case 0x0118:  // WM_SYSTIMER: the caret blink
        return false;
    default:
        return true;
    }
}

bool CMessageLoop::AddMessageFilter(CMessageFilter* filter) {
    filters_.push_back(filter);
    return true;
}

bool CMessageLoop::RemoveMessageFilter(CMessageFilter* filter) { return RemoveByIdentity(filters_, filter); }

bool CMessageLoop::AddIdleHandler(CIdleHandler* handler) {
    idleHandlers_.push_back(handler);
    return true;
}

bool CMessageLoop::RemoveIdleHandler(CIdleHandler* handler) { return RemoveByIdentity(idleHandlers_, handler); }

bool CMessageLoop::PreTranslateMessage(MSG* msg) {
    // A filter may remove itself while it runs (its window being destroyed), so walk by index.
    for (std::size_t i = filters_.size(); i > 0; --i) {
        if (i <= filters_.size() && filters_[i - 1] && filters_[i - 1]->PreTranslateMessage(msg)) return true;
    }
    return false;
}

bool CMessageLoop::OnIdle(int) {
    for (std::size_t i = 0; i < idleHandlers_.size(); ++i) {
        if (idleHandlers_[i]) idleHandlers_[i]->OnIdle();
    }
    return false;
}

int CMessageLoop::Run() {
    bool doIdle = true;
    int idleCount = 0;
    for (;;) {
        while (doIdle && !::PeekMessageW(&msg_, nullptr, 0, 0, PM_NOREMOVE)) {
            if (!OnIdle(idleCount++)) doIdle = false;
        }
        const BOOL got = ::GetMessageW(&msg_, nullptr, 0, 0);
        if (got == -1) continue;
        if (!got) break;
        if (!PreTranslateMessage(&msg_)) {
            ::TranslateMessage(&msg_);
            ::DispatchMessageW(&msg_);
        }
        if (IsIdleMessage(msg_.message)) {
            doIdle = true;
            idleCount = 0;
        }
    }
    return static_cast<int>(msg_.wParam);
}

}  // namespace quillon
