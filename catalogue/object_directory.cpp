#include "catalogue/object_directory.h"

#include <winternl.h>

#include <cstring>
#include <cwchar>
#include <string_view>

namespace quillon {

namespace {

// The record NtQueryDirectoryObject writes: two counted strings whose characters follow in the buffer.
struct ObjectDirectoryInformation {
    UNICODE_STRING Name;
    UNICODE_STRING TypeName;
};

using NtQueryDirectoryObjectFn = NTSTATUS(NTAPI*)(HANDLE, PVOID, ULONG, BOOLEAN, BOOLEAN, PULONG, PULONG);
using NtOpenDirectoryObjectFn = NTSTATUS(NTAPI*)(PHANDLE, ACCESS_MASK, POBJECT_ATTRIBUTES);
using RtlInitUnicodeStringFn = VOID(NTAPI*)(PUNICODE_STRING, PCWSTR);

struct NativeRoutines {
    NtQueryDirectoryObjectFn queryDirectory = nullptr;
    NtOpenDirectoryObjectFn openDirectory = nullptr;
    RtlInitUnicodeStringFn initUnicodeString = nullptr;

    bool Complete() const noexcept { return queryDirectory && openDirectory && initUnicodeString; }
};

NativeRoutines g_routines;

constexpr ACCESS_MASK kDirectoryQuery = 0x0001;
constexpr ULONG kQueryBufferBytes = 2048;

template <typename Fn>
Fn Lookup(HMODULE module, const char* name) noexcept {
    // GetProcAddress returns a generic FARPROC; the cast through void* names the real signature.
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

// Closes a directory handle from NtOpenDirectoryObject (an ordinary kernel handle).
struct DirectoryHandle {
    HANDLE handle = nullptr;
    ~DirectoryHandle() { if (handle) ::CloseHandle(handle); }
};

}  // namespace

bool ResolveNativeDirectoryRoutines() noexcept {
    if (g_routines.Complete()) return true;
    HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    if (!ntdll) return false;
    g_routines.queryDirectory = Lookup<NtQueryDirectoryObjectFn>(ntdll, "NtQueryDirectoryObject");
    if (g_routines.queryDirectory)
        g_routines.openDirectory = Lookup<NtOpenDirectoryObjectFn>(ntdll, "NtOpenDirectoryObject");
    if (g_routines.openDirectory)
        g_routines.initUnicodeString = Lookup<RtlInitUnicodeStringFn>(ntdll, "RtlInitUnicodeString");
    return g_routines.Complete();
}

bool IsSectionTypeName(const wchar_t* typeName) noexcept {
    static const wchar_t kSection[] = L"section";
    if (!typeName) return false;
    for (int i = 0; i < 7; ++i) {
        wchar_t c = typeName[i];
        if (c == L'\0') return false;
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
        if (c != kSection[i]) return false;
    }
    return true;
}

namespace {

constexpr NTSTATUS kBufferTooSmall = static_cast<NTSTATUS>(0xC0000023);
constexpr NTSTATUS kBufferOverflow = static_cast<NTSTATUS>(0x80000005);
// A record holds two counted strings of at most 65,534 bytes each: anything asking for more is not
// a directory record, and the walk ends rather than grow without bound.
constexpr ULONG kLargestRecordBytes = 1u << 18;

// Walks one directory, one entry per query, and hands each entry's record to `onEntry`, which returns
// false to stop. The fast path queries into a 2,048-byte buffer on the stack; a record that does not
// fit is queried again, with the same context and scan flag, into a heap buffer of the asked length.
template <typename OnEntry>
void WalkDirectoryEntries(const wchar_t* path, OnEntry&& onEntry) noexcept {
    if (!g_routines.Complete() || !path) return;

    UNICODE_STRING directoryName{};
    g_routines.initUnicodeString(&directoryName, path);
    // Zeroed and filled by name: MinGW's 64-bit OBJECT_ATTRIBUTES has padding members.
    OBJECT_ATTRIBUTES attributes;
    std::memset(&attributes, 0, sizeof(attributes));
    attributes.Length = sizeof(OBJECT_ATTRIBUTES);
    attributes.ObjectName = &directoryName;

    DirectoryHandle directory;
    if (g_routines.openDirectory(&directory.handle, kDirectoryQuery, &attributes) < 0) {
        directory.handle = nullptr;
        return;
    }

    // ULONG-aligned storage for the query record; its strings point into the same buffer.
    ULONG buffer[kQueryBufferBytes / sizeof(ULONG)];
    std::vector<ULONG> large;  // only for records that do not fit `buffer`
    try {
        ULONG context = 0;
        BOOLEAN restart = TRUE;
        for (;;) {
            const ULONG before = context;
            ULONG needed = 0;
            void* record = buffer;
            ULONG tried = kQueryBufferBytes;
            NTSTATUS status = g_routines.queryDirectory(directory.handle, buffer, tried, TRUE, restart, &context, &needed);
            while (status == kBufferTooSmall || status == kBufferOverflow) {
                // Grow to what the system asks for (at least twice what was just tried), and ask for the
                // same entry again. The heap buffer is kept for later long records of the walk.
                ULONG want = needed > tried ? needed : tried * 2;
                if (want > kLargestRecordBytes) return;
                want = (want + sizeof(ULONG) - 1) / sizeof(ULONG) * sizeof(ULONG);
                if (large.size() * sizeof(ULONG) < want) large.assign(want / sizeof(ULONG), 0);
                tried = static_cast<ULONG>(large.size() * sizeof(ULONG));
                context = before;
                needed = 0;
                record = large.data();
                status = g_routines.queryDirectory(directory.handle, large.data(), tried, TRUE, restart, &context, &needed);
            }
            if (status < 0) return;  // the end of the directory, or a failure that ends its walk
            restart = FALSE;
            if (!onEntry(*static_cast<const ObjectDirectoryInformation*>(record))) return;
        }
    } catch (...) {
        // No memory for a long record or a name text: the walk of this directory ends here.
    }
}

std::size_t CharCount(const UNICODE_STRING& text) noexcept {
    return text.Buffer ? text.Length / sizeof(wchar_t) : 0;
}

}  // namespace

void EnumerateDirectory(const wchar_t* path, const wchar_t* prefix, SectionSink& sink) noexcept {
    // One text reused for every row, so that a walk allocates only when a name is longer than any before.
    std::wstring nameText;
    const std::size_t prefixLength = prefix ? std::wcslen(prefix) : 0;
    WalkDirectoryEntries(path, [&](const ObjectDirectoryInformation& entry) {
        if (!IsSectionTypeName(entry.TypeName.Buffer)) return true;
        const wchar_t* name = entry.Name.Buffer;
        const std::size_t length = CharCount(entry.Name);
        nameText.assign(prefix ? prefix : L"", prefixLength);
        // An object name never holds a backslash, so "\0" stands for an embedded NUL unambiguously.
        if (length == 0 || std::wmemchr(name, L'\0', length) == nullptr) {
            if (length) nameText.append(name, length);
        } else {
            for (std::size_t k = 0; k < length; ++k) {
                if (name[k] == L'\0')
                    nameText.append(L"\\0");
                else
                    nameText.push_back(name[k]);
            }
        }
        sink.OnSection(nameText.c_str(), nameText.size());
        return true;
    });
}

std::vector<std::wstring> SubDirectoryNames(const wchar_t* path) {
    std::vector<std::wstring> names;
    WalkDirectoryEntries(path, [&](const ObjectDirectoryInformation& entry) {
        static const wchar_t kDirectory[] = L"Directory";
        const std::size_t typeLength = CharCount(entry.TypeName);
        if (typeLength != 9 || std::wmemcmp(entry.TypeName.Buffer, kDirectory, 9) != 0) return true;
        const std::wstring_view name(entry.Name.Buffer ? entry.Name.Buffer : L"", CharCount(entry.Name));
        if (name.empty() || name.find(L'\0') != std::wstring_view::npos || name.find(L'\\') != std::wstring_view::npos)
            return true;
        names.emplace_back(name);
        return true;
    });
    return names;
}

std::wstring SessionDirectoryPath(unsigned long sessionId) {
    wchar_t path[260];
    std::swprintf(path, 260, L"\\Sessions\\%lu\\BaseNamedObjects", sessionId);
    return path;
}

}  // namespace quillon
