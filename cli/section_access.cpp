#include "cli/section_access.h"

#include "cli/commands.h"
#include "cli/exit_codes.h"
#include "cli/number_text.h"
#include "cli/utf8.h"

namespace quillon::cli {

std::string StatusText(HRESULT status) {
    if (status >= 0) return "ok";
    switch (HRESULT_FACILITY(status) == FACILITY_WIN32 ? HRESULT_CODE(status) : 0) {
        case ERROR_ACCESS_DENIED: return "access denied";
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND: return "not found";
        case ERROR_INVALID_HANDLE: return "not a section";
        case ERROR_NOT_ENOUGH_MEMORY:
        case ERROR_OUTOFMEMORY:
        case ERROR_COMMITMENT_LIMIT: return "no room for a view";
        case ERROR_INVALID_NAME:
        case ERROR_BAD_PATHNAME: return "invalid name";
        case ERROR_FILENAME_EXCED_RANGE: return "name too long";
        default: break;
    }
    if (status == E_OUTOFMEMORY) return "no room for a view";
    return "error " + HexText(static_cast<std::uint32_t>(status));
}

bool OpenForCommand(const std::wstring& name, SectionView& view, CliContext& context) {
    const HRESULT status = view.Open(name.c_str());
    if (status >= 0) return true;
    context.Error(name, StatusText(status));
    return false;
}

std::uint64_t ViewExtent(const unsigned char* base) noexcept {
    std::uint64_t extent = 0;
    const unsigned char* at = base;
    for (;;) {
        MEMORY_BASIC_INFORMATION info{};
        if (::VirtualQuery(at, &info, sizeof(info)) == 0 || info.AllocationBase != base || info.RegionSize == 0) break;
        extent += info.RegionSize;
        at += info.RegionSize;
    }
    return extent;
}

namespace {
std::wstring WideHex(std::uint64_t value) {
    const std::string text = HexText(value);
    return std::wstring(text.begin(), text.end());
}
}  // namespace

bool ResolveSpan(const Invocation& invocation, const SectionView& view, ByteSpan& span, std::wstring& problem) {
    const std::uint64_t size = view.Size();
    const std::uint64_t extent = ViewExtent(view.Base());
    const std::uint64_t offset = invocation.Number(L"--offset", 0);
    if (offset > extent) {
        problem = L"--offset " + std::wstring(invocation.Text(L"--offset", L"")) + L" is past the section's end (" +
                  WideHex(extent) + L")";
        return false;
    }
    std::uint64_t end = offset < size ? size : extent;
    if (invocation.Has(L"--length")) {
        const std::uint64_t length = invocation.Number(L"--length", 0);
        if (length > extent - offset) {
            problem = L"--length " + invocation.Text(L"--length", L"") + L" reaches past the section's end (" +
                      WideHex(extent) + L")";
            return false;
        }
        end = offset + length;
    }
    span.begin = offset;
    span.end = end;
    return true;
}

int OpenSectionSpan(const Invocation& invocation, CliContext& context, SectionView& view, ByteSpan& span) {
    if (!OpenForCommand(invocation.operands[0], view, context)) return kExitNothing;
    std::wstring problem;
    if (!ResolveSpan(invocation, view, span, problem)) return ReportUsageProblem(invocation, context, problem);
    return kExitDone;
}

}  // namespace quillon::cli
