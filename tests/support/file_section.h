#pragma once
// A named section backed by a real file that a test can shrink while views of it are mapped: the
// case where pages of a view turn unreadable without VirtualQuery noticing (on Windows, a network
// or removable file that goes away raises an in-page error on the next read).
#include <windows.h>

#include <cstdint>
#include <string>

namespace quillon::test {

class FileBackedSection {
public:
    // A file of `size` bytes in the temporary folder, byte k holding (k * 13 + 5) mod 256, and a
    // read-only named section over the whole file.
    FileBackedSection(const std::wstring& name, std::uint32_t size);
    ~FileBackedSection();
    FileBackedSection(const FileBackedSection&) = delete;
    FileBackedSection& operator=(const FileBackedSection&) = delete;

    bool IsValid() const noexcept { return section_ != nullptr; }
    const std::wstring& Name() const noexcept { return name_; }
    static unsigned char ExpectedByte(std::size_t offset) noexcept {
        return static_cast<unsigned char>(offset * 13 + 5);
    }

    // Whether the platform lets a test shrink a mapped file. Windows refuses (ERROR_USER_MAPPED_FILE),
    // and so does Wine through its own file calls; under Wine the file is shrunk from the host side.
    static bool CanShrinkWhileMapped() noexcept;
    // Cuts the file to `size` bytes under every view; true when the file has that size afterwards.
    bool Shrink(std::uint32_t size);

private:
    std::wstring name_;
    std::wstring path_;
    HANDLE section_ = nullptr;
};

}  // namespace quillon::test
