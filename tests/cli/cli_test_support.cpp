#include "tests/cli/cli_test_support.h"

#include "catalogue/object_directory.h"
#include "catalogue/section_name.h"
#include "catalogue/section_walk.h"
#include "tests/cli/cli_process.h"

namespace quillon::test {

namespace {
struct NameSink final : SectionSink {
    std::vector<std::string> names;
    void OnSection(const wchar_t* name, std::size_t length) override {
        names.push_back(Utf8(EscapeObjectName(std::wstring_view(name, length))));
    }
};
}  // namespace

std::vector<std::string> WalkedNames(bool allNamespaces) {
    ResolveNativeDirectoryRoutines();
    NameSink sink;
    EnumerateSectionNames(OwnSessionId(), allNamespaces, sink);
    return sink.names;
}

std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
        if (tab == std::string::npos) return fields;
        start = tab + 1;
    }
}

std::size_t Utf8Length(const std::string& text) {
    std::size_t characters = 0;
    for (unsigned char c : text) characters += (c & 0xC0) != 0x80;
    return characters;
}

}  // namespace quillon::test
