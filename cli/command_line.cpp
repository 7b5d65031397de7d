#include "cli/command_line.h"

#include <cwchar>

#include "cli/number_text.h"

namespace quillon::cli {

namespace {

const OptionSpec* FindOption(const CommandSpec& command, std::wstring_view name) noexcept {
    for (std::size_t i = 0; i < command.optionCount; ++i)
        if (name == command.options[i].name) return &command.options[i];
    return nullptr;
}

bool IsChoice(const wchar_t* choices, std::wstring_view word) noexcept {
    std::wstring_view rest = choices;
    while (!rest.empty()) {
        const std::size_t bar = rest.find(L'|');
        if (rest.substr(0, bar) == word) return true;
        if (bar == std::wstring_view::npos) break;
        rest.remove_prefix(bar + 1);
    }
    return false;
}

std::wstring ChoiceList(const wchar_t* choices) {
    std::wstring list;
    for (const wchar_t* c = choices; *c; ++c) {
        if (*c == L'|')
            list += L", ";
        else
            list.push_back(*c);
    }
    return list;
}

// Checks one value against its option; an empty result means it is fine.
std::wstring ValueProblem(const OptionSpec& option, const std::wstring& value) {
    if (option.kind == OptionKind::Number) {
        std::uint64_t number = 0;
        if (!ParseCount(value, number))
            return std::wstring(option.name) + L" needs a decimal or 0x-hex number, not \"" + value + L"\"";
    } else if (option.kind == OptionKind::Choice && !IsChoice(option.value, value)) {
        return std::wstring(option.name) + L" takes " + ChoiceList(option.value) + L", not \"" + value + L"\"";
    }
    return {};
}

// The placeholder of operand `index` in the usage line: "FILE" for the second of "NAME FILE".
std::wstring OperandName(const CommandSpec& command, std::size_t index) {
    std::wstring_view rest = command.operands;
    for (std::size_t i = 0; i < index && !rest.empty(); ++i) {
        const std::size_t space = rest.find(L' ');
        rest = space == std::wstring_view::npos ? std::wstring_view() : rest.substr(space + 1);
    }
    return std::wstring(rest.substr(0, rest.find(L' ')));
}

// "--format text|tsv|json", "--fill-unreadable=00", "--count N", "--hex".
std::wstring OptionForm(const OptionSpec& option) {
    std::wstring form = option.name;
    if (option.kind != OptionKind::Flag) {
        form += option.attached ? L"=" : L" ";
        form += option.value;
    }
    return form;
}

std::wstring UsageLine(const CommandSpec& command) {
    std::wstring line = L"usage: quillon-cli ";
    line += command.name;
    if (*command.operands) {
        line += L" ";
        line += command.operands;
    }
    // Options of one group share a bracket: [--hex|--text|--utf16].
    for (std::size_t i = 0; i < command.optionCount; ++i) {
        const OptionSpec& option = command.options[i];
        bool shown = false;
        for (std::size_t j = 0; j < i && !shown; ++j) shown = option.group != 0 && command.options[j].group == option.group;
        if (shown) continue;
        line += L" [" + OptionForm(option);
        for (std::size_t j = i + 1; j < command.optionCount; ++j)
            if (option.group != 0 && command.options[j].group == option.group) line += L"|" + OptionForm(command.options[j]);
        line += L"]";
    }
    return line + L"\n";
}

std::wstring OptionLines(const CommandSpec& command) {
    std::size_t width = 0;
    for (std::size_t i = 0; i < command.optionCount; ++i) {
        const std::size_t length = OptionForm(command.options[i]).size();
        if (length > width) width = length;
    }
    std::wstring lines;
    for (std::size_t i = 0; i < command.optionCount; ++i) {
        const std::wstring form = OptionForm(command.options[i]);
        lines += L"  " + form + std::wstring(width - form.size() + 2, L' ') + command.options[i].help + L"\n";
    }
    return lines;
}

}  // namespace

bool Invocation::Has(const wchar_t* name) const noexcept {
    for (const auto& given : options)
        if (std::wcscmp(given.first->name, name) == 0) return true;
    return false;
}

std::wstring Invocation::Text(const wchar_t* name, const wchar_t* fallback) const {
    for (const auto& given : options)
        if (std::wcscmp(given.first->name, name) == 0) return given.second;
    return fallback;
}

std::uint64_t Invocation::Number(const wchar_t* name, std::uint64_t fallback) const noexcept {
    for (const auto& given : options) {
        std::uint64_t value = 0;
        if (std::wcscmp(given.first->name, name) == 0 && ParseCount(given.second, value)) return value;
    }
    return fallback;
}

ParseOutcome ParseArguments(const CommandSpec& command, const std::vector<std::wstring>& args, Invocation& invocation,
                            std::wstring& problem) {
    invocation = Invocation{};
    invocation.command = &command;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::wstring& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != L'-') {
            invocation.operands.push_back(arg);
            continue;
        }
        if (arg == L"--") {
            optionsEnded = true;
            continue;
        }
        if (arg == L"--help") return ParseOutcome::Help;
        const std::size_t equals = arg.find(L'=');
        const std::wstring name = arg.substr(0, equals);
        const OptionSpec* option = FindOption(command, name);
        if (!option) {
            problem = L"unknown option " + name;
            return ParseOutcome::Bad;
        }
        for (const auto& given : invocation.options) {
            if (given.first == option) {
                problem = name + L" is given twice";
                return ParseOutcome::Bad;
            }
            if (option->group != 0 && given.first->group == option->group) {
                problem = std::wstring(given.first->name) + L" and " + name + L" exclude each other";
                return ParseOutcome::Bad;
            }
        }
        std::wstring value;
        if (option->kind == OptionKind::Flag) {
            if (equals != std::wstring::npos) {
                problem = name + L" takes no value";
                return ParseOutcome::Bad;
            }
        } else if (equals != std::wstring::npos) {
            value = arg.substr(equals + 1);
        } else if (i + 1 < args.size()) {
            value = args[++i];
        } else {
            problem = name + L" needs a value";
            return ParseOutcome::Bad;
        }
        problem = ValueProblem(*option, value);
        if (!problem.empty()) return ParseOutcome::Bad;
        invocation.options.emplace_back(option, std::move(value));
    }
    if (invocation.operands.size() < command.minOperands) {
        problem = L"missing " + OperandName(command, invocation.operands.size());
        return ParseOutcome::Bad;
    }
    if (invocation.operands.size() > command.maxOperands) {
        problem = L"unexpected argument \"" + invocation.operands[command.maxOperands] + L"\"";
        return ParseOutcome::Bad;
    }
    return ParseOutcome::Run;
}

