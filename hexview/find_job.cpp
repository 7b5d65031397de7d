#include "hexview/find_job.h"

#include <system_error>
#include <utility>

namespace quillon {

bool FindJob::Start(HWND notify, UINT done, const unsigned char* base, std::uint64_t size, BytePattern pattern,
                    std::uint64_t start, SearchDirection direction) {
    if (Running()) return false;
    cancel_ = false;
    done_ = 0;
    total_ = 0;
    result_.reset();
    try {
        thread_ = std::thread([this, notify, done, base, size, start, direction, pattern = std::move(pattern)] {
            try {
                // The readable ranges are found here too: on a large view even that takes a moment.
                const std::vector<OffsetSpan> spans = FindReadableSpans(base, size);
                result_ = FindPattern(base, size, spans, pattern, start, direction,
                                      [this](std::uint64_t d, std::uint64_t t) {
                                          done_ = d;
                                          total_ = t;
                                          return !cancel_.load();
                                      });
            } catch (...) {
                result_.reset();  // out of memory for the spans: reported as not found
            }
            ::PostMessageW(notify, done, 0, 0);
        });
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

void FindJob::Stop() noexcept {
    if (!thread_.joinable()) return;
    cancel_ = true;
    thread_.join();
}

std::optional<std::uint64_t> FindJob::Finish(bool& cancelled) {
    if (thread_.joinable()) thread_.join();
    cancelled = cancel_.load();
    if (cancelled) return std::nullopt;
    return result_;
}

int FindJob::Percent() const noexcept {
    const std::uint64_t total = total_.load();
    if (total == 0) return 0;
    return static_cast<int>(done_.load() * 100 / total);
}

}  // namespace quillon
