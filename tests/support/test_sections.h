#pragma once
// Named sections created by a test and held until the fixture object goes.
#include <windows.h>

#include <cstdint>
#include <string>

namespace quillon::test {

// A name no other test run on the machine uses: prefix, process id and a counter.
std::wstring UniqueName(const std::wstring& prefix);

struct SectionOptions {
    std::uint32_t size = 4096;
    bool global = false;        // created as "Global\<name>", so it lists in \BaseNamedObjects
    bool reserveOnly = false;   // SEC_RESERVE: pages reserved, none committed
    bool denyRead = false;      // a DACL that refuses FILE_MAP_READ to everyone
    unsigned char seed = 0;     // fill byte k with (seed + k * 7) mod 256; no fill when reserveOnly
};

class TestSection {
public:
    TestSection() = default;
    TestSection(const std::wstring& name, const SectionOptions& options);
    ~TestSection() { Close(); }
    TestSection(TestSection&& other) noexcept;
    TestSection& operator=(TestSection&& other) noexcept;
    TestSection(const TestSection&) = delete;
    TestSection& operator=(const TestSection&) = delete;

    bool IsValid() const noexcept { return handle_ != nullptr; }
    // The object name as created ("Global\X" or "X") and the text the list shows for it.
    const std::wstring& Name() const noexcept { return name_; }
    DWORD LastError() const noexcept { return error_; }
    // The byte the fill pattern puts at `offset`.
    unsigned char ExpectedByte(std::size_t offset) const noexcept {
        return static_cast<unsigned char>(options_.seed + offset * 7);
    }
    // Reads the section's bytes back through a view of the creator's own.
    std::string Contents() const;
    void Close() noexcept;

private:
    std::wstring name_;
    SectionOptions options_;
    HANDLE handle_ = nullptr;
    DWORD error_ = 0;
};

}  // namespace quillon::test
