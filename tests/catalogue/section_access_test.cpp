// Opening, mapping and measuring real named sections.
#include <gtest/gtest.h>

#include "catalogue/section_entry.h"
#include "catalogue/section_view.h"
#include "tests/support/test_sections.h"

namespace quillon {
namespace {

using test::SectionOptions;
using test::TestSection;
using test::UniqueName;

TEST(SectionAccess, SizeIsTheViewInWholePages) {
    struct Case {
        std::uint32_t created;
        const wchar_t* shown;
    };
    const Case cases[] = {{100, L"0x1000"}, {4096, L"0x1000"}, {4097, L"0x2000"}, {45056, L"0xB000"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.created);
        TestSection section(UniqueName(L"QuillonSize"), SectionOptions{c.created});
        ASSERT_TRUE(section.IsValid());
        std::uint64_t size = 0;
        ASSERT_TRUE(QuerySectionSize(section.Name().c_str(), size));
        EXPECT_EQ(FormatSizeText(size), c.shown);
    }
}

TEST(SectionAccess, SizeTextIsUpperCaseHexWithoutLeadingZeros) {
    EXPECT_EQ(FormatSizeText(0), L"0x0");
    EXPECT_EQ(FormatSizeText(0xB000), L"0xB000");
    EXPECT_EQ(FormatSizeText(0x7FFFF000), L"0x7FFFF000");
    EXPECT_EQ(FormatSizeText(0xFEDCBA9876543210ull), L"0xFEDCBA9876543210");
}

TEST(SectionAccess, ViewHoldsTheSectionsBytesReadOnly) {
    TestSection section(UniqueName(L"QuillonBytes"), SectionOptions{8192, false, false, false, 3});
    SectionView view;
    ASSERT_GE(view.Open(section.Name().c_str()), 0);
    ASSERT_EQ(view.Size(), 8192u);
    for (std::size_t k = 0; k < 8192; k += 511) EXPECT_EQ(view.Base()[k], section.ExpectedByte(k));

    MEMORY_BASIC_INFORMATION info{};
    ASSERT_NE(::VirtualQuery(view.Base(), &info, sizeof(info)), 0u);
    EXPECT_EQ(info.Protect, static_cast<DWORD>(PAGE_READONLY));
}

TEST(SectionAccess, CloseUnmapsTheViewAndAHolderOpensOnce) {
    TestSection section(UniqueName(L"QuillonClose"), SectionOptions{});
    SectionView view;
    ASSERT_GE(view.Open(section.Name().c_str()), 0);
    EXPECT_EQ(view.Open(section.Name().c_str()), E_UNEXPECTED);
    const void* base = view.Base();
    view.Close();
    EXPECT_FALSE(view.IsOpen());
    MEMORY_BASIC_INFORMATION info{};
    ::VirtualQuery(base, &info, sizeof(info));
    EXPECT_EQ(info.State, static_cast<DWORD>(MEM_FREE));
    view.Close();  // a second close is harmless
}

TEST(SectionAccess, DeniedMissingAndVanishedSectionsFailToOpen) {
    TestSection denied(UniqueName(L"QuillonDenied"), SectionOptions{4096, false, false, true});
    ASSERT_TRUE(denied.IsValid());
    SectionView view;
    const HRESULT status = view.Open(denied.Name().c_str());
    EXPECT_LT(status, 0);
    EXPECT_EQ(status, HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED));
    EXPECT_FALSE(view.IsOpen());

    std::uint64_t size = 12345;
    EXPECT_FALSE(QuerySectionSize(L"QuillonNoSuchSection_0", size));
    EXPECT_EQ(size, 12345u) << "a failed query leaves the size alone";

    TestSection gone(UniqueName(L"QuillonGone"), SectionOptions{});
    const std::wstring name = gone.Name();
    ASSERT_TRUE(QuerySectionSize(name.c_str(), size));
    gone.Close();
    EXPECT_LT(SectionView().Open(name.c_str()), 0);
}

TEST(SectionAccess, GlobalPrefixOpensTheGlobalObjectNotTheSessionNamesake) {
    const std::wstring name = UniqueName(L"QuillonTwin");
    TestSection global(name, SectionOptions{8192, true});
    TestSection local(name, SectionOptions{4096});
    ASSERT_TRUE(global.IsValid());
    ASSERT_TRUE(local.IsValid());
    std::uint64_t size = 0;
    ASSERT_TRUE(QuerySectionSize((L"Global\\" + name).c_str(), size));
    EXPECT_EQ(size, 8192u);
    ASSERT_TRUE(QuerySectionSize(name.c_str(), size));
    EXPECT_EQ(size, 4096u);
}

}  // namespace
}  // namespace quillon
