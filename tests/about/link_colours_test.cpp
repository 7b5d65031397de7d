// The link colours read from the user's settings through the real registry (the test's Wine prefix).
#include "about/link_colours.h"

#include <aclapi.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "common/unique_resource.h"
#include "tests/about/about_test_support.h"

namespace quillon {
namespace {

using test::SavedColourValues;

constexpr COLORREF kDefaultLink = RGB(0, 0, 255);
constexpr COLORREF kDefaultVisited = RGB(128, 0, 128);

std::vector<std::uint8_t> Bytes(const std::wstring& text, size_t byteCount) {
    std::vector<std::uint8_t> bytes(byteCount, 0);
    std::memcpy(bytes.data(), text.data(), std::min(byteCount, text.size() * sizeof(wchar_t)));
    return bytes;
}
std::vector<std::uint8_t> WithNul(const std::wstring& text) { return Bytes(text, (text.size() + 1) * 2); }

struct ValueCase {
    const char* what;
    DWORD type;
    std::vector<std::uint8_t> data;
    bool accepted;  // true when the value's colour (RGB(10, 20, 30) unless noted) replaces the default
    COLORREF colour = RGB(10, 20, 30);
};

std::vector<ValueCase> ValueCases() {
    const std::wstring ok = L"10,20,30";
    return {
        {"REG_SZ with its NUL", REG_SZ, WithNul(ok), true},
        {"REG_EXPAND_SZ", REG_EXPAND_SZ, WithNul(ok), true},
        {"11 characters fill the buffer", REG_SZ, WithNul(L"255,255,255"), true, RGB(255, 255, 255)},
        {"blanks make 13 characters: too long", REG_SZ, WithNul(L"255, 255, 255"), false},
        {"12 characters: too long", REG_SZ, WithNul(L"010,020,0030"), false},
        {"text before a NUL inside the value", REG_SZ, Bytes(ok, 24), true},
        {"no NUL at the end", REG_SZ, Bytes(ok, ok.size() * 2), false},
        {"odd number of bytes", REG_SZ, Bytes(ok, ok.size() * 2 + 1), false},
        {"odd and too long", REG_SZ, Bytes(ok, 25), false},
        {"odd, with a NUL before the odd byte", REG_SZ, Bytes(ok, (ok.size() + 1) * 2 + 1), false},
        {"empty data", REG_SZ, {}, false},
        {"a lone NUL", REG_SZ, WithNul(L""), false},
        {"REG_DWORD", REG_DWORD, {30, 20, 10, 0}, false},
        {"REG_BINARY holding the text", REG_BINARY, WithNul(ok), false},
        {"REG_MULTI_SZ", REG_MULTI_SZ, Bytes(ok, (ok.size() + 2) * 2), false},
        {"not a colour", REG_SZ, WithNul(L"0,128"), false},
        {"-1 in red", REG_SZ, WithNul(L"-1,0,0"), false},
        {"300 in red keeps 44", REG_SZ, WithNul(L"300,0,0"), true, RGB(44, 0, 0)},
    };
}

class LinkColoursTest : public ::testing::Test {
protected:
    SavedColourValues saved_;
};

TEST_F(LinkColoursTest, DefaultsWithoutValues) {
    const LinkColours colours = ReadLinkColours();
    EXPECT_EQ(colours.link, kDefaultLink);
    EXPECT_EQ(colours.visited, kDefaultVisited);
}

// Every shape of value, first as the link colour, then as the visited colour; the other value is
// absent and keeps its default.
TEST_F(LinkColoursTest, EachValueReadsOnlyWhenItIsAShortString) {
    for (const wchar_t* name : {kLinkColourValue, kVisitedColourValue}) {
        const bool isLink = name == kLinkColourValue;
        for (const ValueCase& c : ValueCases()) {
            SCOPED_TRACE(testing::Message() << (isLink ? "link: " : "visited: ") << c.what);
            // Padding after the data: RegSetValueExW counts a forgotten terminator when one follows
            // the data in memory, which would hide the unterminated cases.
            std::vector<std::uint8_t> padded = c.data;
            padded.insert(padded.end(), 8, 'X');
            ASSERT_TRUE(SavedColourValues::Write(name, c.type, padded.data(), static_cast<DWORD>(c.data.size())));
            const LinkColours colours = ReadLinkColours();
            const COLORREF expected = c.accepted ? c.colour : (isLink ? kDefaultLink : kDefaultVisited);
            EXPECT_EQ(isLink ? colours.link : colours.visited, expected);
            EXPECT_EQ(isLink ? colours.visited : colours.link, isLink ? kDefaultVisited : kDefaultLink);
            SavedColourValues::Remove(name);
        }
    }
}

// The visited value is read into the same buffer with its size reset: a full-length link value or a
// rejected one does not shorten or spoil the second read.
TEST_F(LinkColoursTest, SecondValueReadsAfterAnyFirst) {
    ASSERT_TRUE(SavedColourValues::WriteText(kVisitedColourValue, L"200,100,50"));
    for (const wchar_t* first : {L"255,255,255", L"255, 255, 255", L"1,2", L"", L"0,0,0"}) {
        SCOPED_TRACE(testing::Message() << "link value \"" << first << "\"");
        ASSERT_TRUE(SavedColourValues::WriteText(kLinkColourValue, first));
        EXPECT_EQ(ReadLinkColours().visited, RGB(200, 100, 50));
    }
}

TEST_F(LinkColoursTest, ReadFillsOnlyTheTwelveCharacterBuffer) {
    // A value far too long must fail without writing past the buffer.
    const std::wstring longText(200, L'7');
    ASSERT_TRUE(SavedColourValues::WriteText(kLinkColourValue, longText.c_str()));
    HKEY raw = nullptr;
    ASSERT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, kLinkColourKey, 0, KEY_READ, &raw), ERROR_SUCCESS);
    const UniqueRegKey key(raw);
    struct Guarded {
        wchar_t buffer[kColourTextChars];
        wchar_t guard[4];
    } guarded;
    std::wmemset(guarded.buffer, L'#', kColourTextChars);
    std::wmemset(guarded.guard, L'!', 4);
    EXPECT_FALSE(ReadColourText(key.Get(), kLinkColourValue, guarded.buffer));
    EXPECT_EQ(std::wstring(guarded.guard, 4), L"!!!!");
    EXPECT_EQ(ReadLinkColours().link, kDefaultLink);
}

