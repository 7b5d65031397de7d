#pragma once
// The commands and their options as data: one table drives parsing, usage and --help, so a new
// option is one row, not another branch.
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "cli/console_stream.h"

namespace quillon::cli {

enum class OptionKind {
    Flag,    // present or not
    Number,  // decimal or 0x-hex, 64-bit
    Choice,  // one of the '|'-separated words in `value`
};

struct OptionSpec {
    const wchar_t* name;   // with its dashes, "--format"
    OptionKind kind;
    const wchar_t* value;  // the value's placeholder ("N", "MS") or, for a choice, "text|tsv|json"
    bool attached;         // shown as "--name=value" in the usage line (both forms are accepted)
    int group;             // options sharing a non-zero group exclude each other
    const wchar_t* help;
};

struct CommandSpec;

// A parsed command line: the command, its operands and the options given with their values.
struct Invocation {
    const CommandSpec* command = nullptr;
    std::vector<std::wstring> operands;
    std::vector<std::pair<const OptionSpec*, std::wstring>> options;

    bool Has(const wchar_t* name) const noexcept;
    // The value given for `name`, or `fallback` when the option is absent.
    std::wstring Text(const wchar_t* name, const wchar_t* fallback) const;
    std::uint64_t Number(const wchar_t* name, std::uint64_t fallback) const noexcept;
};

// Where a command writes: data to `out`, diagnostics to `err`.
struct CliContext {
    ConsoleStream& out;
    ConsoleStream& err;
    // One line on stderr, "quillon-cli: <what>: <why>".
    void Error(std::wstring_view what, std::string_view why);
    // A line of the same form that is no failure ("watching ...").
    void Notice(std::wstring_view what, std::string_view text) { Error(what, text); }
};

using CommandRun = int (*)(const Invocation&, CliContext&);

struct CommandSpec {
    const wchar_t* name;
    const wchar_t* operands;  // as the usage line shows them, "NAME FILE"
    std::size_t minOperands;
    std::size_t maxOperands;  // kManyOperands for no limit
    const OptionSpec* options;
    std::size_t optionCount;
    const wchar_t* summary;      // one line in the overview
    const wchar_t* description;  // what --help adds below the usage line
    CommandRun run;
};

inline constexpr std::size_t kManyOperands = static_cast<std::size_t>(-1);

// Every command, in the order the overview lists them.
const CommandSpec* Commands(std::size_t& count) noexcept;

// The whole program: parses `argv` (without the program's own name) against the table, runs the
// command and returns its exit code.
int RunCommandLine(const std::vector<std::wstring>& args, CliContext& context);

}  // namespace quillon::cli
