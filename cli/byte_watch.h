#pragma once
// Watching a byte range of a view for changes: a snapshot of the bytes (and of which pages could be
// read), and a comparison that reports each run of changed bytes and takes the new bytes as the next
// snapshot. Every read goes through ReadBytesSafely, so pages that become unreadable do no harm.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace quillon::cli {

struct ByteChange {
    std::uint64_t begin;  // offset of the first changed byte
    std::uint64_t end;    // one past the last
    std::string before;   // "00 1F ??": two hex digits per byte, "??" where the byte could not be read
    std::string after;
};

class ByteWatch {
public:
    // Watches [begin, end) of the view at `base`; takes the first snapshot at once.
    ByteWatch(const unsigned char* base, std::uint64_t begin, std::uint64_t end);

    // Compares the bytes now with the snapshot and calls `report` for every maximal run of bytes that
    // changed (a new value, or a page that became readable or unreadable), in offset order.
    void Look(const std::function<void(const ByteChange&)>& report);

private:
    template <typename Visit>
    void ReadChunks(Visit&& visit);

    const unsigned char* base_;
    std::uint64_t begin_;
    std::uint64_t end_;
    std::uint64_t pageSize_;
    std::vector<unsigned char> bytes_;
    std::vector<bool> readable_;  // one per page, from the page holding begin_
};

}  // namespace quillon::cli
