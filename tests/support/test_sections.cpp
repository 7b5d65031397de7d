#include "tests/support/test_sections.h"

#include <sddl.h>

#include <cstring>
#include <utility>

namespace quillon::test {

std::wstring UniqueName(const std::wstring& prefix) {
    static unsigned counter = 0;
    return prefix + L"_" + std::to_wstring(::GetCurrentProcessId()) + L"_" + std::to_wstring(++counter);
}

TestSection::TestSection(const std::wstring& name, const SectionOptions& options)
    : name_(options.global ? L"Global\\" + name : name), options_(options) {
    SECURITY_ATTRIBUTES security{};
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (options.denyRead) {
        // Deny FILE_MAP_READ (4) to everyone, then allow everything: opening for reading fails.
        ::ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:(D;;0x4;;;WD)(A;;GA;;;WD)", SDDL_REVISION_1,
                                                               &descriptor, nullptr);
        security.nLength = sizeof(security);
        security.lpSecurityDescriptor = descriptor;
    }
    const DWORD protect = PAGE_READWRITE | (options.reserveOnly ? SEC_RESERVE : SEC_COMMIT);
    ::SetLastError(0);
    handle_ = ::CreateFileMappingW(INVALID_HANDLE_VALUE, descriptor ? &security : nullptr, protect, 0, options.size,
                                   name_.c_str());
    error_ = ::GetLastError();
    if (descriptor) ::LocalFree(descriptor);
    if (handle_ && error_ == ERROR_ALREADY_EXISTS) {
        ::CloseHandle(handle_);
        handle_ = nullptr;
        return;
    }
    if (handle_ && !options.reserveOnly && options.size > 0) {
        auto* bytes = static_cast<unsigned char*>(::MapViewOfFile(handle_, FILE_MAP_WRITE, 0, 0, 0));
        if (bytes) {
            for (std::uint32_t k = 0; k < options.size; ++k) bytes[k] = ExpectedByte(k);
            ::UnmapViewOfFile(bytes);
        }
    }
}

TestSection::TestSection(TestSection&& other) noexcept
    : name_(std::move(other.name_)), options_(other.options_), handle_(std::exchange(other.handle_, nullptr)),
      error_(other.error_) {}

TestSection& TestSection::operator=(TestSection&& other) noexcept {
    if (this != &other) {
        Close();
        name_ = std::move(other.name_);
        options_ = other.options_;
        handle_ = std::exchange(other.handle_, nullptr);
        error_ = other.error_;
    }
    return *this;
}

std::string TestSection::Contents() const {
    std::string bytes;
    if (!handle_ || options_.reserveOnly) return bytes;
    const void* view = ::MapViewOfFile(handle_, FILE_MAP_READ, 0, 0, 0);
    if (!view) return bytes;
    MEMORY_BASIC_INFORMATION info{};
    ::VirtualQuery(view, &info, sizeof(info));
    bytes.assign(static_cast<const char*>(view), info.RegionSize);
    ::UnmapViewOfFile(view);
    return bytes;
}

void TestSection::Close() noexcept {
    if (handle_) {
        ::CloseHandle(handle_);
        handle_ = nullptr;
    }
}

}  // namespace quillon::test
