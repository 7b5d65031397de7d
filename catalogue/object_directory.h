#pragma once
// Walks a directory of the object namespace through the native routines of ntdll.dll and reports
// every object of type "Section", one entry at a time, in the directory's own order.
#include <windows.h>

#include <cstddef>
#include <string>

namespace quillon {

// Looks up NtQueryDirectoryObject, NtOpenDirectoryObject and RtlInitUnicodeString (in that order,
// stopping at the first one missing). Returns true when all three are there; without them every walk
// finds nothing. Safe to call more than once.
bool ResolveNativeDirectoryRoutines() noexcept;

// True when the first seven characters of `typeName` are "Section", A-Z folded on both sides; the
// comparison stops at the type name's NUL, so a shorter name does not match.
bool IsSectionTypeName(const wchar_t* typeName) noexcept;

// Receives each section found: its name text (prefix + object name) and the name's length.
class SectionSink {
public:
    virtual void OnSection(const wchar_t* nameText, std::size_t length) = 0;

protected:
    ~SectionSink() = default;
};

// Walks the directory `path` (e.g. "\\BaseNamedObjects") and hands `sink` one name text per section,
// each starting with `prefix` (may be null). A directory that cannot be opened or queried reports
// nothing more; a query that fails mid-walk ends that walk.
void EnumerateDirectory(const wchar_t* path, const wchar_t* prefix, SectionSink& sink) noexcept;

// The session directory's path, "\Sessions\<id>\BaseNamedObjects".
std::wstring SessionDirectoryPath(unsigned long sessionId);

inline constexpr const wchar_t* kGlobalDirectoryPath = L"\\BaseNamedObjects";
inline constexpr const wchar_t* kGlobalPrefix = L"Global\\";

}  // namespace quillon
