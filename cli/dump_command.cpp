// quillon-cli dump: the window's Dump rules from the command line, through the same writer.
#include "catalogue/dump_writer.h"
#include "catalogue/section_view.h"
#include "cli/commands.h"
#include "cli/exit_codes.h"
#include "cli/number_text.h"
#include "cli/section_access.h"

namespace quillon::cli {

int RunDump(const Invocation& invocation, CliContext& context) {
    const std::wstring& name = invocation.operands[0];
    const std::wstring& file = invocation.operands[1];
    SectionView view;
    ByteSpan span;
    if (const int failed = OpenSectionSpan(invocation, context, view, span); failed != kExitDone) return failed;

    // --fill-unreadable takes "00" only (the table checks it): zeros are the one filler offered.
    const bool fill = invocation.Has(L"--fill-unreadable");
    std::vector<ByteRange> filled;
    switch (WriteDumpFile(file.c_str(), view.Base() + span.begin, span.end - span.begin, fill, fill ? &filled : nullptr)) {
        case DumpResult::Written:
            for (const ByteRange& range : filled)
                context.Notice(name, "unreadable bytes " + HexText(span.begin + range.begin) + "-" +
                                         HexText(span.begin + range.end - 1) + " written as zeros");
            return kExitDone;
        case DumpResult::CannotRead:
            context.Error(name, "cannot read section");
            return kExitCannotRead;
        case DumpResult::CannotWrite:
            break;
    }
    context.Error(file, "cannot write file");
    return kExitCannotWrite;
}

}  // namespace quillon::cli