TEST_F(LinkColoursTest, DefaultsPassedInAreKeptForRejectedValues) {
    ASSERT_TRUE(SavedColourValues::WriteText(kLinkColourValue, L"garbage"));
    ASSERT_TRUE(SavedColourValues::WriteText(kVisitedColourValue, L"7,8,9"));
    const LinkColours colours = ReadLinkColours(LinkColours{RGB(1, 1, 1), RGB(2, 2, 2)});
    EXPECT_EQ(colours.link, RGB(1, 1, 1));
    EXPECT_EQ(colours.visited, RGB(7, 8, 9));
}

// The key is opened for reading and writing: where the user may only read it, both colours stay.
TEST_F(LinkColoursTest, KeyTheUserMayNotWriteKeepsDefaults) {
    ASSERT_TRUE(SavedColourValues::WriteText(kLinkColourValue, L"255,0,0"));
    ASSERT_TRUE(SavedColourValues::WriteText(kVisitedColourValue, L"0,255,0"));
    ASSERT_EQ(ReadLinkColours().link, RGB(255, 0, 0));

    // This handle keeps its rights to put the original DACL back whatever the key's DACL says.
    HKEY raw = nullptr;
    ASSERT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, kLinkColourKey, 0, KEY_READ | WRITE_DAC, &raw), ERROR_SUCCESS);
    const UniqueRegKey key(raw);
    DWORD size = 0;
    ::RegGetKeySecurity(key.Get(), DACL_SECURITY_INFORMATION, nullptr, &size);
    std::vector<std::uint8_t> original(size);
    ASSERT_EQ(::RegGetKeySecurity(key.Get(), DACL_SECURITY_INFORMATION, original.data(), &size), ERROR_SUCCESS);

    PSECURITY_DESCRIPTOR readOnly = nullptr;
    // Everyone: KEY_READ, READ_CONTROL and WRITE_DAC; nothing inherited.
    ASSERT_TRUE(::ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:P(A;;0x60019;;;WD)", SDDL_REVISION_1,
                                                                       &readOnly, nullptr));
    ASSERT_EQ(::RegSetKeySecurity(key.Get(), DACL_SECURITY_INFORMATION, readOnly), ERROR_SUCCESS);
    ::LocalFree(readOnly);

    HKEY probe = nullptr;
    const LSTATUS writable = ::RegOpenKeyExW(HKEY_CURRENT_USER, kLinkColourKey, 0, KEY_READ | KEY_WRITE, &probe);
    if (probe) ::RegCloseKey(probe);
    HKEY reader = nullptr;
    const LSTATUS readable = ::RegOpenKeyExW(HKEY_CURRENT_USER, kLinkColourKey, 0, KEY_READ, &reader);
    if (reader) ::RegCloseKey(reader);
    const LinkColours colours = ReadLinkColours();

    ASSERT_EQ(::RegSetKeySecurity(key.Get(), DACL_SECURITY_INFORMATION, original.data()), ERROR_SUCCESS);
    if (writable == ERROR_SUCCESS) GTEST_SKIP() << "the registry here does not enforce the key's DACL";
    EXPECT_EQ(readable, ERROR_SUCCESS);
    EXPECT_EQ(colours.link, kDefaultLink);
    EXPECT_EQ(colours.visited, kDefaultVisited);
}

}  // namespace
}  // namespace quillon
