// The walk beyond the first 2,048 bytes of a record, and beyond the two directories of the default
// list: long names, embedded NULs, other sessions and AppContainer namespaces.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "catalogue/object_directory.h"
#include "catalogue/section_name.h"
#include "catalogue/section_view.h"
#include "catalogue/section_walk.h"
#include "tests/support/test_namespace.h"
#include "tests/support/test_sections.h"

namespace quillon::test {
namespace {

using namespace std::string_literals;

struct Collect final : SectionSink {
    std::vector<std::wstring> names;
    void OnSection(const wchar_t* text, std::size_t length) override {
        EXPECT_EQ(std::wstring(text).size(), length) << "the text ends at its length";
        names.emplace_back(text, length);
    }
};

bool Has(const std::vector<std::wstring>& names, const std::wstring& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

bool AnyStartsWith(const std::vector<std::wstring>& names, const std::wstring& head) {
    return std::any_of(names.begin(), names.end(), [&](const std::wstring& n) { return n.rfind(head, 0) == 0; });
}

class NamespaceTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(ResolveNativeDirectoryRoutines()); }
};

TEST_F(NamespaceTest, LongNamesInTheMiddleOfADirectoryHideNoOtherEntry) {
    // A directory of the test's own, so that every entry in it is known.
    const std::wstring id = std::to_wstring(UnusedSessionId());
    NativeDirectory session(L"\\Sessions\\" + id);
    const std::wstring path = L"\\Sessions\\" + id + L"\\BaseNamedObjects";
    NativeDirectory directory(path);
    ASSERT_TRUE(session.IsValid() && directory.IsValid()) << std::hex << directory.Status();

    std::vector<NativeSection> sections;
    std::vector<std::wstring> expected;
    const auto add = [&](const std::wstring& name) {
        sections.emplace_back(path + L"\\" + name, 4096);
        ASSERT_TRUE(sections.back().IsValid()) << "length " << name.size() << ": " << std::hex << sections.back().Status();
        expected.push_back(L"Session\\" + id + L"\\" + name);
    };
    for (int i = 0; i < 40; ++i) add(L"QlShort" + std::to_wstring(i));
    const std::wstring name1100 = L"QlLong1100_" + std::wstring(1100 - 11, L'a');
    const std::wstring name20000 = L"QlLong20000_" + std::wstring(20000 - 12, L'b');
    add(name1100);
    add(name20000);
    add(L"QlNul\0inside"s);
    // Many long records in one walk: each is fetched as it comes, none costs the ones after it.
    for (int i = 0; i < 12; ++i) add(L"QlMany" + std::to_wstring(i) + std::wstring(1100 + 50 * i, L'm'));
    // Long names of other types must not end the walk either.
    NativeDirectory longDirectory(path + L"\\" + std::wstring(3000, L'd'));
    ASSERT_TRUE(longDirectory.IsValid());

    Collect walk;
    EnumerateDirectory(path.c_str(), (L"Session\\" + id + L"\\").c_str(), walk);
    // Every section once, the NUL shown as "\0".
    std::vector<std::wstring> want = expected;
    want[42] = L"Session\\" + id + L"\\QlNul\\0inside";
    std::vector<std::wstring> got = walk.names;
    std::sort(want.begin(), want.end());
    std::sort(got.begin(), got.end());
    EXPECT_EQ(got, want);
    // The long entries stood in the middle of the walk, with entries after them.
    const auto at = [&](const std::wstring& name) {
        return std::find(walk.names.begin(), walk.names.end(), L"Session\\" + id + L"\\" + name) - walk.names.begin();
    };
    EXPECT_LT(std::min(at(name1100), at(name20000)), static_cast<long>(walk.names.size()) - 2);

    // The rows open by their names: the long ones through the native path, the NUL one as well.
    for (const std::wstring& row : {expected[40], expected[41], expected.back()}) {
        std::uint64_t size = 0;
        EXPECT_TRUE(QuerySectionSize(row.c_str(), size)) << "row of length " << row.size();
    }
    std::uint64_t size = 0;
    EXPECT_TRUE(QuerySectionSize((L"Session\\" + id + L"\\QlNul\\0inside").c_str(), size));
    EXPECT_EQ(size, 0x1000u);
}

TEST_F(NamespaceTest, LongPlainNamesInTheOwnSessionListAndOpen) {
    // Made through Win32 like any program would; opened by the plain row through OpenFileMappingW.
    const std::wstring name1100 = UniqueName(L"QlPlain") + std::wstring(1100, L'p');
    const std::wstring name20000 = UniqueName(L"QlPlain") + std::wstring(20000, L'q');
    TestSection long1100(name1100, SectionOptions{8192});
    TestSection long20000(name20000, SectionOptions{4096});
    ASSERT_TRUE(long1100.IsValid()) << long1100.LastError();
    ASSERT_TRUE(long20000.IsValid()) << long20000.LastError();
    Collect walk;
    EnumerateSectionNames(OwnSessionId(), false, walk);
    EXPECT_TRUE(Has(walk.names, name1100));
    EXPECT_TRUE(Has(walk.names, name20000));
    std::uint64_t size = 0;
    EXPECT_TRUE(QuerySectionSize(name1100.c_str(), size));
    EXPECT_EQ(size, 0x2000u);
    EXPECT_TRUE(QuerySectionSize(name20000.c_str(), size));
    EXPECT_EQ(size, 0x1000u);
}

// Two sessions' worth of namespaces made by the test: another session with a BaseNamedObjects and an
// AppContainer directory, the own session's AppContainer directory, and the traps the walk must not
// enter (a symbolic link to a session, a link among the AppContainer directories, a directory that
// refuses queries).
TEST_F(NamespaceTest, AllNamespacesAddsPrefixedRowsThatOpenAndOffIsTheTwoDirectoryWalk) {
    const unsigned long own = OwnSessionId();
    const std::wstring ownId = std::to_wstring(own);
    const std::wstring otherId = std::to_wstring(UnusedSessionId());
    const std::wstring other = L"\\Sessions\\" + otherId;
    const std::wstring stem = UniqueName(L"QlSpace");
    const std::wstring sid = L"S-1-15-2-" + std::to_wstring(::GetCurrentProcessId());

    NativeDirectory otherSession(other);
    NativeDirectory otherBase(other + L"\\BaseNamedObjects");
    NativeDirectory otherContainers(other + L"\\AppContainerNamedObjects");
    NativeDirectory otherBox(other + L"\\AppContainerNamedObjects\\" + sid);
    ASSERT_TRUE(otherSession.IsValid() && otherBase.IsValid() && otherContainers.IsValid() && otherBox.IsValid());
    // The own session may already have an AppContainer directory (not under Wine): then use it.
    const std::wstring ownContainersPath = L"\\Sessions\\" + ownId + L"\\AppContainerNamedObjects";
    NativeDirectory ownContainers(ownContainersPath);
    NativeDirectory ownBox(ownContainersPath + L"\\" + sid);
    ASSERT_TRUE(ownBox.IsValid()) << std::hex << ownBox.Status();
    NativeDirectory closed(other + L"\\AppContainerNamedObjects\\S-1-15-2-closed", L"D:(D;;0x1;;;WD)(A;;GA;;;WD)");
    ASSERT_TRUE(closed.IsValid());

    NativeSection inOther(other + L"\\BaseNamedObjects\\" + stem + L"_session", 8192, 0x10);
    NativeSection inBox(other + L"\\AppContainerNamedObjects\\" + sid + L"\\" + stem + L"_box", 4096, 0x20);
    NativeSection inOwnBox(ownContainersPath + L"\\" + sid + L"\\" + stem + L"_ownbox", 12288, 0x30);
    NativeSection inClosed(other + L"\\AppContainerNamedObjects\\S-1-15-2-closed\\" + stem + L"_closed", 4096);
    TestSection inOwn(stem + L"_own", SectionOptions{4096});
    ASSERT_TRUE(inOther.IsValid() && inBox.IsValid() && inOwnBox.IsValid() && inClosed.IsValid() && inOwn.IsValid());

    // "0<own id>" names another directory than the own session's, however the number reads.
    const std::wstring paddedId = L"0" + ownId;
    NativeDirectory padded(L"\\Sessions\\" + paddedId);
    NativeDirectory paddedBase(L"\\Sessions\\" + paddedId + L"\\BaseNamedObjects");
    NativeSection inPadded(L"\\Sessions\\" + paddedId + L"\\BaseNamedObjects\\" + stem + L"_padded", 4096, 0x40);
    ASSERT_TRUE(inPadded.IsValid()) << std::hex << inPadded.Status();

    const std::wstring linkId = std::to_wstring(UnusedSessionId());
    NativeSymbolicLink sessionLink(L"\\Sessions\\" + linkId, other);
    NativeSymbolicLink boxLink(other + L"\\AppContainerNamedObjects\\S-1-15-2-link", other + L"\\AppContainerNamedObjects\\" + sid);
    ASSERT_TRUE(sessionLink.IsValid() && boxLink.IsValid()) << std::hex << sessionLink.Status() << " " << boxLink.Status();

    Collect off;
    EnumerateSectionNames(own, false, off);
    Collect parts;
    EnumerateDirectory(kGlobalDirectoryPath, kGlobalPrefix, parts);
    EnumerateDirectory(SessionDirectoryPath(own).c_str(), nullptr, parts);
    EXPECT_EQ(off.names, parts.names);
    EXPECT_TRUE(Has(off.names, inOwn.Name()));
    EXPECT_FALSE(AnyStartsWith(off.names, L"Session\\"));
    EXPECT_FALSE(AnyStartsWith(off.names, L"AppContainer\\"));

    Collect on;
    EnumerateSectionNames(own, true, on);
    ASSERT_GE(on.names.size(), off.names.size());
    EXPECT_TRUE(std::equal(off.names.begin(), off.names.end(), on.names.begin())) << "the two directories come first";
    const std::vector<std::wstring> extra(on.names.begin() + static_cast<long>(off.names.size()), on.names.end());

    struct Row {
        std::wstring name;
        std::uint64_t size;
        unsigned char seed;
    };
    const Row rows[] = {{L"Session\\" + otherId + L"\\" + stem + L"_session", 0x2000, 0x10},
                        {L"AppContainer\\" + otherId + L"\\" + sid + L"\\" + stem + L"_box", 0x1000, 0x20},
                        {L"AppContainer\\" + ownId + L"\\" + sid + L"\\" + stem + L"_ownbox", 0x3000, 0x30},
                        {L"Session\\" + paddedId + L"\\" + stem + L"_padded", 0x1000, 0x40}};
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.name.c_str());
        EXPECT_EQ(std::count(extra.begin(), extra.end(), row.name), 1);
        SectionView view;
        ASSERT_GE(view.Open(row.name.c_str()), 0);
        EXPECT_EQ(view.Size(), row.size);
        EXPECT_EQ(view.Base()[1], static_cast<unsigned char>(row.seed + 7));
    }
    // No duplicate of the own session, nothing through a link, nothing from a directory that refuses.
    EXPECT_FALSE(AnyStartsWith(extra, L"Session\\" + ownId + L"\\"));
    EXPECT_FALSE(AnyStartsWith(extra, L"Session\\" + linkId + L"\\"));
    EXPECT_FALSE(AnyStartsWith(extra, L"AppContainer\\" + linkId + L"\\"));
    EXPECT_FALSE(AnyStartsWith(extra, L"AppContainer\\" + otherId + L"\\S-1-15-2-link\\"));
    EXPECT_FALSE(AnyStartsWith(extra, L"AppContainer\\" + otherId + L"\\S-1-15-2-closed\\"));
    for (const std::wstring& name : extra)
        EXPECT_TRUE(name.rfind(L"Session\\", 0) == 0 || name.rfind(L"AppContainer\\", 0) == 0) << name.c_str();
}

}  // namespace
}  // namespace quillon::test
