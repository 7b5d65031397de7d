#include "common/safe_read.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "common/readable_memory.h"

namespace quillon {

namespace {

// Under Wine every ReadProcessMemory is a round trip through the wine server that carries the bytes,
// so one call never asks for more than this (a 2 GiB reply ends the process there).
constexpr std::size_t kMaxReadChunk = std::size_t{1} << 20;
constexpr std::uintptr_t kPageSize = 4096;

bool ReadChunks(const unsigned char* from, unsigned char* to, std::size_t count) noexcept {
    const HANDLE self = ::GetCurrentProcess();
    while (count > 0) {
        const std::size_t chunk = std::min(count, kMaxReadChunk);
        SIZE_T copied = 0;
        if (!::ReadProcessMemory(self, from, to, chunk, &copied) || copied != chunk) return false;
        from += chunk;
        to += chunk;
        count -= chunk;
    }
    return true;
}

void MarkUnreadable(unsigned char* to, unsigned char* readable, std::size_t count) noexcept {
    std::memset(to, 0, count);
    std::memset(readable, 0, count);
}

// A run that VirtualQuery calls readable: in one go, or, when some page of it fails (a file that
// shrank under its view), page by page so that the good pages still show.
std::size_t ReadRun(const unsigned char* from, unsigned char* to, unsigned char* readable, std::size_t count) noexcept {
    if (ReadChunks(from, to, count)) {
        std::memset(readable, 1, count);
        return count;
    }
    std::size_t read = 0;
    std::size_t done = 0;
    while (done < count) {
        const auto at = reinterpret_cast<std::uintptr_t>(from + done);
        const std::size_t piece = std::min<std::size_t>(count - done, kPageSize - at % kPageSize);
        if (ReadChunks(from + done, to + done, piece)) {
            std::memset(readable + done, 1, piece);
            read += piece;
        } else {
            MarkUnreadable(to + done, readable + done, piece);
        }
        done += piece;
    }
    return read;
}

}  // namespace

bool ReadBytesSafely(const void* from, void* to, std::size_t count) noexcept {
    if (count == 0) return true;
    if (!IsReadableRange(from, count)) return false;
    return ReadChunks(static_cast<const unsigned char*>(from), static_cast<unsigned char*>(to), count);
}

std::size_t ReadReadableBytes(const void* from, unsigned char* to, unsigned char* readable, std::size_t count) noexcept {
    const auto* at = static_cast<const unsigned char*>(from);
    if (reinterpret_cast<std::uintptr_t>(at) + count < reinterpret_cast<std::uintptr_t>(at)) {
        MarkUnreadable(to, readable, count);  // would wrap around the address space
        return 0;
    }
    ReadableMemory regions;
    std::size_t read = 0;
    std::size_t done = 0;
    while (done < count) {
        const bool readableRegion = regions.IsReadable(at + done);
        const auto regionEnd = regions.RegionEnd();
        const auto here = reinterpret_cast<std::uintptr_t>(at + done);
        const std::size_t run = regionEnd > here ? std::min<std::size_t>(count - done, regionEnd - here) : 1;
        if (readableRegion) {
            read += ReadRun(at + done, to + done, readable + done, run);
        } else {
            MarkUnreadable(to + done, readable + done, run);
        }
        done += run;
    }
    return read;
}

}  // namespace quillon
