#pragma once
// The one way code reads a section's bytes outside a plain memcpy-safe buffer. A page of a view can
// be reserved, set to no access, or backed by a file that shrank or went away; a direct read of such a
// page faults, and VirtualQuery cannot see the last case. This read asks VirtualQuery first (under
// Wine, ReadProcessMemory succeeds on reserved pages) and then copies with ReadProcessMemory on the
// own process, which reports an unreadable page as a failure instead of raising an exception (Wine
// answers ERROR_NOACCESS for the pages past the end of a truncated file; a direct read there raises
// an access violation).
#include <cstddef>

namespace quillon {

// Copies `count` bytes from `from` to `to`. Returns false, and leaves `to` unspecified, when any of
// the bytes cannot be read.
bool ReadBytesSafely(const void* from, void* to, std::size_t count) noexcept;

// Copies what can be read of [from, from + count): byte i of `to` gets the byte and readable[i] 1,
// or 0 and 0 when it cannot be read. Readability is decided page by page. Returns the number of
// bytes read (count when all of them could be).
std::size_t ReadReadableBytes(const void* from, unsigned char* to, unsigned char* readable, std::size_t count) noexcept;

}  // namespace quillon
