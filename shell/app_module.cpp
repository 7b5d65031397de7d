#include "shell/app_module.h"

namespace quillon {

class CAppModule::Lock {
public:
    explicit Lock(CRITICAL_SECTION& section) noexcept : section_(section) { ::EnterCriticalSection(&section_); }
    ~Lock() { ::LeaveCriticalSection(&section_); }
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;

private:
    CRITICAL_SECTION& section_;
};

void CAppModule::Init(HINSTANCE instance) {
    if (!initialised_) {
        ::InitializeCriticalSection(&lock_);
        initialised_ = true;
    }
    instance_ = instance;
    mainThreadId_ = ::GetCurrentThreadId();
    Lock guard(lock_);
    loops_.clear();
}

void CAppModule::Term() {
    if (!initialised_) return;
    {
        Lock guard(lock_);
        loops_.clear();
    }
    ::DeleteCriticalSection(&lock_);
    initialised_ = false;
}

bool CAppModule::AddMessageLoop(CMessageLoop* loop) {
    if (!initialised_) return false;
    Lock guard(lock_);
    return loops_.emplace(::GetCurrentThreadId(), loop).second;
}

bool CAppModule::RemoveMessageLoop() {
    if (!initialised_) return false;
    Lock guard(lock_);
    return loops_.erase(::GetCurrentThreadId()) != 0;
}

CMessageLoop* CAppModule::GetMessageLoop() const {
    if (!initialised_) return nullptr;
    Lock guard(lock_);
    const auto it = loops_.find(::GetCurrentThreadId());
    return it == loops_.end() ? nullptr : it->second;
}

CAppModule& AppModule() noexcept {
    static CAppModule module;
    return module;
}

}  // namespace quillon
