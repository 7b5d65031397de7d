#pragma once
// The application module: the instance the resources come from, the main thread, and which message
// loop runs on which thread.
#include <windows.h>

#include <map>

namespace quillon {

class CMessageLoop;

class CAppModule {
public:
    CAppModule() = default;
    CAppModule(const CAppModule&) = delete;
    CAppModule& operator=(const CAppModule&) = delete;
    ~CAppModule() { Term(); }

    void Init(HINSTANCE instance);
    void Term();

    HINSTANCE Instance() const noexcept { return instance_; }
    DWORD MainThreadId() const noexcept { return mainThreadId_; }

    // Each under the module's lock, for the calling thread.
    bool AddMessageLoop(CMessageLoop* loop);
    bool RemoveMessageLoop();
    CMessageLoop* GetMessageLoop() const;

private:
    class Lock;

    HINSTANCE instance_ = nullptr;
    DWORD mainThreadId_ = 0;
    bool initialised_ = false;
    mutable CRITICAL_SECTION lock_{};
    std::map<DWORD, CMessageLoop*> loops_;
};

// The process's one module.
CAppModule& AppModule() noexcept;

}  // namespace quillon
