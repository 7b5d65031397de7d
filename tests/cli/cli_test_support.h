#pragma once
// What several quillon-cli tests share: the walk seen from the test process, text helpers, sections
// with committed and reserved pages, the viewer's row built independently, files and folders.
#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/test_files.h"

namespace quillon::test {

// The rows' names as the window's walk gives them in this process, UTF-8, in list order.
std::vector<std::string> WalkedNames(bool allNamespaces = false);

// `line` split at tabs.
std::vector<std::string> Fields(const std::string& line);

// Characters (not bytes) in a UTF-8 text.
std::size_t Utf8Length(const std::string& text);

}  // namespace quillon::test

namespace quillon::test {

// Commits [offset, offset + bytes) of a SEC_RESERVE section through a writable view of the test's
// own and fills it with (seed + k * 7) mod 256, k counted from the section's start.
bool CommitPages(const std::wstring& name, std::uint32_t offset, std::uint32_t bytes, unsigned char seed);

// The viewer's row for sixteen bytes at `offset`, built here independently: "%08X", two spaces,
// sixteen "%02X" cells (-1 for an unreadable byte, "??"), two spaces, the characters (0x00-0x1F and
// 0x80-0x9F as ".", others as the character of that code, unreadable as "."), UTF-8.
std::string HexRow(std::uint64_t offset, const int (&bytes)[16]);

// A fresh folder under the temporary folder, removed with whatever is in it when the object goes.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::wstring& Path() const noexcept { return path_; }
    std::vector<std::wstring> Files() const;

private:
    std::wstring path_;
};


}  // namespace quillon::test
