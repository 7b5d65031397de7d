#pragma once
// Dumping a section's bytes into a file: the file holds every byte of the view or does not exist.
#include <windows.h>

#include <cstdint>

#include "common/readable_memory.h"

namespace quillon {

// Creates (or replaces) `path` and writes all `size` bytes, looping on partial writes. When the file
// cannot be created the result is false and nothing is touched; when any write fails, or the bytes
// are not readable, the incomplete file is deleted and the result is false.
bool WriteDumpFile(const wchar_t* path, const unsigned char* bytes, std::uint64_t size) noexcept;

enum class DumpOutcome {
    NothingSelected,  // no row selected: nothing shown
    CannotOpen,       // the section could not be opened or mapped: "Cannot open section"
    Cancelled,        // the user cancelled the Save dialog
    Written,          // the file holds exactly the section's bytes
    CannotWrite,      // the file could not be created or written; no file is left behind
};

// Dumps the selected section with the lowest index: opens and maps it read-only, lets the user choose
// the file in the Save dialog owned by `owner`, writes it, and releases the view on every path.
DumpOutcome DumpSelectedSection(HWND list, HWND owner) noexcept;

}  // namespace quillon
