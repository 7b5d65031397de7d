#include "tests/support/test_namespace.h"

#include <sddl.h>
#include <winternl.h>

#include <cstring>
#include <utility>

namespace quillon::test {

namespace {

template <typename Fn>
Fn Ntdll(const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), name)));
}

// A counted string over `text`, NULs and all.
UNICODE_STRING Counted(const std::wstring& text) {
    UNICODE_STRING s;
    s.Length = static_cast<USHORT>(text.size() * sizeof(wchar_t));
    s.MaximumLength = s.Length;
    s.Buffer = const_cast<wchar_t*>(text.data());
    return s;
}

// Zeroed and filled by name: MinGW's 64-bit OBJECT_ATTRIBUTES has padding members.
OBJECT_ATTRIBUTES Attributes(UNICODE_STRING* name, void* descriptor = nullptr) {
    OBJECT_ATTRIBUTES attributes;
    std::memset(&attributes, 0, sizeof(attributes));
    attributes.Length = sizeof(attributes);
    attributes.ObjectName = name;
    attributes.SecurityDescriptor = descriptor;
    return attributes;
}

}  // namespace

NativeObject::NativeObject(NativeObject&& other) noexcept
    : handle_(std::exchange(other.handle_, nullptr)), status_(other.status_) {}

NativeObject& NativeObject::operator=(NativeObject&& other) noexcept {
    if (this != &other) {
        Close();
        handle_ = std::exchange(other.handle_, nullptr);
        status_ = other.status_;
    }
    return *this;
}

void NativeObject::Close() noexcept {
    if (handle_) ::CloseHandle(std::exchange(handle_, nullptr));
}

NativeDirectory::NativeDirectory(const std::wstring& path, const wchar_t* sddl) {
    using Fn = NTSTATUS(NTAPI*)(PHANDLE, ACCESS_MASK, POBJECT_ATTRIBUTES);
    static const auto create = Ntdll<Fn>("NtCreateDirectoryObject");
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (sddl) ::ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &descriptor, nullptr);
    UNICODE_STRING name = Counted(path);
    OBJECT_ATTRIBUTES attributes = Attributes(&name, descriptor);
    // With a descriptor of its own, ask only for what it may allow (it may refuse DIRECTORY_QUERY).
    const ACCESS_MASK access = sddl ? 0xF000E : 0xF000F /* DIRECTORY_ALL_ACCESS */;
    status_ = create(&handle_, access, &attributes);
    if (status_ < 0) handle_ = nullptr;
    if (descriptor) ::LocalFree(descriptor);
}

NativeSection::NativeSection(const std::wstring& path, std::uint32_t size, unsigned char seed) {
    using Fn = NTSTATUS(NTAPI*)(PHANDLE, ACCESS_MASK, POBJECT_ATTRIBUTES, PLARGE_INTEGER, ULONG, ULONG, HANDLE);
    static const auto create = Ntdll<Fn>("NtCreateSection");
    UNICODE_STRING name = Counted(path);
    OBJECT_ATTRIBUTES attributes = Attributes(&name);
    LARGE_INTEGER maximum;
    maximum.QuadPart = size;
    status_ = create(&handle_, SECTION_ALL_ACCESS, &attributes, &maximum, PAGE_READWRITE, SEC_COMMIT, nullptr);
    if (status_ < 0) {
        handle_ = nullptr;
        return;
    }
    if (auto* bytes = static_cast<unsigned char*>(::MapViewOfFile(handle_, FILE_MAP_WRITE, 0, 0, 0))) {
        for (std::uint32_t k = 0; k < size; ++k) bytes[k] = static_cast<unsigned char>(seed + k * 7);
        ::UnmapViewOfFile(bytes);
    }
}

NativeSymbolicLink::NativeSymbolicLink(const std::wstring& path, const std::wstring& target) {
    using Fn = NTSTATUS(NTAPI*)(PHANDLE, ACCESS_MASK, POBJECT_ATTRIBUTES, PUNICODE_STRING);
    static const auto create = Ntdll<Fn>("NtCreateSymbolicLinkObject");
    UNICODE_STRING name = Counted(path);
    UNICODE_STRING points = Counted(target);
    OBJECT_ATTRIBUTES attributes = Attributes(&name);
    status_ = create(&handle_, 0xF0001 /* SYMBOLIC_LINK_ALL_ACCESS */, &attributes, &points);
    if (status_ < 0) handle_ = nullptr;
}

unsigned long UnusedSessionId() {
    using Fn = NTSTATUS(NTAPI*)(PHANDLE, ACCESS_MASK, POBJECT_ATTRIBUTES);
    static const auto open = Ntdll<Fn>("NtOpenDirectoryObject");
    for (unsigned long id = 4000 + ::GetCurrentProcessId() % 1000;; ++id) {
        const std::wstring path = L"\\Sessions\\" + std::to_wstring(id);
        UNICODE_STRING name = Counted(path);
        OBJECT_ATTRIBUTES attributes = Attributes(&name);
        HANDLE handle = nullptr;
        if (open(&handle, 1, &attributes) < 0) return id;
        ::CloseHandle(handle);
    }
}

}  // namespace quillon::test
