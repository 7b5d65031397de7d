#include "catalogue/section_name.h"

#include <winternl.h>

#include <cstring>

namespace quillon {

namespace {

constexpr std::wstring_view kGlobal = L"Global\\";
constexpr std::wstring_view kSession = L"Session\\";
constexpr std::wstring_view kAppContainer = L"AppContainer\\";

bool StartsWith(std::wstring_view text, std::wstring_view head) noexcept {
    return text.size() >= head.size() && text.compare(0, head.size(), head) == 0;
}

// Takes the text up to the next backslash off the front of `rest`; false when there is none or the
// part is empty.
bool TakeComponent(std::wstring_view& rest, std::wstring_view& part) noexcept {
    const std::size_t slash = rest.find(L'\\');
    if (slash == std::wstring_view::npos || slash == 0) return false;
    part = rest.substr(0, slash);
    rest.remove_prefix(slash + 1);
    return true;
}

bool IsDecimal(std::wstring_view text) noexcept {
    if (text.empty() || text.size() > 10) return false;
    for (wchar_t c : text)
        if (c < L'0' || c > L'9') return false;
    return true;
}

HRESULT StatusFromLastError() noexcept {
    const DWORD error = ::GetLastError();
    return error == ERROR_SUCCESS ? E_FAIL : HRESULT_FROM_WIN32(error);
}

using NtOpenSectionFn = NTSTATUS(NTAPI*)(PHANDLE, ACCESS_MASK, POBJECT_ATTRIBUTES);
using RtlNtStatusToDosErrorFn = ULONG(NTAPI*)(NTSTATUS);

template <typename Fn>
Fn NtdllRoutine(const char* name) noexcept {
    HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    return ntdll ? reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(ntdll, name))) : nullptr;
}

}  // namespace

std::wstring EscapeObjectName(std::wstring_view raw) {
    std::wstring shown;
    shown.reserve(raw.size());
    for (wchar_t c : raw) {
        if (c == L'\0')
            shown.append(L"\\0");
        else
            shown.push_back(c);
    }
    return shown;
}

bool UnescapeObjectName(std::wstring_view shown, std::wstring& raw) {
    raw.clear();
    raw.reserve(shown.size());
    for (std::size_t i = 0; i < shown.size(); ++i) {
        if (shown[i] != L'\\') {
            raw.push_back(shown[i]);
            continue;
        }
        if (i + 1 >= shown.size() || shown[i + 1] != L'0') return false;
        raw.push_back(L'\0');
        ++i;
    }
    return true;
}

bool LocateSection(std::wstring_view listName, unsigned long ownSessionId, SectionLocation& out) {
    std::wstring directory;
    std::wstring_view rest = listName;
    bool nameable = false;
    if (StartsWith(rest, kGlobal)) {
        rest.remove_prefix(kGlobal.size());
        directory = L"\\BaseNamedObjects";
        nameable = true;
    } else if (StartsWith(rest, kSession)) {
        rest.remove_prefix(kSession.size());
        std::wstring_view id;
        if (!TakeComponent(rest, id) || !IsDecimal(id)) return false;
        directory = L"\\Sessions\\" + std::wstring(id) + L"\\BaseNamedObjects";
    } else if (StartsWith(rest, kAppContainer)) {
        rest.remove_prefix(kAppContainer.size());
        std::wstring_view id, sid;
        if (!TakeComponent(rest, id) || !IsDecimal(id) || !TakeComponent(rest, sid)) return false;
        directory = L"\\Sessions\\" + std::wstring(id) + L"\\AppContainerNamedObjects\\" + std::wstring(sid);
    } else {
        directory = L"\\Sessions\\" + std::to_wstring(ownSessionId) + L"\\BaseNamedObjects";
        nameable = true;
    }
    if (rest.empty()) return false;
    std::wstring raw;
    if (!UnescapeObjectName(rest, raw)) return false;
    out.win32Nameable = nameable && raw.size() == rest.size();
    out.objectPath = directory + L"\\" + raw;
    return true;
}

NTSTATUS OpenSectionAtPath(const std::wstring& objectPath, ACCESS_MASK access, UniqueHandle& out) noexcept {
    static const auto openSection = NtdllRoutine<NtOpenSectionFn>("NtOpenSection");
    if (!openSection) return static_cast<NTSTATUS>(0xC0000002L);  // STATUS_NOT_IMPLEMENTED
    // A counted string: the path may hold NULs, which a C string could not carry.
    if (objectPath.size() * sizeof(wchar_t) > 0xFFFE) return static_cast<NTSTATUS>(0xC0000033L);  // name invalid
    UNICODE_STRING name;
    name.Length = static_cast<USHORT>(objectPath.size() * sizeof(wchar_t));
    name.MaximumLength = name.Length;
    name.Buffer = const_cast<wchar_t*>(objectPath.data());
    // Zeroed and filled by name: MinGW's 64-bit OBJECT_ATTRIBUTES has padding members.
    OBJECT_ATTRIBUTES attributes;
    std::memset(&attributes, 0, sizeof(attributes));
    attributes.Length = sizeof(OBJECT_ATTRIBUTES);
    attributes.ObjectName = &name;
    HANDLE handle = nullptr;
    const NTSTATUS status = openSection(&handle, access, &attributes);
    if (status >= 0) out.Reset(handle);
    return status;
}

unsigned long OwnSessionId() noexcept {
    DWORD session = 0;
    if (!::ProcessIdToSessionId(::GetCurrentProcessId(), &session)) return 0;
    return session;
}

HRESULT OpenSectionByName(std::wstring_view listName, ACCESS_MASK access, UniqueHandle& out) noexcept {
    try {
        SectionLocation location;
        if (!LocateSection(listName, OwnSessionId(), location)) return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
        if (location.win32Nameable && (access & SECTION_QUERY) == 0) {
            // The name the Win32 open path understands is the row's text itself.
            const std::wstring name(listName);
            UniqueHandle handle(::OpenFileMappingW(access, FALSE, name.c_str()));
            if (!handle) return StatusFromLastError();
            out = std::move(handle);
            return S_OK;
        }
        if (location.objectPath.size() * sizeof(wchar_t) > 0xFFFE) return HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE);
        static const auto toDosError = NtdllRoutine<RtlNtStatusToDosErrorFn>("RtlNtStatusToDosError");
        const NTSTATUS status = OpenSectionAtPath(location.objectPath, access, out);
        if (status >= 0) return S_OK;
        const ULONG error = toDosError ? toDosError(status) : ERROR_GEN_FAILURE;
        return error == ERROR_SUCCESS ? E_FAIL : HRESULT_FROM_WIN32(error);
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

}  // namespace quillon
