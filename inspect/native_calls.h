#pragma once
// The few native routines and records the facts need that the Win32 headers do not declare.
// Resolved from ntdll at run time, like catalogue/section_name.cpp does, so a missing routine
// makes one fact unavailable instead of stopping the program from loading.
#include <windows.h>
#include <winternl.h>

#include <cstdint>
#include <string>

namespace quillon::native {

// SectionBasicInformation of NtQuerySection.
struct SectionBasicInformation {
    void* baseAddress;
    ULONG allocationAttributes;
    LARGE_INTEGER maximumSize;
};

// One record of SystemExtendedHandleInformation (class 64).
struct HandleEntryEx {
    void* object;
    ULONG_PTR uniqueProcessId;
    ULONG_PTR handleValue;
    ULONG grantedAccess;
    USHORT creatorBackTraceIndex;
    USHORT objectTypeIndex;
    ULONG handleAttributes;
    ULONG reserved;
};
#if defined(_WIN64)
static_assert(sizeof(HandleEntryEx) == 40, "64-bit handle record");
#else
static_assert(sizeof(HandleEntryEx) == 28, "32-bit handle record");
#endif

struct HandleTableEx {
    ULONG_PTR numberOfHandles;
    ULONG_PTR reserved;
    HandleEntryEx handles[1];
};

constexpr ULONG kSystemProcessInformation = 5;
constexpr ULONG kSystemExtendedHandleInformation = 64;
constexpr ULONG kObjectNameInformation = 1;
constexpr NTSTATUS kInfoLengthMismatch = static_cast<NTSTATUS>(0xC0000004L);
constexpr NTSTATUS kBufferTooSmall = static_cast<NTSTATUS>(0xC0000023L);
constexpr NTSTATUS kBufferOverflow = static_cast<NTSTATUS>(0x80000005L);

NTSTATUS QuerySection(HANDLE section, SectionBasicInformation& info) noexcept;
NTSTATUS QuerySystemInformation(ULONG infoClass, void* buffer, ULONG length, ULONG* needed) noexcept;
NTSTATUS QueryObject(HANDLE handle, ULONG infoClass, void* buffer, ULONG length, ULONG* needed) noexcept;

// A short reason for an NTSTATUS failure, for "unavailable: <reason>".
const wchar_t* ReasonForStatus(NTSTATUS status) noexcept;
// The same for a Win32 error code.
const wchar_t* ReasonForError(DWORD error) noexcept;

}  // namespace quillon::native
