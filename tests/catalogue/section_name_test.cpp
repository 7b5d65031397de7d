// Row names: the "\0" escape, where each form of name leads in the object namespace, and opening
// sections by names the Win32 open path cannot express.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "catalogue/section_name.h"
#include "catalogue/section_view.h"
#include "tests/support/test_namespace.h"
#include "tests/support/test_sections.h"

namespace quillon::test {
namespace {

using namespace std::string_literals;

TEST(SectionName, EscapeAndUnescapeAreInverseAndRejectOtherBackslashes) {
    struct Case {
        std::wstring raw;
        std::wstring shown;
    };
    const Case cases[] = {{L"", L""},
                          {L"plain", L"plain"},
                          {L"a\0b"s, L"a\\0b"},
                          {L"\0"s, L"\\0"},
                          {L"\0\0x\0"s, L"\\0\\0x\\0"},
                          {L"0\0" L"0"s, L"0\\00"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "shown length " << c.shown.size());
        EXPECT_EQ(EscapeObjectName(c.raw), c.shown);
        std::wstring raw = L"junk";
        ASSERT_TRUE(UnescapeObjectName(c.shown, raw));
        EXPECT_EQ(raw, c.raw);
    }
    std::wstring raw;
    for (const wchar_t* bad : {L"a\\", L"a\\1", L"\\\\0", L"x\\n"}) EXPECT_FALSE(UnescapeObjectName(bad, raw)) << bad;
}

TEST(SectionName, EachRowFormLeadsToItsDirectory) {
    struct Case {
        std::wstring row;
        bool ok;
        std::wstring path;
        bool nameable;
    };
    const Case cases[] = {
        {L"Global\\X", true, L"\\BaseNamedObjects\\X", true},
        {L"X", true, L"\\Sessions\\1\\BaseNamedObjects\\X", true},
        {L"Session\\3\\X", true, L"\\Sessions\\3\\BaseNamedObjects\\X", false},
        {L"AppContainer\\2\\S-1-15-2-1\\X", true, L"\\Sessions\\2\\AppContainerNamedObjects\\S-1-15-2-1\\X", false},
        // An embedded NUL: the exact path holds it, and only the native open can name it.
        {L"Global\\a\\0b", true, L"\\BaseNamedObjects\\a\0b"s, false},
        {L"a\\0", true, L"\\Sessions\\1\\BaseNamedObjects\\a\0"s, false},
        {L"Session\\4294967295\\\\0", true, L"\\Sessions\\4294967295\\BaseNamedObjects\\\0"s, false},
        // Not one of the forms.
        {L"", false, L"", false},
        {L"Global\\", false, L"", false},
        {L"Session\\x\\Y", false, L"", false},
        {L"Session\\1", false, L"", false},
        {L"Session\\\\Y", false, L"", false},
        {L"Session\\12345678901\\Y", false, L"", false},
        {L"AppContainer\\1\\Y", false, L"", false},
        {L"Global\\a\\b", false, L"", false},
        {L"a\\", false, L"", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "row of length " << c.row.size() << " starting " << c.row.substr(0, 14).c_str());
        SectionLocation location;
        ASSERT_EQ(LocateSection(c.row, 1, location), c.ok);
        if (!c.ok) continue;
        EXPECT_EQ(location.objectPath, c.path);
        EXPECT_EQ(location.win32Nameable, c.nameable);
    }
}

TEST(SectionName, ASectionWhoseNameHoldsANulOpensByItsEscapedRow) {
    const unsigned long session = OwnSessionId();
    const std::wstring stem = UniqueName(L"QlNulName");
    const std::wstring directory = L"\\Sessions\\" + std::to_wstring(session) + L"\\BaseNamedObjects\\";
    NativeSection hidden(directory + stem + L"\0hidden"s, 8192, 0x31);
    ASSERT_TRUE(hidden.IsValid()) << std::hex << hidden.Status();
    // Win32 sees only the text before the NUL, which names nothing.
    HANDLE truncated = ::OpenFileMappingW(FILE_MAP_READ, FALSE, stem.c_str());
    EXPECT_EQ(truncated, nullptr);
    if (truncated) ::CloseHandle(truncated);

    SectionView view;
    ASSERT_GE(view.Open((stem + L"\\0hidden").c_str()), 0);
    EXPECT_EQ(view.Size(), 0x2000u);
    EXPECT_EQ(view.Base()[0], 0x31);
    EXPECT_EQ(view.Base()[100], static_cast<unsigned char>(0x31 + 700));
    std::uint64_t size = 0;
    EXPECT_FALSE(QuerySectionSize((stem + L"\\0other").c_str(), size));
    EXPECT_FALSE(QuerySectionSize((stem + L"\\1hidden").c_str(), size));
}

TEST(SectionName, OpensWithExactlyTheAccessAskedForOnPlainRows) {
    // Reading is denied, querying is not: a query-only open must not turn into a request for reading
    // (the Win32 open reads SECTION_QUERY as FILE_MAP_COPY).
    SectionOptions options;
    options.denyRead = true;
    for (bool global : {false, true}) {
        options.global = global;
        TestSection section(UniqueName(L"QlQueryOnly"), options);
        ASSERT_TRUE(section.IsValid());
        SCOPED_TRACE(section.Name());
        UniqueHandle handle;
        EXPECT_EQ(OpenSectionByName(section.Name(), FILE_MAP_READ, handle), HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED));
        EXPECT_FALSE(handle);
        EXPECT_EQ(OpenSectionByName(section.Name(), SECTION_QUERY, handle), S_OK);
        EXPECT_TRUE(handle);
        handle.Reset();
        EXPECT_EQ(OpenSectionByName(section.Name(), READ_CONTROL, handle), S_OK);
        EXPECT_TRUE(handle);
    }
}

}  // namespace
}  // namespace quillon::test
