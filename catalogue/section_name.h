#pragma once
// What a row's name says about where its section lives, and how to open it from that name alone.
//
// The list shows four forms of name:
//   "Global\<name>"                    \BaseNamedObjects\<name>
//   "<name>"                           \Sessions\<own session>\BaseNamedObjects\<name>
//   "Session\<id>\<name>"              \Sessions\<id>\BaseNamedObjects\<name>
//   "AppContainer\<id>\<sid>\<name>"   \Sessions\<id>\AppContainerNamedObjects\<sid>\<name>
// An object's own name never holds a backslash, so inside <name> the two characters "\0" stand for
// an embedded NUL without ambiguity.
#include <windows.h>
#include <winternl.h>

#include <string>
#include <string_view>

#include "common/unique_resource.h"

namespace quillon {

// "\0" for every NUL in `raw`; every other character as it is.
std::wstring EscapeObjectName(std::wstring_view raw);

// The inverse of EscapeObjectName. False when a backslash is followed by anything but '0'.
bool UnescapeObjectName(std::wstring_view shown, std::wstring& raw);

struct SectionLocation {
    std::wstring objectPath;  // the full, exact path in the object namespace (may hold NULs)
    // True for "Global\<name>" and "<name>" rows without escapes: the Win32 open path can name them.
    bool win32Nameable = false;
};

// Resolves a row's name. False when the name is not one of the four forms.
bool LocateSection(std::wstring_view listName, unsigned long ownSessionId, SectionLocation& out);

// The calling process's session id.
unsigned long OwnSessionId() noexcept;

// Opens the section at an exact object-namespace path (which may hold NULs) with exactly `access`,
// through NtOpenSection. Returns its status.
NTSTATUS OpenSectionAtPath(const std::wstring& objectPath, ACCESS_MASK access, UniqueHandle& out) noexcept;

// Opens the section a row names with exactly `access`. Win32-nameable rows go through
// OpenFileMappingW, every other row through NtOpenSection with its exact counted path. So does a
// request for SECTION_QUERY: OpenFileMappingW reads that bit as FILE_MAP_COPY and asks for reading.
// Returns 0 or a negative HRESULT (HRESULT_FROM_WIN32 of the failure).
HRESULT OpenSectionByName(std::wstring_view listName, ACCESS_MASK access, UniqueHandle& out) noexcept;

}  // namespace quillon
