#pragma once
// The one way code reads a section's bytes outside a plain memcpy-safe buffer. A page of a view can
// be reserved, set to no access, or backed by a file that shrank or went away; a direct read of such a
// page faults, and VirtualQuery cannot see the last case. This read asks VirtualQuery first (under
// Wine, ReadProcessMemory succeeds on reserved pages) and then copies with ReadProcessMemory on the
// own process, which reports an in-page error as a failure instead of raising it.
#include <cstddef>

namespace quillon {

// Copies `count` bytes from `from` to `to`. Returns false, and leaves `to` unspecified, when any of
// the bytes cannot be read.
bool ReadBytesSafely(const void* from, void* to, std::size_t count) noexcept;

}  // namespace quillon
