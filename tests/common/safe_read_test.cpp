// The fault-tolerant read over pages that cannot be read: reserved pages (VirtualQuery sees them) and
// the pages of a file that shrank under its view (only the read itself can tell).
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "common/safe_read.h"
#include "common/unique_resource.h"
#include "tests/support/file_section.h"
#include "tests/support/test_sections.h"

namespace quillon {
namespace {

constexpr std::size_t kPage = 4096;

// What ReadReadableBytes gave for [from, from + count), checked against the bytes and the pages
// expected to be readable.
void ExpectReadable(const unsigned char* from, std::size_t count, const std::vector<bool>& pageReadable,
                    const unsigned char* base, unsigned char (*expected)(std::size_t offset)) {
    std::vector<unsigned char> bytes(count, 0xEE);
    std::vector<char> readable(count, 2);
    const std::size_t read = ReadReadableBytes(from, bytes.data(), reinterpret_cast<unsigned char*>(readable.data()), count);
    std::size_t expectedRead = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t offset = static_cast<std::size_t>(from - base) + i;
        const bool good = pageReadable[offset / kPage];
        expectedRead += good ? 1 : 0;
        ASSERT_EQ(readable[i] != 0, good) << "offset " << offset;
        ASSERT_EQ(bytes[i], good ? expected(offset) : 0) << "offset " << offset;
    }
    EXPECT_EQ(read, expectedRead);
}

unsigned char Pattern(std::size_t offset) { return static_cast<unsigned char>(offset * 3 + 1); }

TEST(SafeRead, ReservedPagesFailTheReadAndReadAroundThem) {
    auto* base = static_cast<unsigned char*>(::VirtualAlloc(nullptr, 3 * kPage, MEM_RESERVE, PAGE_NOACCESS));
    ASSERT_TRUE(base);
    ASSERT_TRUE(::VirtualAlloc(base, kPage, MEM_COMMIT, PAGE_READWRITE));
    ASSERT_TRUE(::VirtualAlloc(base + 2 * kPage, kPage, MEM_COMMIT, PAGE_READWRITE));
    for (std::size_t k = 0; k < 3 * kPage; ++k)
        if (k / kPage != 1) base[k] = Pattern(k);

    std::vector<unsigned char> out(3 * kPage);
    EXPECT_TRUE(ReadBytesSafely(base, out.data(), kPage));
    EXPECT_EQ(out[kPage - 1], Pattern(kPage - 1));
    EXPECT_FALSE(ReadBytesSafely(base, out.data(), kPage + 1));
    EXPECT_FALSE(ReadBytesSafely(base + 2 * kPage - 1, out.data(), 2));
    EXPECT_TRUE(ReadBytesSafely(base + 2 * kPage, out.data(), kPage));
    EXPECT_TRUE(ReadBytesSafely(base + kPage, out.data(), 0));

    const std::vector<bool> pages = {true, false, true};
    ExpectReadable(base + kPage - 8, kPage + 16, pages, base, &Pattern);
    ExpectReadable(base, 3 * kPage, pages, base, &Pattern);
    ExpectReadable(base + kPage + 5, 10, pages, base, &Pattern);
    ::VirtualFree(base, 0, MEM_RELEASE);
}

TEST(SafeRead, PagesPastTheEndOfAShrunkenFileFailTheReadAndReadAroundThem) {
    if (!test::FileBackedSection::CanShrinkWhileMapped())
        GTEST_SKIP() << "the platform refuses to shrink a mapped file";
    test::FileBackedSection file(test::UniqueName(L"QuillonSafeRead"), 4 * kPage);
    ASSERT_TRUE(file.IsValid());
    UniqueHandle mapping(::OpenFileMappingW(FILE_MAP_READ, FALSE, file.Name().c_str()));
    ASSERT_TRUE(mapping);
    const auto* view = static_cast<const unsigned char*>(::MapViewOfFile(mapping.Get(), FILE_MAP_READ, 0, 0, 0));
    ASSERT_TRUE(view);
    std::vector<unsigned char> out(4 * kPage);
    ASSERT_TRUE(ReadBytesSafely(view, out.data(), out.size()));

    ASSERT_TRUE(file.Shrink(static_cast<std::uint32_t>(2 * kPage)));
    EXPECT_TRUE(ReadBytesSafely(view, out.data(), kPage));
    EXPECT_FALSE(ReadBytesSafely(view, out.data(), out.size()));
    EXPECT_FALSE(ReadBytesSafely(view + 3 * kPage, out.data(), 1));
    // The pages up to the new end still read; the ones after it do not.
    const std::vector<bool> pages = {true, true, false, false};
    ExpectReadable(view, 4 * kPage, pages, view, &test::FileBackedSection::ExpectedByte);
    ExpectReadable(view + 2 * kPage - 3, 7, pages, view, &test::FileBackedSection::ExpectedByte);
    ::UnmapViewOfFile(view);
}

}  // namespace
}  // namespace quillon
