#pragma once
// What several quillon-cli tests share: the walk's names seen from the test process, and tab-split lines.
#include <string>
#include <vector>

namespace quillon::test {

// The rows' names as the window's walk gives them in this process, UTF-8, in list order.
std::vector<std::string> WalkedNames(bool allNamespaces = false);

// `line` split at tabs.
std::vector<std::string> Fields(const std::string& line);

// Characters (not bytes) in a UTF-8 text.
std::size_t Utf8Length(const std::string& text);

}  // namespace quillon::test
