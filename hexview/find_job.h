#pragma once
// One search over the viewer's bytes on a worker thread, so the dialog keeps answering messages and
// Esc can stop it. The bytes stay mapped while the dialog runs, and the dialog waits for the thread
// before it goes, so the worker never outlives the view.
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <optional>
#include <thread>
#include <vector>

#include "hexview/byte_search.h"

namespace quillon {

class FindJob {
public:
    FindJob() = default;
    ~FindJob() { Stop(); }
    FindJob(const FindJob&) = delete;
    FindJob& operator=(const FindJob&) = delete;

    // Starts the search; `done` is posted to `notify` (wParam 0, lParam 0) when it ends, found,
    // not found or cancelled. False when a search is already running or the thread cannot start.
    bool Start(HWND notify, UINT done, const unsigned char* base, std::uint64_t size, BytePattern pattern,
               std::uint64_t start, SearchDirection direction);

    bool Running() const noexcept { return thread_.joinable(); }
    void Cancel() noexcept { cancel_ = true; }
    // Cancels and waits for the thread (a slice of the scan at most).
    void Stop() noexcept;

    // After `done` arrived: waits for the thread, and gives the result (empty: not found or
    // cancelled) and whether the search was cancelled.
    std::optional<std::uint64_t> Finish(bool& cancelled);

    // Progress in percent, 0 to 100, readable while the search runs.
    int Percent() const noexcept;

private:
    std::thread thread_;
    std::atomic<bool> cancel_{false};
    std::atomic<std::uint64_t> done_{0};
    std::atomic<std::uint64_t> total_{0};
    std::optional<std::uint64_t> result_;
};

}  // namespace quillon
