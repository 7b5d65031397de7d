#pragma once
// Walks a directory of the object namespace through the native routines of ntdll.dll and reports
// every object of type "Section", one entry at a time, in the directory's own order.
#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

namespace quillon {

// Looks up NtQueryDirectoryObject, NtOpenDirectoryObject and RtlInitUnicodeString (in that order,
// stopping at the first one missing). Returns true when all three are there; without them every walk
// finds nothing. Safe to call more than once.
bool ResolveNativeDirectoryRoutines() noexcept;

// True when the first seven characters of `typeName` are "Section", A-Z folded on both sides; the
// comparison stops at the type name's NUL, so a shorter name does not match.
bool IsSectionTypeName(const wchar_t* typeName) noexcept;

// Receives each section found: its name text (prefix + object name, each embedded NUL shown as "\0";
// NUL-terminated) and the text's length. The text is valid for the call only.
class SectionSink {
public:
    virtual void OnSection(const wchar_t* nameText, std::size_t length) = 0;

protected:
    ~SectionSink() = default;
};

// Walks the directory `path` (e.g. "\\BaseNamedObjects") and hands `sink` one name text per section,
// each starting with `prefix` (may be null). Entries are queried one per call into a 2,048-byte buffer;
// an entry whose record does not fit (a long name of any object) is queried again into a heap buffer
// of the length the system asks for, so no later entry is lost. A directory that cannot be opened or
// queried reports nothing more; any other failure mid-walk ends that walk.
void EnumerateDirectory(const wchar_t* path, const wchar_t* prefix, SectionSink& sink) noexcept;

// The names of the entries of type "Directory" in `path`, in the directory's order. Symbolic links and
// every other type are left out, and so are names that could not be part of a path or a row name (an
// embedded NUL or a backslash). Empty when the directory cannot be opened.
std::vector<std::wstring> SubDirectoryNames(const wchar_t* path);

// The session directory's path, "\Sessions\<id>\BaseNamedObjects".
std::wstring SessionDirectoryPath(unsigned long sessionId);

inline constexpr const wchar_t* kGlobalDirectoryPath = L"\\BaseNamedObjects";
inline constexpr const wchar_t* kGlobalPrefix = L"Global\\";

}  // namespace quillon
