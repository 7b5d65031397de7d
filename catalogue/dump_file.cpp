#include "catalogue/dump_file.h"

#include <string>

#include "catalogue/dump_dialog.h"
#include "catalogue/list_rows.h"
#include "catalogue/section_view.h"
#include "common/unique_resource.h"

namespace quillon {

namespace {

// One WriteFile call never asks for more than this, so the count always fits a DWORD.
constexpr DWORD kMaxWriteChunk = 1u << 24;

bool IsReadableProtection(DWORD protect) noexcept {
    if (protect & PAGE_GUARD) return false;
    switch (protect & 0xFF) {
        case PAGE_READONLY:
        case PAGE_READWRITE:
        case PAGE_WRITECOPY:
        case PAGE_EXECUTE_READ:
        case PAGE_EXECUTE_READWRITE:
        case PAGE_EXECUTE_WRITECOPY:
            return true;
        default:
            return false;
    }
}

bool WriteAll(HANDLE file, const unsigned char* bytes, std::uint64_t size) noexcept {
    while (size > 0) {
        const DWORD chunk = size < kMaxWriteChunk ? static_cast<DWORD>(size) : kMaxWriteChunk;
        DWORD written = 0;
        if (!::WriteFile(file, bytes, chunk, &written, nullptr) || written == 0) return false;
        bytes += written;
        size -= written;
    }
    return true;
}

}  // namespace

bool IsReadableRange(const void* bytes, std::uint64_t size) noexcept {
    const auto* at = static_cast<const unsigned char*>(bytes);
    while (size > 0) {
        MEMORY_BASIC_INFORMATION info{};
        if (::VirtualQuery(at, &info, sizeof(info)) == 0) return false;
        if (info.State != MEM_COMMIT || !IsReadableProtection(info.Protect)) return false;
        const auto* regionEnd = static_cast<const unsigned char*>(info.BaseAddress) + info.RegionSize;
        const std::uint64_t inRegion = static_cast<std::uint64_t>(regionEnd - at);
        if (inRegion == 0) return false;
        if (inRegion >= size) return true;
        at = regionEnd;
        size -= inRegion;
    }
    return true;
}

bool WriteDumpFile(const wchar_t* path, const unsigned char* bytes, std::uint64_t size) noexcept {
    bool complete = false;
    {
        UniqueFile file(::CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) return false;
        complete = IsReadableRange(bytes, size) && WriteAll(file.Get(), bytes, size);
    }
    // A partial dump would pass for a good one, so it does not stay.
    if (!complete) ::DeleteFileW(path);
    return complete;
}

DumpOutcome DumpSelectedSection(HWND list, HWND owner) noexcept {
    try {
        const int row = FirstSelectedRow(list);
        if (row < 0) return DumpOutcome::NothingSelected;
        const std::wstring name = ReadCellText(list, row, 0);

        // The view stays mapped until the file is written, so the section cannot vanish meanwhile.
        SectionView view;
        if (view.Open(name.c_str()) < 0) return DumpOutcome::CannotOpen;
        const std::uint64_t size = view.Size();

        std::wstring path;
        if (!ChooseDumpPath(owner, path)) return DumpOutcome::Cancelled;
        return WriteDumpFile(path.c_str(), view.Base(), size) ? DumpOutcome::Written : DumpOutcome::CannotWrite;
    } catch (...) {
        // Out of memory for the name or the path: nothing was written.
        return DumpOutcome::Cancelled;
    }
}

}  // namespace quillon
