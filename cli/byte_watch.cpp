#include "cli/byte_watch.h"

#include <windows.h>

#include <algorithm>

#include "common/safe_read.h"

namespace quillon::cli {

namespace {

// Most looks find every page readable: one read per chunk; only a failed chunk is read page by page.
constexpr std::uint64_t kChunkBytes = 1 << 20;

constexpr char kHex[] = "0123456789ABCDEF";

void AppendCell(std::string& text, bool readable, unsigned char byte) {
    if (!text.empty()) text.push_back(' ');
    text.push_back(readable ? kHex[byte >> 4] : '?');
    text.push_back(readable ? kHex[byte & 0xF] : '?');
}

}  // namespace

ByteWatch::ByteWatch(const unsigned char* base, std::uint64_t begin, std::uint64_t end)
    : base_(base), begin_(begin), end_(end) {
    SYSTEM_INFO system{};
    ::GetSystemInfo(&system);
    pageSize_ = system.dwPageSize ? system.dwPageSize : 4096;
    bytes_.resize(static_cast<std::size_t>(end - begin));
    readable_.resize(end > begin ? static_cast<std::size_t>((end - 1) / pageSize_ - begin / pageSize_ + 1) : 0);
    ReadChunks([&](std::uint64_t at, std::uint64_t count, const unsigned char* bytes, bool readable) {
        readable_[static_cast<std::size_t>(at / pageSize_ - begin_ / pageSize_)] = readable;
        if (readable) std::copy(bytes, bytes + count, bytes_.begin() + static_cast<std::ptrdiff_t>(at - begin_));
    });
}

// Hands `visit` the range piece by piece: (offset, count, bytes read, readable), each piece within one
// page, in offset order.
template <typename Visit>
void ByteWatch::ReadChunks(Visit&& visit) {
    std::vector<unsigned char> chunk(static_cast<std::size_t>(std::min<std::uint64_t>(kChunkBytes, end_ - begin_)));
    for (std::uint64_t from = begin_; from < end_;) {
        const std::uint64_t to = std::min(end_, (from / kChunkBytes + 1) * kChunkBytes);
        const auto count = static_cast<std::size_t>(to - from);
        const bool whole = ReadBytesSafely(base_ + from, chunk.data(), count);
        for (std::uint64_t at = from; at < to;) {
            const std::uint64_t pageEnd = std::min(to, (at / pageSize_ + 1) * pageSize_);
            unsigned char* piece = chunk.data() + (at - from);
            const auto length = static_cast<std::size_t>(pageEnd - at);
            const bool readable = whole || ReadBytesSafely(base_ + at, piece, length);
            visit(at, pageEnd - at, piece, readable);
            at = pageEnd;
        }
        from = to;
    }
}

void ByteWatch::Look(const std::function<void(const ByteChange&)>& report) {
    ByteChange run{0, 0, {}, {}};
    bool open = false;
    ReadChunks([&](std::uint64_t at, std::uint64_t count, const unsigned char* bytes, bool readable) {
        const auto page = static_cast<std::size_t>(at / pageSize_ - begin_ / pageSize_);
        const bool wasReadable = readable_[page];
        unsigned char* old = bytes_.data() + (at - begin_);
        for (std::uint64_t k = 0; k < count; ++k) {
            const bool changed = readable != wasReadable || (readable && old[k] != bytes[k]);
            if (changed) {
                if (!open) {
                    run = ByteChange{at + k, at + k, {}, {}};
                    open = true;
                }
                AppendCell(run.before, wasReadable, old[k]);
                AppendCell(run.after, readable, bytes[k]);
                run.end = at + k + 1;
            } else if (open) {
                report(run);
                open = false;
            }
            if (readable) old[k] = bytes[k];
        }
        readable_[page] = readable;
    });
    if (open) report(run);
}

}  // namespace quillon::cli
