#pragma once
// The one way the program reaches a section's bytes: open it by name for reading, map all of it
// read-only, and measure the view. No code path maps a section with any other access.
#include <windows.h>

#include <cstdint>

#include "common/unique_resource.h"

namespace quillon {

class SectionView {
public:
    SectionView() = default;
    ~SectionView() { Close(); }
    SectionView(const SectionView&) = delete;
    SectionView& operator=(const SectionView&) = delete;

    // Opens the section a row names (see section_name.h for the forms) and maps a read-only view of
    // the whole of it. Returns 0, or HRESULT_FROM_WIN32 of the failure (negative). A holder is opened
    // once; a second Open on an open holder fails with E_UNEXPECTED.
    HRESULT Open(const wchar_t* name) noexcept;

    // The length of the run of pages with the same state and protection at the view's base (the
    // section's size in whole pages when all of them are committed). 0 when nothing is mapped.
    std::uint64_t Size() const noexcept;

    const unsigned char* Base() const noexcept { return base_; }
    bool IsOpen() const noexcept { return base_ != nullptr; }

    // Unmaps the view, then closes the mapping; safe to call on an empty holder.
    void Close() noexcept;

private:
    static constexpr DWORD kAccess = FILE_MAP_READ;

    const unsigned char* base_ = nullptr;
    UniqueHandle mapping_;
};

// Opens, measures and releases `name` in one call. Writes `size` only on success.
bool QuerySectionSize(const wchar_t* name, std::uint64_t& size) noexcept;

}  // namespace quillon
