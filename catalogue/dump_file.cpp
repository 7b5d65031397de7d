#include "catalogue/dump_file.h"

#include <string>

#include "catalogue/dump_dialog.h"
#include "catalogue/list_rows.h"
#include "catalogue/section_view.h"
#include "common/unique_resource.h"
#include "common/wait_cursor.h"

namespace quillon {

namespace {

// One WriteFile call never asks for more than this, so the count always fits a DWORD.
constexpr DWORD kMaxWriteChunk = 1u << 24;

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

bool WriteDumpFile(const wchar_t* path, const unsigned char* bytes, std::uint64_t size) noexcept {
    bool complete = false;
    {
        UniqueFile file(::CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) return false;
        // Reading reserved or no-access pages would fault, so the dump asks first, region by region.
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
        WaitCursor busy;  // a large section takes seconds to write
        return WriteDumpFile(path.c_str(), view.Base(), size) ? DumpOutcome::Written : DumpOutcome::CannotWrite;
    } catch (...) {
        // Out of memory for the name or the path: nothing was written.
        return DumpOutcome::Cancelled;
    }
}

}  // namespace quillon
