#pragma once
// What quillon-cli's exit code tells a script.

namespace quillon::cli {

enum ExitCode : int {
    kExitDone = 0,          // the command did its work (search: at least one match)
    kExitNothing = 1,       // nothing matched, or the section was not found or cannot be opened
    kExitUsage = 2,         // bad usage; the usage text went to stderr
    kExitCannotRead = 3,    // the section's bytes cannot be read
    kExitCannotWrite = 4,   // the output file cannot be written
};

}  // namespace quillon::cli
