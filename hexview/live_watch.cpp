#include "hexview/live_watch.h"

#include <algorithm>

#include "common/safe_read.h"
#include "hexview/hex_edit_state.h"

namespace quillon {

void LiveWatch::Look(const unsigned char* data, std::int32_t size, std::int32_t topRow, std::int32_t rows,
                     std::uint32_t now, std::vector<std::int32_t>& repaint) {
    repaint.clear();
    rows = std::max(rows, 0);
    const std::size_t count = static_cast<std::size_t>(rows) * kBytesPerRow;
    fresh_.assign(count, 0);
    freshReadable_.assign(count, 0);
    freshStamps_.assign(count, 0);

    const std::int64_t first = std::int64_t{topRow} * kBytesPerRow;
    const std::int64_t available = std::clamp<std::int64_t>(std::int64_t{size} - first, 0, static_cast<std::int64_t>(count));
    if (data && available > 0) {
        ReadReadableBytes(data + first, fresh_.data(), freshReadable_.data(), static_cast<std::size_t>(available));
    }

    const std::uint32_t stamp = now + 1;  // never 0
    for (std::int32_t row = 0; row < rows; ++row) {
        // The same data row in the previous look, if it was on screen.
        const std::int64_t oldRow = std::int64_t{topRow} + row - top_;
        const bool known = top_ >= 0 && oldRow >= 0 && oldRow < rows_;
        bool changed = false;
        for (int i = 0; i < kBytesPerRow; ++i) {
            const std::size_t k = static_cast<std::size_t>(row) * kBytesPerRow + i;
            if (!known) continue;
            const std::size_t o = static_cast<std::size_t>(oldRow) * kBytesPerRow + i;
            std::uint32_t s = stamps_[o];
            if (fresh_[k] != bytes_[o] || freshReadable_[k] != readable_[o]) {
                s = stamp;
                changed = true;
            } else if (s != 0) {
                // A fading shade repaints every look, and once more when it has ended.
                changed = true;
                if (now - (s - 1) >= kFadeMs) s = 0;
            }
            freshStamps_[k] = s;
        }
        if (changed) repaint.push_back(row);
    }
    bytes_.swap(fresh_);
    readable_.swap(freshReadable_);
    stamps_.swap(freshStamps_);
    top_ = topRow;
    rows_ = rows;
}

std::uint32_t LiveWatch::Age(std::int64_t position, std::uint32_t now) const noexcept {
    if (top_ < 0) return kFadeMs;
    const std::int64_t k = position - std::int64_t{top_} * kBytesPerRow;
    if (k < 0 || k >= static_cast<std::int64_t>(stamps_.size())) return kFadeMs;
    const std::uint32_t s = stamps_[static_cast<std::size_t>(k)];
    if (s == 0) return kFadeMs;
    return std::min(now - (s - 1), kFadeMs);
}

void LiveWatch::Clear() noexcept {
    top_ = -1;
    rows_ = 0;
    // Give the memory back: a watch that is off holds nothing.
    std::vector<unsigned char>().swap(bytes_);
    std::vector<unsigned char>().swap(readable_);
    std::vector<std::uint32_t>().swap(stamps_);
    std::vector<unsigned char>().swap(fresh_);
    std::vector<unsigned char>().swap(freshReadable_);
    std::vector<std::uint32_t>().swap(freshStamps_);
}

}  // namespace quillon
