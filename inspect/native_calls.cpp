#include "inspect/native_calls.h"

#include <cstring>

namespace quillon::native {

namespace {

constexpr NTSTATUS kNotImplemented = static_cast<NTSTATUS>(0xC0000002L);

template <typename Fn>
Fn NtdllRoutine(const char* name) noexcept {
    HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    return ntdll ? reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(ntdll, name))) : nullptr;
}

using NtQuerySectionFn = NTSTATUS(NTAPI*)(HANDLE, ULONG, PVOID, SIZE_T, PSIZE_T);
using NtQuerySystemInformationFn = NTSTATUS(NTAPI*)(ULONG, PVOID, ULONG, PULONG);
using NtQueryObjectFn = NTSTATUS(NTAPI*)(HANDLE, ULONG, PVOID, ULONG, PULONG);

}  // namespace

NTSTATUS QuerySection(HANDLE section, SectionBasicInformation& info) noexcept {
    static const auto query = NtdllRoutine<NtQuerySectionFn>("NtQuerySection");
    if (!query) return kNotImplemented;
    SIZE_T written = 0;
    return query(section, 0 /* SectionBasicInformation */, &info, sizeof(info), &written);
}

NTSTATUS QuerySystemInformation(ULONG infoClass, void* buffer, ULONG length, ULONG* needed) noexcept {
    static const auto query = NtdllRoutine<NtQuerySystemInformationFn>("NtQuerySystemInformation");
    if (!query) return kNotImplemented;
    return query(infoClass, buffer, length, needed);
}

NTSTATUS QueryObject(HANDLE handle, ULONG infoClass, void* buffer, ULONG length, ULONG* needed) noexcept {
    static const auto query = NtdllRoutine<NtQueryObjectFn>("NtQueryObject");
    if (!query) return kNotImplemented;
    return query(handle, infoClass, buffer, length, needed);
}

const wchar_t* ReasonForStatus(NTSTATUS status) noexcept {
    switch (static_cast<unsigned long>(status)) {
    case 0xC0000022UL: return L"access denied";
    case 0xC0000002UL:
    case 0xC00000BBUL:
    case 0xC0000003UL: return L"not supported here";
    case 0xC0000034UL:
    case 0xC000003AUL: return L"the section no longer exists";
    case 0xC0000008UL: return L"invalid handle";
    default: return L"the system refused the query";
    }
}

const wchar_t* ReasonForError(DWORD error) noexcept {
    switch (error) {
    case ERROR_ACCESS_DENIED: return L"access denied";
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME: return L"the section no longer exists";
    case ERROR_CALL_NOT_IMPLEMENTED:
    case ERROR_NOT_SUPPORTED:
    case ERROR_PROC_NOT_FOUND: return L"not supported here";
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY: return L"not enough address space to map it";
    default: return L"the system refused the request";
    }
}

}  // namespace quillon::native
