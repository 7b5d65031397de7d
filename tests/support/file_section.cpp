#include "tests/support/file_section.h"

#include <vector>

#include "common/unique_resource.h"

namespace quillon::test {

namespace {

// Wine's own export that names the host file behind a Windows path; absent on Windows.
using UnixFileName = char*(CDECL*)(const wchar_t*);

UnixFileName UnixFileNameRoutine() noexcept {
    const HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
    return kernel ? reinterpret_cast<UnixFileName>(
                        reinterpret_cast<void*>(::GetProcAddress(kernel, "wine_get_unix_file_name")))
                  : nullptr;
}

std::uint64_t FileSize(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return ~std::uint64_t{0};
    return (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
}

}  // namespace

FileBackedSection::FileBackedSection(const std::wstring& name, std::uint32_t size) : name_(name) {
    wchar_t folder[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, folder);
    path_ = std::wstring(folder) + name + L".bin";
    {
        UniqueFile file(::CreateFileW(path_.c_str(), GENERIC_READ | GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) return;
        std::vector<unsigned char> bytes(size);
        for (std::uint32_t k = 0; k < size; ++k) bytes[k] = ExpectedByte(k);
        DWORD written = 0;
        if (!::WriteFile(file.Get(), bytes.data(), size, &written, nullptr) || written != size) return;
        section_ = ::CreateFileMappingW(file.Get(), nullptr, PAGE_READONLY, 0, 0, name_.c_str());
    }
}

FileBackedSection::~FileBackedSection() {
    if (section_) ::CloseHandle(section_);
    if (!path_.empty()) ::DeleteFileW(path_.c_str());
}

bool FileBackedSection::CanShrinkWhileMapped() noexcept { return UnixFileNameRoutine() != nullptr; }

bool FileBackedSection::Shrink(std::uint32_t size) {
    const UnixFileName unixName = UnixFileNameRoutine();
    if (!unixName) return false;
    char* hostPath = unixName(path_.c_str());
    if (!hostPath) return false;
    std::wstring command = L"Z:\\usr\\bin\\truncate -s " + std::to_wstring(size) + L" \"";
    for (const char* c = hostPath; *c; ++c) command += static_cast<wchar_t>(static_cast<unsigned char>(*c));
    command += L"\"";
    ::HeapFree(::GetProcessHeap(), 0, hostPath);

    // A host program, started the way Wine starts any program. Its handle may be signalled before it
    // has run and its exit code means nothing, so the file's size says when it is done.
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &process))
        return false;
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    for (int i = 0; i < 500; ++i) {
        if (FileSize(path_) == size) return true;
        ::Sleep(20);
    }
    return false;
}

}  // namespace quillon::test
