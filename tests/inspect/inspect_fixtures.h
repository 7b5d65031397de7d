#pragma once
// Sections with the shapes the report tests need: any SDDL, reserved with some pages committed,
// backed by a file the test wrote.
#include <windows.h>

#include <string>

#include "common/unique_resource.h"
#include "inspect/section_report.h"

namespace quillon::test {

// Creates a named section (`name` is what the list shows: "X" or "Global\X"). `sddl` may be empty
// for the default security. `file` may be INVALID_HANDLE_VALUE for a paging-file section.
UniqueHandle CreateSection(const std::wstring& name, DWORD protectAndFlags, DWORD size, const wchar_t* sddl,
                           HANDLE file = INVALID_HANDLE_VALUE);

// Commits the first `bytes` of a SEC_RESERVE section through a writable view of the creator's own.
bool CommitFront(HANDLE section, DWORD bytes);

// The fact with that label, or null.
const SectionFact* FindFact(const SectionReport& report, const wchar_t* field);

// The report's text, as narrow UTF-8 for test output.
std::string Utf8(const std::wstring& text);

// True under Wine, whose access checks ignore mandatory labels.
bool RunningUnderWine();

}  // namespace quillon::test
