#pragma once
// Facts read from a read-only view of the whole section mapped in this process: its regions and,
// for a file-backed section, the file behind it.
#include <string>
#include <vector>

#include "inspect/section_report.h"

namespace quillon {

// The regions of the view that begins at `base`, in address order, as offsets from `base`: every
// run of pages VirtualQuery reports for the view's allocation.
std::vector<ViewRegion> CollectViewRegions(const void* base);

// The drive path of the file mapped at `view` ("C:\dir\file"), or an empty string when no file is
// mapped there. `error` gets GetMappedFileNameW's error when the call fails.
std::wstring MappedFileDrivePath(const void* view, unsigned long& error);

// "\??\C:\x", "\\?\C:\x" and "\Device\HarddiskVolume3\x" (through the drive letters' device names) to
// "C:\x"; any other path as it is.
std::wstring DrivePathFromNativePath(const std::wstring& path);

}  // namespace quillon
