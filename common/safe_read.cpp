#include "common/safe_read.h"

#include <windows.h>

#include "common/readable_memory.h"

namespace quillon {

bool ReadBytesSafely(const void* from, void* to, std::size_t count) noexcept {
    if (count == 0) return true;
    if (!IsReadableRange(from, count)) return false;
    SIZE_T copied = 0;
    return ::ReadProcessMemory(::GetCurrentProcess(), from, to, count, &copied) && copied == count;
}

}  // namespace quillon
