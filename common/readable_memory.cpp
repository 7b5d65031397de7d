#include "common/readable_memory.h"

#include <cstdint>

namespace quillon {

bool IsReadableRegion(const MEMORY_BASIC_INFORMATION& info) noexcept {
    if (info.State != MEM_COMMIT) return false;
    if (info.Protect & (PAGE_GUARD | PAGE_NOACCESS)) return false;
    constexpr DWORD kReadable = PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READ |
                                PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
    return (info.Protect & kReadable) != 0;
}

void ReadableMemory::Query(const unsigned char* p) noexcept {
    const auto at = reinterpret_cast<std::uintptr_t>(p);
    MEMORY_BASIC_INFORMATION info{};
    if (::VirtualQuery(p, &info, sizeof(info)) == 0 || info.RegionSize == 0) {
        // Outside what the process can ask about: count this one byte as unreadable.
        start_ = at;
        end_ = at + 1;
        readable_ = false;
        return;
    }
    start_ = reinterpret_cast<std::uintptr_t>(info.BaseAddress);
    end_ = start_ + info.RegionSize;
    if (end_ < start_) end_ = UINTPTR_MAX;  // a region at the very top of the address space
    readable_ = IsReadableRegion(info);
}

bool ReadableMemory::IsRangeReadable(const unsigned char* p, std::size_t count) noexcept {
    auto at = reinterpret_cast<std::uintptr_t>(p);
    if (count == 0) return true;
    if (at + count < at) return false;  // would wrap around the address space
    const std::uintptr_t end = at + count;
    while (at < end) {
        const auto* byte = reinterpret_cast<const unsigned char*>(at);
        if (!IsReadable(byte)) return false;
        if (end_ <= at) return false;  // no progress: never loop forever on an odd answer
        at = end_;
    }
    return true;
}

bool IsReadableRange(const void* bytes, std::uint64_t size) noexcept {
    if (size > SIZE_MAX) return false;
    ReadableMemory readable;
    return readable.IsRangeReadable(static_cast<const unsigned char*>(bytes), static_cast<std::size_t>(size));
}

}  // namespace quillon
