#include "cli/command_table.h"

#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/exit_codes.h"
#include "cli/utf8.h"

namespace quillon::cli {

namespace {

constexpr const wchar_t* kVersion = L"1.0.0";

constexpr OptionKind kFlag = OptionKind::Flag;
constexpr OptionKind kNumber = OptionKind::Number;
constexpr OptionKind kChoice = OptionKind::Choice;

const OptionSpec kListOptions[] = {
    {L"--all-namespaces", kFlag, L"", false, 0, L"also list other sessions and AppContainer namespaces"},
    {L"--format", kChoice, L"text|tsv|json", false, 0, L"aligned columns (default), name<TAB>size lines, or JSON"},
};
const OptionSpec kInfoOptions[] = {
    {L"--format", kChoice, L"text|json", false, 0, L"\"Field: value\" lines (default) or a JSON object"},
};
const OptionSpec kHexdumpOptions[] = {
    {L"--offset", kNumber, L"N", false, 0, L"first byte to show (default 0)"},
    {L"--length", kNumber, L"N", false, 0, L"number of bytes to show (default: to the section's size)"},
};
const OptionSpec kDumpOptions[] = {
    {L"--offset", kNumber, L"N", false, 0, L"first byte to write (default 0)"},
    {L"--length", kNumber, L"N", false, 0, L"number of bytes to write (default: to the section's size)"},
    {L"--fill-unreadable", kChoice, L"00", true, 0, L"write zeros for unreadable bytes and list them on stderr"},
};
const OptionSpec kSearchOptions[] = {
    {L"--hex", kFlag, L"", false, 1, L"PATTERN is hex bytes, ?? for any byte (\"DE AD ?? EF\")"},
    {L"--text", kFlag, L"", false, 1, L"PATTERN is text, searched as UTF-8 (the default)"},
    {L"--utf16", kFlag, L"", false, 1, L"PATTERN is text, searched as UTF-16LE"},
    {L"--ignore-case", kFlag, L"", false, 0, L"text patterns match letters in either case"},
    {L"--all-namespaces", kFlag, L"", false, 0, L"with no NAME, search every namespace's sections"},
};
const OptionSpec kWatchOptions[] = {
    {L"--interval", kNumber, L"MS", false, 0, L"milliseconds between looks (default 1000)"},
    {L"--count", kNumber, L"N", false, 0, L"stop after N looks (default: until Ctrl+C)"},
    {L"--offset", kNumber, L"N", false, 0, L"first byte to watch (default 0)"},
    {L"--length", kNumber, L"N", false, 0, L"number of bytes to watch (default: to the section's size)"},
};

template <typename T, std::size_t N>
constexpr std::size_t CountOf(const T (&)[N]) noexcept {
    return N;
}

const CommandSpec kCommands[] = {
    {L"list", L"", 0, 0, kListOptions, CountOf(kListOptions), L"the named sections and their sizes, in the window's order",
     L"Lists the sections the window lists, in its order, with the size of a read-only view of each.\n"
     L"A section that cannot be opened shows \"[Access Denied]\"; in JSON its size is null and its\n"
     L"status says why.\n",
     &RunList},
    {L"info", L"NAME", 1, 1, kInfoOptions, CountOf(kInfoOptions), L"the Properties facts of one section",
     L"Shows what the Properties dialog shows for section NAME, with the same labels.\n", &RunInfo},
    {L"hexdump", L"NAME", 1, 1, kHexdumpOptions, CountOf(kHexdumpOptions), L"the bytes of a section as the hex viewer shows them",
     L"Prints NAME's bytes as the hex viewer shows them: offset, sixteen cells, the characters;\n"
     L"\"??\" stands for a byte that cannot be read. N is decimal or 0x-hex.\n",
     &RunHexdump},
    {L"dump", L"NAME FILE", 2, 2, kDumpOptions, CountOf(kDumpOptions), L"the bytes of a section into a file",
     L"Writes NAME's bytes into FILE: all of them or nothing. An existing FILE is replaced only by a\n"
     L"complete dump. Unreadable bytes fail the dump unless --fill-unreadable=00 is given.\n",
     &RunDump},
    {L"search", L"PATTERN [NAME...]", 1, kManyOperands, kSearchOptions, CountOf(kSearchOptions),
     L"find a pattern in sections", L"Finds PATTERN in each NAME, or in every listed section that can be read when no NAME is\n"
     L"given; prints name<TAB>0xOFFSET per match. Exits 1 when nothing matches.\n",
     &RunSearch},
    {L"watch", L"NAME", 1, 1, kWatchOptions, CountOf(kWatchOptions), L"print the bytes of a section that change",
     L"Looks at NAME's bytes every interval and prints each changed range: the time (UTC), the\n"
     L"range, the old and the new bytes (\"??\" where a byte cannot be read). Ctrl+C ends it.\n",
     &RunWatch},
};

const CommandSpec* FindCommand(const std::wstring& name) noexcept {
    for (const CommandSpec& command : kCommands)
        if (name == command.name) return &command;
    return nullptr;
}

int UsageError(CliContext& context, const wchar_t* what, const std::wstring& problem, const std::wstring& usage) {
    context.Error(what, ToUtf8(problem));
    context.err << usage;
    return kExitUsage;
}

}  // namespace

const CommandSpec* Commands(std::size_t& count) noexcept {
    count = CountOf(kCommands);
    return kCommands;
}

void CliContext::Error(std::wstring_view what, std::string_view why) {
    // Whatever the command printed so far goes first, so the two streams interleave sensibly.
    out.Flush();
    err << "quillon-cli: " << what << ": " << why << '\n';
    err.Flush();
}

int ReportUsageProblem(const Invocation& invocation, CliContext& context, std::wstring_view problem) {
    return UsageError(context, invocation.command->name, std::wstring(problem), CommandUsage(*invocation.command));
}

int RunCommandLine(const std::vector<std::wstring>& args, CliContext& context) {
    if (args.empty()) return UsageError(context, L"usage", L"no command given", OverviewUsage());
    const std::wstring& first = args[0];
    if (first == L"--help" || first == L"-h" || first == L"/?") {
        context.out << OverviewUsage();
        return kExitDone;
    }
    if (first == L"--version") {
        context.out << L"quillon-cli " << kVersion << '\n';
        return kExitDone;
    }
    const CommandSpec* command = FindCommand(first);
    if (!command) return UsageError(context, L"usage", L"unknown command \"" + first + L"\"", OverviewUsage());

    Invocation invocation;
    std::wstring problem;
    const std::vector<std::wstring> rest(args.begin() + 1, args.end());
    switch (ParseArguments(*command, rest, invocation, problem)) {
        case ParseOutcome::Help:
            context.out << CommandHelp(*command);
            return kExitDone;
        case ParseOutcome::Bad:
            return UsageError(context, command->name, problem, CommandUsage(*command));
        case ParseOutcome::Run:
            break;
    }
    return command->run(invocation, context);
}

}  // namespace quillon::cli
