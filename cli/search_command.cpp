// quillon-cli search: the viewer's find over one, several or every listed section.
#include <string>
#include <vector>

#include "catalogue/object_directory.h"
#include "catalogue/section_name.h"
#include "catalogue/section_view.h"
#include "catalogue/section_walk.h"
#include "cli/commands.h"
#include "cli/exit_codes.h"
#include "cli/number_text.h"
#include "cli/section_access.h"
#include "hexview/byte_search.h"

namespace quillon::cli {

namespace {

struct NameList final : SectionSink {
    std::vector<std::wstring> names;
    bool failed = false;
    void OnSection(const wchar_t* nameText, std::size_t length) override {
        try {
            names.emplace_back(nameText, length);
        } catch (...) {
            failed = true;
        }
    }
};

// Prints "name<TAB>0xOFFSET" for every place the pattern starts in the section's view (overlapping
// matches included); returns how many there were.
std::uint64_t SearchView(const std::wstring& name, const SectionView& view, const BytePattern& pattern,
                         ConsoleStream& out) {
    const std::uint64_t size = view.Size();
    const std::vector<OffsetSpan> readable = FindReadableSpans(view.Base(), size);
    std::uint64_t matches = 0;
    std::uint64_t start = 0;
    while (start < size) {
        const auto found = FindPattern(view.Base(), size, readable, pattern, start, SearchDirection::Forward);
        if (!found) break;
        out << name << '\t' << HexText(*found) << '\n';
        ++matches;
        start = *found + 1;
    }
    out.Flush();
    return matches;
}

// The viewer's message for a refused pattern, in the form of the other error lines.
std::wstring PatternProblem(PatternError error) {
    std::wstring text = PatternErrorText(error);
    if (!text.empty() && text.back() == L'.') text.pop_back();
    if (!text.empty() && text[0] >= L'A' && text[0] <= L'Z') text[0] = static_cast<wchar_t>(text[0] - L'A' + L'a');
    return L"PATTERN: " + text;
}

}  // namespace

int RunSearch(const Invocation& invocation, CliContext& context) {
    const SearchMode mode = invocation.Has(L"--hex")     ? SearchMode::HexBytes
                            : invocation.Has(L"--utf16") ? SearchMode::Utf16Text
                                                         : SearchMode::Utf8Text;
    const ParsedPattern parsed = ParsePattern(invocation.operands[0], mode, !invocation.Has(L"--ignore-case"));
    if (!parsed.Ok()) return ReportUsageProblem(invocation, context, PatternProblem(parsed.error));

    std::uint64_t matches = 0;
    if (invocation.operands.size() > 1) {
        for (std::size_t i = 1; i < invocation.operands.size(); ++i) {
            SectionView view;
            if (OpenForCommand(invocation.operands[i], view, context))
                matches += SearchView(invocation.operands[i], view, parsed.pattern, context.out);
        }
    } else {
        // Every listed section that can be read; the others are passed over without a word, as their
        // rows would show "[Access Denied]".
        ResolveNativeDirectoryRoutines();
        NameList list;
        EnumerateSectionNames(OwnSessionId(), invocation.Has(L"--all-namespaces"), list);
        for (const std::wstring& name : list.names) {
            SectionView view;
            if (view.Open(name.c_str()) >= 0) matches += SearchView(name, view, parsed.pattern, context.out);
        }
        if (list.failed) context.Error(L"search", "out of memory; not every section was searched");
    }
    return matches > 0 ? kExitDone : kExitNothing;
}

}  // namespace quillon::cli
