#pragma once
// The main thread's message loop, with the filters that may consume a message before it is
// translated and dispatched, and the idle handlers that run once each time the queue runs empty.
#include <windows.h>

#include <vector>

namespace quillon {

class CMessageFilter {
public:
    // True when the message has been consumed; it is then neither translated nor dispatched.
    virtual bool PreTranslateMessage(MSG* msg) = 0;

protected:
    ~CMessageFilter() = default;
};

class CIdleHandler {
public:
    // Called once when the queue has run empty; the result is not used.
    virtual bool OnIdle() = 0;

protected:
    ~CIdleHandler() = default;
};

// Messages that do not start a new idle period: mouse moves, paints and the caret-blink timer.
bool IsIdleMessage(UINT message) noexcept;

class CMessageLoop {
public:
    CMessageLoop() = default;
    virtual ~CMessageLoop() = default;
    CMessageLoop(const CMessageLoop&) = delete;
    CMessageLoop& operator=(const CMessageLoop&) = delete;

    // Registrations are references, not ownership; removal is by identity.
    bool AddMessageFilter(CMessageFilter* filter);
    bool RemoveMessageFilter(CMessageFilter* filter);
    bool AddIdleHandler(CIdleHandler* handler);
    bool RemoveIdleHandler(CIdleHandler* handler);

    // Runs until WM_QUIT and returns its wParam.
    int Run();

protected:
    // Asks the filters, newest registration first; true when one consumed the message.
    virtual bool PreTranslateMessage(MSG* msg);
    // Calls every idle handler, oldest first, and returns false: one idle pass per idle period.
    virtual bool OnIdle(int idleCount);

private:
    std::vector<CMessageFilter*> filters_;
    std::vector<CIdleHandler*> idleHandlers_;
    MSG msg_{};
};

}  // namespace quillon
