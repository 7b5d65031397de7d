#pragma once
// The dump writer with its file writes made replaceable, so that tests can make a write fail part-way
// (a full disk) and see the target left alone and no temporary file behind.
#include <windows.h>

#include <cstdint>
#include <vector>

#include "catalogue/dump_writer.h"

namespace quillon::detail {

// Writes `count` bytes to `file`; false on failure. The real one is WriteFile in a loop.
using DumpChunkWriter = bool (*)(HANDLE file, const unsigned char* data, DWORD count, void* context);

DumpResult WriteDumpFileWith(const wchar_t* path, const unsigned char* bytes, std::uint64_t size, bool fillUnreadable,
                             std::vector<ByteRange>* filledRanges, DumpChunkWriter write, void* context) noexcept;

}  // namespace quillon::detail
