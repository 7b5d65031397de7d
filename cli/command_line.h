#pragma once
// Parsing one command's arguments against its row of the table, and the usage texts built from it.
#include <string>
#include <vector>

#include "cli/command_table.h"

namespace quillon::cli {

enum class ParseOutcome { Run, Help, Bad };

// Fills `invocation` from `args` (the arguments after the command's name). On Bad, `problem` says why
// in a few words ("unknown option --foo"). "--" ends the options; "--help" anywhere before it asks for
// the command's help.
ParseOutcome ParseArguments(const CommandSpec& command, const std::vector<std::wstring>& args, Invocation& invocation,
                            std::wstring& problem);

// "usage: quillon-cli list [--all-namespaces] [--format text|tsv|json]" and a line per option.
std::wstring CommandUsage(const CommandSpec& command);
// The usage line, the description and a line per option.
std::wstring CommandHelp(const CommandSpec& command);
// The program's overview: how to call it and every command's summary.
std::wstring OverviewUsage();

}  // namespace quillon::cli
