#include "tests/cli/cli_test_support.h"

#include "catalogue/object_directory.h"
#include "catalogue/section_name.h"
#include "catalogue/section_walk.h"
#include "tests/cli/cli_process.h"
#include "tests/support/test_sections.h"

#include <windows.h>

#include <cstdio>

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

namespace quillon::test {

bool CommitPages(const std::wstring& name, std::uint32_t offset, std::uint32_t bytes, unsigned char seed) {
    HANDLE section = ::OpenFileMappingW(FILE_MAP_WRITE, FALSE, name.c_str());
    if (!section) return false;
    auto* view = static_cast<unsigned char*>(::MapViewOfFile(section, FILE_MAP_WRITE, 0, 0, 0));
    bool ok = view && ::VirtualAlloc(view + offset, bytes, MEM_COMMIT, PAGE_READWRITE) != nullptr;
    if (ok)
        for (std::uint32_t k = offset; k < offset + bytes; ++k) view[k] = static_cast<unsigned char>(seed + k * 7);
    if (view) ::UnmapViewOfFile(view);
    ::CloseHandle(section);
    return ok;
}

std::string HexRow(std::uint64_t offset, const int (&bytes)[16]) {
    char text[16];
    std::snprintf(text, sizeof(text), "%08llX", static_cast<unsigned long long>(offset));
    std::string row = std::string(text) + " ";
    for (int b : bytes) {
        if (b < 0) {
            row += " ??";
        } else {
            std::snprintf(text, sizeof(text), " %02X", b);
            row += text;
        }
    }
    row += "  ";
    std::wstring characters;
    for (int b : bytes) characters.push_back(b < 0 || (b & 0x7F) < 0x20 ? L'.' : static_cast<wchar_t>(b));
    return row + Utf8(characters);
}

TempFolder::TempFolder() {
    wchar_t folder[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, folder);
    path_ = std::wstring(folder) + UniqueName(L"quillon_cli_folder");
    ::CreateDirectoryW(path_.c_str(), nullptr);
}

TempFolder::~TempFolder() {
    for (const std::wstring& file : Files()) ::DeleteFileW((path_ + L"\\" + file).c_str());
    ::RemoveDirectoryW(path_.c_str());
}

std::vector<std::wstring> TempFolder::Files() const {
    std::vector<std::wstring> files;
    WIN32_FIND_DATAW found{};
    HANDLE search = ::FindFirstFileW((path_ + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return files;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) files.push_back(found.cFileName);
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    return files;
}

}  // namespace quillon::test
