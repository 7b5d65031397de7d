#pragma once
// Whole-file reads and writes for tests that check what a command left on disk.
#include <string>

namespace quillon::test {

// Every byte of the file, or an empty string when it cannot be opened. Opens with full sharing, so a
// file another process still writes can be read.
std::string ReadFileBytes(const std::wstring& path);

// Creates or replaces the file with `bytes`; false when any of it could not be written.
bool WriteFileBytes(const std::wstring& path, const std::string& bytes);

bool FileExists(const std::wstring& path);

}  // namespace quillon::test
