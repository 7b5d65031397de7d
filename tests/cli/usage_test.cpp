// quillon-cli's command line: bad usage exits 2 with the usage on stderr; --help and --version.
#include <gtest/gtest.h>

#include "tests/cli/cli_process.h"

namespace quillon::test {
namespace {

TEST(CliUsage, BadUsageExitsTwoWithTheProblemAndTheUsageOnStderr) {
    struct Case {
        std::vector<std::wstring> args;
        std::string problem;  // the first line of stderr
        std::string usage;    // how the usage text that follows starts
    };
    const Case cases[] = {
        {{}, "quillon-cli: usage: no command given", "usage: quillon-cli <command>"},
        {{L"frob"}, "quillon-cli: usage: unknown command \"frob\"", "usage: quillon-cli <command>"},
        {{L"list", L"--format", L"xml"}, "quillon-cli: list: --format takes text, tsv, json, not \"xml\"",
         "usage: quillon-cli list [--all-namespaces] [--format text|tsv|json]"},
        {{L"list", L"--format"}, "quillon-cli: list: --format needs a value", "usage: quillon-cli list"},
        {{L"list", L"--bogus"}, "quillon-cli: list: unknown option --bogus", "usage: quillon-cli list"},
        {{L"list", L"extra"}, "quillon-cli: list: unexpected argument \"extra\"", "usage: quillon-cli list"},
        {{L"list", L"--all-namespaces=yes"}, "quillon-cli: list: --all-namespaces takes no value", "usage: quillon-cli list"},
        {{L"watch"}, "quillon-cli: watch: missing NAME", "usage: quillon-cli watch NAME [--interval MS]"},
        {{L"dump", L"X"}, "quillon-cli: dump: missing FILE", "usage: quillon-cli dump NAME FILE [--offset N]"},
        {{L"search"}, "quillon-cli: search: missing PATTERN", "usage: quillon-cli search PATTERN [NAME...]"},
        {{L"info", L"X", L"--format", L"tsv"}, "quillon-cli: info: --format takes text, json, not \"tsv\"",
         "usage: quillon-cli info NAME [--format text|json]"},
        {{L"watch", L"X", L"--count", L"ten"}, "quillon-cli: watch: --count needs a decimal or 0x-hex number, not \"ten\"",
         "usage: quillon-cli watch"},
        {{L"watch", L"X", L"--interval=5", L"--interval", L"6"}, "quillon-cli: watch: --interval is given twice",
         "usage: quillon-cli watch"},
        {{L"watch", L"X", L"--offset", L"0x1g"}, "quillon-cli: watch: --offset needs a decimal or 0x-hex number, not \"0x1g\"",
         "usage: quillon-cli watch"},
    };
    for (const Case& c : cases) {
        std::string label;
        for (const std::wstring& arg : c.args) label += Utf8(arg) + " ";
        SCOPED_TRACE(label);
        const CliRun run = RunCli(c.args);
        EXPECT_EQ(run.exitCode, 2u);
        EXPECT_EQ(run.out, "");
        const std::vector<std::string> lines = Lines(run.err);
        ASSERT_GE(lines.size(), 2u) << run.err;
        EXPECT_EQ(lines[0], c.problem);
        EXPECT_EQ(lines[1].compare(0, c.usage.size(), c.usage), 0) << lines[1];
    }
}

TEST(CliUsage, HelpAndVersionGoToStdoutAndExitZero) {
    const CliRun version = RunCli({L"--version"});
    EXPECT_EQ(version.exitCode, 0u);
    EXPECT_EQ(version.out, "quillon-cli 1.0.0\n");
    EXPECT_EQ(version.err, "");

    const CliRun overview = RunCli({L"--help"});
    EXPECT_EQ(overview.exitCode, 0u);
    EXPECT_EQ(overview.err, "");
    for (const char* command : {"  list ", "  info ", "  hexdump ", "  dump ", "  search ", "  watch "}) EXPECT_NE(overview.out.find(command), std::string::npos) << command;

    // Arguments are taken in order: a bad option before --help is reported, --help before it wins.
    EXPECT_EQ(RunCli({L"watch", L"--bogus", L"--help"}).exitCode, 2u);
    EXPECT_EQ(RunCli({L"watch", L"--help", L"--bogus"}).exitCode, 0u);
    const CliRun watchHelp = RunCli({L"watch", L"--help"});
    EXPECT_EQ(watchHelp.exitCode, 0u);
    EXPECT_EQ(watchHelp.err, "");
    EXPECT_EQ(watchHelp.out.compare(0, 24, "usage: quillon-cli watch"), 0) << watchHelp.out;
    EXPECT_NE(watchHelp.out.find("  --interval MS"), std::string::npos) << watchHelp.out;
}

}  // namespace
}  // namespace quillon::test
