#pragma once
// Opening the section a command names, and the byte range it works on.
#include <windows.h>

#include <cstdint>
#include <string>

#include "catalogue/section_view.h"
#include "cli/command_table.h"

namespace quillon::cli {

// What an open failure means, in the words the list's JSON and the error lines use: "access denied",
// "not found", ...
std::string StatusText(HRESULT status);

// Opens `name` read-only through the window's open path. On failure prints
// "quillon-cli: <name>: <status>" and returns false.
bool OpenForCommand(const std::wstring& name, SectionView& view, CliContext& context);

// The bytes a view can reach at all: the run of regions from `base` that belong to its mapping.
// SectionView::Size covers only the first run of pages of one state; an explicit range may go on
// into the rest of the view (reserved or no-access pages show as unreadable).
std::uint64_t ViewExtent(const unsigned char* base) noexcept;

struct ByteSpan {
    std::uint64_t begin = 0;
    std::uint64_t end = 0;
};

// The range --offset and --length ask for: from --offset (default 0) for --length bytes, or up to
// the view's size (the list's size) when no length is given. False, with the problem in words, when
// the range reaches past the view's extent.
bool ResolveSpan(const Invocation& invocation, const SectionView& view, ByteSpan& span, std::wstring& problem);

// What hexdump, dump and watch do first: open the section the first operand names and resolve the
// range. Returns kExitDone when both worked; otherwise the failure is reported and the return value is
// the exit code the command ends with.
int OpenSectionSpan(const Invocation& invocation, CliContext& context, SectionView& view, ByteSpan& span);

}  // namespace quillon::cli