std::wstring CommandUsage(const CommandSpec& command) { return UsageLine(command) + OptionLines(command); }

std::wstring CommandHelp(const CommandSpec& command) {
    return UsageLine(command) + L"\n" + command.description + (command.optionCount ? L"\n" : L"") + OptionLines(command);
}

std::wstring OverviewUsage() {
    std::wstring text =
        L"usage: quillon-cli <command> [arguments] [options]\n"
        L"       quillon-cli <command> --help\n"
        L"       quillon-cli --version\n"
        L"\n"
        L"Reads the named shared-memory sections of this machine; never writes into one.\n"
        L"\n"
        L"Commands:\n";
    std::size_t count = 0;
    const CommandSpec* commands = Commands(count);
    for (std::size_t i = 0; i < count; ++i) {
        std::wstring name = commands[i].name;
        name.resize(10, L' ');
        text += L"  " + name + commands[i].summary + L"\n";
    }
    text +=
        L"\n"
        L"Exit codes: 0 done (search: a match), 1 nothing matched or the section cannot be opened,\n"
        L"2 bad usage, 3 cannot read section, 4 cannot write file.\n"
        L"N is decimal or 0x-hex. \"--\" ends the options (for a PATTERN that starts with \"-\").\n";
    return text;
}

}  // namespace quillon::cli
