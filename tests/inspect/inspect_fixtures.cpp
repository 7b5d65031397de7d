#include "tests/inspect/inspect_fixtures.h"

#include <sddl.h>

#include <cwchar>

namespace quillon::test {

UniqueHandle CreateSection(const std::wstring& name, DWORD protectAndFlags, DWORD size, const wchar_t* sddl, HANDLE file) {
    SECURITY_ATTRIBUTES security{};
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    SECURITY_DESCRIPTOR nullDacl;
    if (sddl && std::wcscmp(sddl, L"D:NO_ACCESS_CONTROL") == 0) {
        // Built by hand: Wine's SDDL parser turns NO_ACCESS_CONTROL into an empty DACL.
        ::InitializeSecurityDescriptor(&nullDacl, SECURITY_DESCRIPTOR_REVISION);
        ::SetSecurityDescriptorDacl(&nullDacl, TRUE, nullptr, FALSE);
        security.nLength = sizeof(security);
        security.lpSecurityDescriptor = &nullDacl;
        return UniqueHandle(::CreateFileMappingW(file, &security, protectAndFlags, 0, size, name.c_str()));
    }
    if (sddl && *sddl) {
        if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &descriptor, nullptr))
            return UniqueHandle();
        security.nLength = sizeof(security);
        security.lpSecurityDescriptor = descriptor;
    }
    UniqueHandle section(::CreateFileMappingW(file, descriptor ? &security : nullptr, protectAndFlags, 0, size, name.c_str()));
    if (descriptor) ::LocalFree(descriptor);
    return section;
}

bool CommitFront(HANDLE section, DWORD bytes) {
    void* view = ::MapViewOfFile(section, FILE_MAP_WRITE, 0, 0, 0);
    if (!view) return false;
    const bool ok = ::VirtualAlloc(view, bytes, MEM_COMMIT, PAGE_READWRITE) != nullptr;
    ::UnmapViewOfFile(view);
    return ok;
}

const SectionFact* FindFact(const SectionReport& report, const wchar_t* field) {
    for (const SectionFact& fact : report.facts)
        if (fact.field == field) return &fact;
    return nullptr;
}

std::string Utf8(const std::wstring& text) {
    if (text.empty()) return std::string();
    const int length = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(length), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], length, nullptr, nullptr);
    return out;
}

bool RunningUnderWine() {
    HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    return ntdll && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

}  // namespace quillon::test
