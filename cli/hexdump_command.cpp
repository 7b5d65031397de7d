// quillon-cli hexdump: the section's bytes as the hex viewer's rows.
#include <algorithm>
#include <string>

#include "catalogue/section_view.h"
#include "cli/commands.h"
#include "cli/exit_codes.h"
#include "cli/section_access.h"
#include "hexview/hex_lines.h"

namespace quillon::cli {

namespace {

// Rows are formatted a block at a time, so a large section never becomes one huge text. A block is a
// whole number of rows, so no row is split between two blocks.
constexpr std::uint64_t kBlockBytes = 64 * 1024;

// The rows' text with LF line ends, as the console program writes every line.
void WriteLines(const std::wstring& text, ConsoleStream& out) {
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find(L"\r\n", start);
        if (end == std::wstring::npos) end = text.size();
        out << std::wstring_view(text).substr(start, end - start) << '\n';
        start = end + 2;
    }
}

}  // namespace

int RunHexdump(const Invocation& invocation, CliContext& context) {
    SectionView view;
    ByteSpan span;
    if (const int failed = OpenSectionSpan(invocation, context, view, span); failed != kExitDone) return failed;

    for (std::uint64_t from = span.begin; from < span.end;) {
        const std::uint64_t to = std::min(span.end, (from / kBlockBytes + 1) * kBlockBytes);
        WriteLines(FormatHexLines(view.Base(), from, to), context.out);
        if (context.out.Failed()) break;  // nobody reads any more
        from = to;
    }
    return kExitDone;
}

}  // namespace quillon::cli
