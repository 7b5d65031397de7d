// quillon-cli info: the Properties facts of one section, gathered by the same window-free code.
#include <string>

#include "catalogue/section_name.h"
#include "cli/commands.h"
#include "cli/exit_codes.h"
#include "cli/json_writer.h"
#include "cli/section_access.h"
#include "common/unique_resource.h"
#include "inspect/section_report.h"

namespace quillon::cli {

namespace {

// "Object path" -> "objectPath", "Security (SDDL)" -> "securitySDDL", "Access for AppContainers" ->
// "accessForAppContainers": words are runs of letters and digits; the first is lowered (wholly when it
// is all capitals), each later one starts with a capital.
std::wstring CamelCase(const std::wstring& label) {
    auto isWordChar = [](wchar_t c) { return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9'); };
    auto lower = [](wchar_t c) { return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c; };
    auto upper = [](wchar_t c) { return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - L'a' + L'A') : c; };
    std::wstring key;
    std::size_t i = 0;
    while (i < label.size()) {
        while (i < label.size() && !isWordChar(label[i])) ++i;
        std::size_t end = i;
        while (end < label.size() && isWordChar(label[end])) ++end;
        if (end == i) break;
        std::wstring word = label.substr(i, end - i);
        if (key.empty()) {
            bool capitals = true;
            for (wchar_t c : word) capitals = capitals && !(c >= L'a' && c <= L'z');
            if (capitals)
                for (wchar_t& c : word) c = lower(c);
            else
                word[0] = lower(word[0]);
        } else {
            word[0] = upper(word[0]);
        }
        key += word;
        i = end;
    }
    return key;
}

void WriteJson(const SectionReport& report, ConsoleStream& out) {
    JsonWriter json(out.Buffer());
    json.BeginObject();
    for (const SectionFact& fact : report.facts) {
        json.Key(CamelCase(fact.field));
        if (fact.available) {
            json.String(fact.value);
        } else {
            json.BeginObject();
            json.Key(L"unavailable");
            json.String(fact.value);
            json.EndObject();
        }
    }
    json.Key(L"warnings");
    json.BeginArray();
    for (const std::wstring& warning : report.warnings) json.String(warning);
    json.EndArray();
    json.EndObject();
    out << '\n';
}

// The dialog's copy text with the console's LF line ends.
void WriteText(const SectionReport& report, ConsoleStream& out) {
    const std::wstring text = FormatReportText(report);
    std::wstring lines;
    lines.reserve(text.size());
    for (wchar_t c : text)
        if (c != L'\r') lines.push_back(c);
    out << lines;
}

// Whether the section is there at all: the facts need one of these accesses each, and a report
// of a section that none of them reaches would be a list of failures.
HRESULT ReachSection(const std::wstring& name) {
    static const ACCESS_MASK kAccesses[] = {SECTION_QUERY, READ_CONTROL, FILE_MAP_READ};
    HRESULT status = E_FAIL;
    for (ACCESS_MASK access : kAccesses) {
        UniqueHandle section;
        const HRESULT opened = OpenSectionByName(name, access, section);
        if (opened >= 0) return opened;
        // A denial says more than the failures after it.
        if (status == E_FAIL || opened == HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED)) status = opened;
    }
    return status;
}

}  // namespace

int RunInfo(const Invocation& invocation, CliContext& context) {
    const std::wstring& name = invocation.operands[0];
    const HRESULT reached = ReachSection(name);
    if (reached < 0) {
        context.Error(name, StatusText(reached));
        return kExitNothing;
    }
    const SectionReport report = GatherSectionReport(name);
    if (invocation.Text(L"--format", L"text") == L"json")
        WriteJson(report, context.out);
    else
        WriteText(report, context.out);
    return kExitDone;
}

}  // namespace quillon::cli
