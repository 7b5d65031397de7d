#pragma once
// The command functions the table points to, one source file each.
#include "cli/command_table.h"

namespace quillon::cli {

int RunList(const Invocation& invocation, CliContext& context);
int RunInfo(const Invocation& invocation, CliContext& context);
int RunHexdump(const Invocation& invocation, CliContext& context);
int RunDump(const Invocation& invocation, CliContext& context);
int RunSearch(const Invocation& invocation, CliContext& context);
int RunWatch(const Invocation& invocation, CliContext& context);

// Reports bad usage found after parsing (a range past the section's end): the problem, then the
// command's usage, both on stderr. Returns kExitUsage.
int ReportUsageProblem(const Invocation& invocation, CliContext& context, std::wstring_view problem);

}  // namespace quillon::cli
