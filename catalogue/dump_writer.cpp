#include "catalogue/dump_writer.h"

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "catalogue/dump_writer_detail.h"
#include "common/readable_memory.h"
#include "common/safe_read.h"
#include "common/unique_resource.h"

namespace quillon {

namespace {

// Bytes are copied out of the view a chunk at a time: one fault-tolerant read and one write each.
constexpr std::size_t kChunkBytes = 1u << 20;

bool WriteWithWriteFile(HANDLE file, const unsigned char* data, DWORD count, void*) {
    while (count > 0) {
        DWORD written = 0;
        if (!::WriteFile(file, data, count, &written, nullptr) || written == 0) return false;
        data += written;
        count -= written;
    }
    return true;
}

std::size_t PageSize() noexcept {
    SYSTEM_INFO info{};
    ::GetSystemInfo(&info);
    return info.dwPageSize ? info.dwPageSize : 4096;
}

// The folder part of `path`, with its trailing separator ("" for a bare file name).
std::wstring FolderOf(const std::wstring& path) {
    const std::size_t slash = path.find_last_of(L"\\/");
    if (slash != std::wstring::npos) return path.substr(0, slash + 1);
    // "C:name" is relative to drive C's current folder; keep the drive so the file lands there.
    if (path.size() >= 2 && path[1] == L':') return path.substr(0, 2);
    return std::wstring();
}

// Creates a new, empty temporary file in the target's folder, so that the final move is a rename on
// the same volume. The name is fresh for this process and call; CREATE_NEW never opens another's file.
UniqueFile CreateTemporaryBeside(const std::wstring& target, std::wstring& tempPath) {
    static volatile LONG counter = 0;
    const std::wstring folder = FolderOf(target);
    for (int attempt = 0; attempt < 16; ++attempt) {
        wchar_t name[64];
        std::swprintf(name, 64, L"~qldump%lx_%lx.tmp", static_cast<unsigned long>(::GetCurrentProcessId()),
                      static_cast<unsigned long>(::InterlockedIncrement(&counter)));
        tempPath = folder + name;
        UniqueFile file(
            ::CreateFileW(tempPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file) return file;
        if (::GetLastError() != ERROR_FILE_EXISTS && ::GetLastError() != ERROR_ALREADY_EXISTS) break;
    }
    tempPath.clear();
    return UniqueFile();
}

void NoteFilled(std::vector<ByteRange>* ranges, std::uint64_t begin, std::uint64_t end) {
    if (!ranges) return;
    if (!ranges->empty() && ranges->back().end == begin)
        ranges->back().end = end;
    else
        ranges->push_back({begin, end});
}

// Copies [offset, offset + count) of the view into `buffer`. A chunk that cannot be read whole is read
// page by page, so only the pages that fail are zero-filled. False when a byte cannot be read and
// filling is off.
bool ReadChunk(const unsigned char* bytes, std::uint64_t offset, std::size_t count, unsigned char* buffer,
               bool fillUnreadable, std::vector<ByteRange>* filledRanges) {
    const unsigned char* from = bytes + static_cast<std::size_t>(offset);
    if (ReadBytesSafely(from, buffer, count)) return true;
    if (!fillUnreadable) return false;
    static const std::size_t page = PageSize();
    std::size_t done = 0;
    while (done < count) {
        const auto address = reinterpret_cast<std::uintptr_t>(from + done);
        std::size_t piece = page - static_cast<std::size_t>(address % page);  // up to the next page boundary
        if (piece > count - done) piece = count - done;
        if (!ReadBytesSafely(from + done, buffer + done, piece)) {
            std::memset(buffer + done, 0, piece);
            NoteFilled(filledRanges, offset + done, offset + done + piece);
        }
        done += piece;
    }
    return true;
}

}  // namespace

namespace detail {

DumpResult WriteDumpFileWith(const wchar_t* path, const unsigned char* bytes, std::uint64_t size, bool fillUnreadable,
                             std::vector<ByteRange>* filledRanges, DumpChunkWriter write, void* context) noexcept {
    if (filledRanges) filledRanges->clear();
    if (!path || !*path) return DumpResult::CannotWrite;
    // Bytes beyond the address space cannot be read, filled or not.
    if (size > SIZE_MAX) return DumpResult::CannotRead;
    if (size > 0 && !bytes) return DumpResult::CannotRead;
    // Nothing of the user's is touched for a dump that could not be complete.
    if (!fillUnreadable && !IsReadableRange(bytes, size)) return DumpResult::CannotRead;

    std::wstring tempPath;
    try {
        const std::wstring target(path);
        std::vector<unsigned char> buffer(static_cast<std::size_t>(size < kChunkBytes ? size : kChunkBytes));
        DumpResult result = DumpResult::Written;
        {
            UniqueFile temp = CreateTemporaryBeside(target, tempPath);
            if (!temp) return DumpResult::CannotWrite;
            for (std::uint64_t offset = 0; offset < size && result == DumpResult::Written;) {
                const std::size_t count = static_cast<std::size_t>(size - offset < kChunkBytes ? size - offset : kChunkBytes);
                if (!ReadChunk(bytes, offset, count, buffer.data(), fillUnreadable, filledRanges))
                    result = DumpResult::CannotRead;
                else if (!write(temp.Get(), buffer.data(), static_cast<DWORD>(count), context))
                    result = DumpResult::CannotWrite;
                offset += count;
            }
        }  // the temporary is closed before it is moved or deleted
        if (result == DumpResult::Written &&
            !::MoveFileExW(tempPath.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING))
            result = DumpResult::CannotWrite;
        if (result != DumpResult::Written) ::DeleteFileW(tempPath.c_str());
        return result;
    } catch (...) {
        // Out of memory for a path or the buffer.
        if (!tempPath.empty()) ::DeleteFileW(tempPath.c_str());
        return DumpResult::CannotWrite;
    }
}

}  // namespace detail

DumpResult WriteDumpFile(const wchar_t* path, const unsigned char* bytes, std::uint64_t size, bool fillUnreadable,
                         std::vector<ByteRange>* filledRanges) noexcept {
    return detail::WriteDumpFileWith(path, bytes, size, fillUnreadable, filledRanges, &WriteWithWriteFile, nullptr);
}

}  // namespace quillon
