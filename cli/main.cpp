// quillon-cli: the console door to Quillon's catalogue. Reads sections, never writes into one.
#include <windows.h>

#include <string>
#include <vector>

#include "cli/command_table.h"
#include "cli/console_stream.h"
#include "cli/exit_codes.h"

int wmain(int argc, wchar_t** argv) {
    quillon::cli::ConsoleStream out(STD_OUTPUT_HANDLE);
    quillon::cli::ConsoleStream err(STD_ERROR_HANDLE);
    quillon::cli::CliContext context{out, err};
    int code = quillon::cli::kExitDone;
    try {
        const std::vector<std::wstring> args(argv + (argc > 0 ? 1 : 0), argv + argc);
        code = quillon::cli::RunCommandLine(args, context);
    } catch (...) {
        context.Error(L"quillon-cli", "out of memory");
        code = quillon::cli::kExitNothing;
    }
    out.Flush();
    err.Flush();
    return code;
}
