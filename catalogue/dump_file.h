#pragma once
// Edit > Dump on the section list: the selected section's bytes into a file the user chooses. The file
// is written by WriteDumpFile (dump_writer.h), so a file of the user's is replaced whole or not at all.
#include <windows.h>

namespace quillon {

enum class DumpOutcome {
    NothingSelected,  // no row selected: nothing shown
    CannotOpen,       // the section could not be opened or mapped: "Cannot open section"
    Cancelled,        // the user cancelled the Save dialog
    Written,          // the file holds exactly the section's bytes
    CannotRead,       // some of the section's pages cannot be read: "Cannot read section"; file untouched
    CannotWrite,      // the file could not be written or replaced: "Cannot write file"; file untouched
};

// Dumps the selected section with the lowest index: opens and maps it read-only, lets the user choose
// the file in the Save dialog owned by `owner`, writes it, and releases the view on every path.
DumpOutcome DumpSelectedSection(HWND list, HWND owner) noexcept;

}  // namespace quillon
