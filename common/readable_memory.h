#pragma once
// Which bytes of the process's address space can be read without a fault. A view of a section may
// have pages that are only reserved, or pages set to no access; reading them would crash. VirtualQuery answers region by region (ReadProcessMemory is no test: under Wine
// it succeeds on reserved pages). One object serves one painting or copying pass and remembers the
// last region it asked about, so a run of bytes costs one query per region.
#include <windows.h>

#include <cstddef>
#include <cstdint>

namespace quillon {

class ReadableMemory {
public:
    bool IsReadable(const unsigned char* p) noexcept {
        if (!Covers(p)) Query(p);
        return readable_;
    }

    // True when every byte of [p, p + count) can be read.
    bool IsRangeReadable(const unsigned char* p, std::size_t count) noexcept;

    // The end (exclusive) of the region the last answer was about: every byte up to it shares that
    // answer.
    std::uintptr_t RegionEnd() const noexcept { return end_; }

private:
    bool Covers(const unsigned char* p) const noexcept {
        const auto at = reinterpret_cast<std::uintptr_t>(p);
        return at >= start_ && at < end_;
    }
    void Query(const unsigned char* p) noexcept;

    std::uintptr_t start_ = 0;
    std::uintptr_t end_ = 0;
    bool readable_ = false;
};

// Whether a region VirtualQuery described can be read: committed, and a protection that allows
// reading without a guard page.
bool IsReadableRegion(const MEMORY_BASIC_INFORMATION& info) noexcept;

// True when every byte of [bytes, bytes + size) can be read; a size beyond the address space cannot.
bool IsReadableRange(const void* bytes, std::uint64_t size) noexcept;

}  // namespace quillon
