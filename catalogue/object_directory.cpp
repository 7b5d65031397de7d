#include "catalogue/object_directory.h"

#include <winternl.h>

#include <cstring>
#include <cwchar>

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
constexpr std::size_t kNameBufferChars = 1024;

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

void EnumerateDirectory(const wchar_t* path, const wchar_t* prefix, SectionSink& sink) noexcept {
    if (!g_routines.Complete()) return;

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
    wchar_t nameText[kNameBufferChars];
    const std::size_t prefixLength = prefix ? std::wcslen(prefix) : 0;

    ULONG context = 0;
    NTSTATUS status = g_routines.queryDirectory(directory.handle, buffer, kQueryBufferBytes, TRUE, TRUE, &context, nullptr);
    while (status >= 0) {
        const auto* entry = reinterpret_cast<const ObjectDirectoryInformation*>(buffer);
        if (IsSectionTypeName(entry->TypeName.Buffer)) {
            std::size_t nameLength = entry->Name.Length / sizeof(wchar_t);
            // The record fitted in the query buffer, so the name fits here; the clamp only guards
            // against a record that lies about its length.
            if (prefixLength + nameLength > kNameBufferChars - 1) nameLength = kNameBufferChars - 1 - prefixLength;
            std::memset(nameText, 0, sizeof(nameText));
            if (prefixLength) std::wmemcpy(nameText, prefix, prefixLength);
            if (nameLength) std::wmemcpy(nameText + prefixLength, entry->Name.Buffer, nameLength);
            sink.OnSection(nameText, prefixLength + nameLength);
        }
        status = g_routines.queryDirectory(directory.handle, buffer, kQueryBufferBytes, TRUE, FALSE, &context, nullptr);
    }
}

std::wstring SessionDirectoryPath(unsigned long sessionId) {
    wchar_t path[260];
    std::swprintf(path, 260, L"\\Sessions\\%lu\\BaseNamedObjects", sessionId);
    return path;
}

}  // namespace quillon
