#pragma once
// Writing a section's bytes into a file so that the user's file is never half-written: the bytes go
// to a temporary file next to the target, which replaces the target only once every byte is written.
// An existing file is therefore either replaced by a complete dump or left exactly as it was.
// Window-free: the Dump command and the console program both write through it.
#include <cstdint>
#include <vector>

namespace quillon {

enum class DumpResult {
    Written,      // the target holds exactly `size` bytes
    CannotRead,   // some bytes could not be read (and were not to be filled); the target is untouched
    CannotWrite,  // the temporary file could not be made or written, or could not replace the target
};

struct ByteRange {
    std::uint64_t begin, end;  // [begin, end) offsets into `bytes`
};

// Writes [bytes, bytes + size) to `path`. Every byte is read through ReadBytesSafely.
// Without `fillUnreadable`, readability is checked before anything touches the target, and a read that
// fails later (a page that went away meanwhile) also gives CannotRead. With it, unreadable bytes are
// written as zeros and, when `filledRanges` is given, reported there (cleared first, merged, in order).
DumpResult WriteDumpFile(const wchar_t* path, const unsigned char* bytes, std::uint64_t size, bool fillUnreadable,
                         std::vector<ByteRange>* filledRanges) noexcept;

}  // namespace quillon
