// The window-free byte search: pattern parsing in the three modes and the find function over real
// memory with an unreadable page, as tables of cases.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <cwchar>
#include <optional>
#include <string>
#include <vector>

#include "hexview/byte_search.h"
#include "tests/support/file_section.h"
#include "tests/support/test_sections.h"

namespace quillon {
namespace {

constexpr std::size_t kPage = 4096;

// Four pages of zeros: 0 and 1 readable, 2 reserved only (unreadable), 3 readable.
class PagedBlock {
public:
    explicit PagedBlock(std::size_t pages = 4, std::size_t hole = 2) : size_(pages * kPage) {
        base_ = static_cast<unsigned char*>(::VirtualAlloc(nullptr, size_, MEM_RESERVE, PAGE_NOACCESS));
        for (std::size_t p = 0; p < pages; ++p) {
            if (p != hole) ::VirtualAlloc(base_ + p * kPage, kPage, MEM_COMMIT, PAGE_READWRITE);
        }
    }
    ~PagedBlock() { ::VirtualFree(base_, 0, MEM_RELEASE); }
    PagedBlock(const PagedBlock&) = delete;
    PagedBlock& operator=(const PagedBlock&) = delete;

    unsigned char* Base() const noexcept { return base_; }
    std::size_t Size() const noexcept { return size_; }
    void Put(std::size_t offset, const std::string& bytes) { std::memcpy(base_ + offset, bytes.data(), bytes.size()); }

private:
    std::size_t size_;
    unsigned char* base_;
};

std::string Bytes(std::initializer_list<int> values) {
    std::string out;
    for (int v : values) out.push_back(static_cast<char>(v));
    return out;
}

std::optional<std::uint64_t> Find(const PagedBlock& block, const std::wstring& text, SearchMode mode, bool matchCase,
                                  std::uint64_t start, SearchDirection direction) {
    const ParsedPattern parsed = ParsePattern(text, mode, matchCase);
    EXPECT_TRUE(parsed.Ok()) << "pattern refused";
    const std::vector<OffsetSpan> spans = FindReadableSpans(block.Base(), block.Size());
    return FindPattern(block.Base(), block.Size(), spans, parsed.pattern, start, direction);
}

constexpr auto kFwd = SearchDirection::Forward;
constexpr auto kBack = SearchDirection::Backward;
constexpr auto kHex = SearchMode::HexBytes;
constexpr auto kUtf8 = SearchMode::Utf8Text;
constexpr auto kUtf16 = SearchMode::Utf16Text;
constexpr std::uint64_t kNone = ~std::uint64_t{0};

TEST(ByteSearch, ReadableSpansSkipTheReservedPage) {
    PagedBlock block;
    const std::vector<OffsetSpan> spans = FindReadableSpans(block.Base(), block.Size());
    ASSERT_EQ(spans.size(), 2u);
    EXPECT_EQ(spans[0].begin, 0u);
    EXPECT_EQ(spans[0].end, 2 * kPage);
    EXPECT_EQ(spans[1].begin, 3 * kPage);
    EXPECT_EQ(spans[1].end, 4 * kPage);
    // A size inside a page ends the last span there.
    const std::vector<OffsetSpan> part = FindReadableSpans(block.Base(), 100);
    ASSERT_EQ(part.size(), 1u);
    EXPECT_EQ(part[0].end, 100u);
}

TEST(ByteSearch, FindsByModeCaseAndPlace) {
    struct Case {
        const char* what;
        std::size_t at;             // where the bytes are written
        std::string bytes;
        std::wstring pattern;
        SearchMode mode;
        bool matchCase;
        std::uint64_t start;
        SearchDirection direction;
        std::uint64_t expected;     // kNone: not found
    } cases[] = {
        {"hex with spaces", 100, Bytes({0xDE, 0xAD, 0xBE, 0xEF}), L"DE AD BE EF", kHex, false, 0, kFwd, 100},
        {"hex without spaces, lower case", 100, Bytes({0xDE, 0xAD, 0xBE, 0xEF}), L"deadbeef", kHex, false, 0, kFwd, 100},
        {"wildcard in the middle", 100, Bytes({0xDE, 0x77, 0xBE, 0xEF}), L"DE ?? BE EF", kHex, false, 0, kFwd, 100},
        {"wildcard first", 100, Bytes({0x42, 0xAD, 0xBE}), L"??ADBE", kHex, false, 0, kFwd, 100},
        {"a wrong byte is no match", 100, Bytes({0xDE, 0xAD, 0xBE, 0xEE}), L"DE AD BE EF", kHex, false, 0, kFwd, kNone},
        {"text ignoring case", 300, "HeLLo", L"hello", kUtf8, false, 0, kFwd, 300},
        {"text matching case", 300, "HeLLo", L"hello", kUtf8, true, 0, kFwd, kNone},
        {"text matching case, same case", 300, "hello", L"hello", kUtf8, true, 0, kFwd, 300},
        {"UTF-8 letters fold", 300, "GR\xC3\x9C\xC3\x9F" "E", L"gr\u00fc\u00dfe", kUtf8, false, 0, kFwd, 300},
        {"UTF-8 letters matching case", 300, "GR\xC3\x9C\xC3\x9F" "E", L"gr\u00fc\u00dfe", kUtf8, true, 0, kFwd, kNone},
        {"Cyrillic cases differing in two bytes", 300, "\xD0\xA0", L"\u0440", kUtf8, false, 0, kFwd, 300},
        {"no mixed spelling of a two-byte case pair", 300, "\xD0\x80", L"\u0440", kUtf8, false, 0, kFwd, kNone},
        {"UTF-16 text", 400, Bytes({'H', 0, 'i', 0}), L"Hi", kUtf16, true, 0, kFwd, 400},
        {"UTF-16 ignoring case", 400, Bytes({'H', 0, 'I', 0, 0xC4, 0}), L"hi\u00e4", kUtf16, false, 0, kFwd, 400},
        {"UTF-16 text is not its UTF-8 form", 400, "Hi", L"Hi", kUtf16, true, 0, kFwd, kNone},
        {"across a page boundary", kPage - 2, Bytes({1, 2, 3, 4}), L"01 02 03 04", kHex, false, 0, kFwd, kPage - 2},
        {"across a page boundary, backward", kPage - 2, Bytes({1, 2, 3, 4}), L"01020304", kHex, false, 4 * kPage, kBack,
         kPage - 2},
        {"would run into the unreadable page", 2 * kPage - 2, Bytes({0xAA, 0xBB}), L"AA BB ?? ??", kHex, false, 0, kFwd,
         kNone},
        {"would run into it, backward", 2 * kPage - 2, Bytes({0xAA, 0xBB}), L"AA BB ??", kHex, false, 4 * kPage, kBack,
         kNone},
        {"ends at the unreadable page", 2 * kPage - 2, Bytes({0xAA, 0xBB}), L"AA BB", kHex, false, 0, kFwd, 2 * kPage - 2},
        {"after the unreadable page", 3 * kPage, Bytes({0xAA, 0xBB}), L"AA BB", kHex, false, 0, kFwd, 3 * kPage},
        {"the last byte", 4 * kPage - 1, Bytes({0x7E}), L"7E", kHex, false, 0, kFwd, 4 * kPage - 1},
        {"the last two bytes", 4 * kPage - 2, Bytes({0x7D, 0x7E}), L"7D 7E", kHex, false, 0, kFwd, 4 * kPage - 2},
        {"the last byte, backward from the end", 4 * kPage - 1, Bytes({0x7E}), L"7E", kHex, false, 4 * kPage, kBack,
         4 * kPage - 1},
        {"forward from the match itself", 100, "abc", L"abc", kUtf8, true, 100, kFwd, 100},
        {"no wrap forward", 100, "abc", L"abc", kUtf8, true, 101, kFwd, kNone},
        {"no wrap backward", 100, "abc", L"abc", kUtf8, true, 100, kBack, kNone},
        {"backward from just after", 100, "abc", L"abc", kUtf8, true, 101, kBack, 100},
        {"backward from the end", 100, "abc", L"abc", kUtf8, true, 4 * kPage, kBack, 100},
        {"forward past the end", 100, "abc", L"abc", kUtf8, true, 5 * kPage, kFwd, kNone},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PagedBlock block;
        block.Put(c.at, c.bytes);
        const std::optional<std::uint64_t> found = Find(block, c.pattern, c.mode, c.matchCase, c.start, c.direction);
        EXPECT_EQ(found.value_or(kNone), c.expected);
    }
}

TEST(ByteSearch, WildcardPatternsConfirmEachCandidateOfTheirLongestRun) {
    // A near miss (the run matches, the last byte does not) before a true match, and a match at the
    // very end: forward and backward must step over the near miss and find the others.
    PagedBlock block;
    block.Put(100, Bytes({0xDE, 0x00, 0xBE, 0xEF, 0x01, 0x02, 0x99, 0x05}));
    block.Put(116, Bytes({0xDE, 0x11, 0xBE, 0xEF, 0x01, 0x02, 0x22, 0x04}));
    block.Put(4 * kPage - 3, Bytes({0xAA, 0xBB, 0xCC}));
    block.Put(0, Bytes({0x55, 0x66, 0xAD, 0xBE}));
    struct Case {
        const wchar_t* pattern;
        std::uint64_t start;
        SearchDirection direction;
        std::uint64_t expected;
    } cases[] = {
        {L"DE ?? BE EF 01 02 ?? 04", 0, kFwd, 116},
        {L"DE ?? BE EF 01 02 ?? 04", 117, kFwd, kNone},
        {L"DE ?? BE EF 01 02 ?? 04", 4 * kPage, kBack, 116},
        {L"DE ?? BE EF 01 02 ?? 04", 116, kBack, kNone},
        {L"DE ?? BE EF 01 02 ?? ??", 0, kFwd, 100},
        {L"DE ?? BE EF 01 02 ?? ??", 4 * kPage, kBack, 116},
        {L"DE ?? BE EF 01 02 ?? ??", 116, kBack, 100},
        {L"?? ?? AD BE", 0, kFwd, 0},
        {L"?? ?? AD BE", 4 * kPage, kBack, 0},
        {L"AA BB ??", 0, kFwd, 4 * kPage - 3},
        {L"AA BB ??", 4 * kPage, kBack, 4 * kPage - 3},
        {L"?? BB CC", 4 * kPage, kBack, 4 * kPage - 3},
        {L"AA BB CC ??", 0, kFwd, kNone},  // would end past the block
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::string(c.pattern, c.pattern + std::wcslen(c.pattern)) << " from "
                                        << c.start);
        EXPECT_EQ(Find(block, c.pattern, kHex, true, c.start, c.direction).value_or(kNone), c.expected);
    }
}

TEST(ByteSearch, NextAndPreviousStepThroughEveryMatch) {
    PagedBlock block;
    const std::size_t places[] = {5, 4000, 4094, 3 * kPage + 10, 4 * kPage - 3};
    for (std::size_t at : places) block.Put(at, "xyz");
    std::vector<std::uint64_t> forward;
    for (std::uint64_t start = 0;;) {
        const auto hit = Find(block, L"XYZ", kUtf8, false, start, kFwd);
        if (!hit) break;
        forward.push_back(*hit);
        start = *hit + 3;  // after the selected match
    }
    EXPECT_EQ(forward, std::vector<std::uint64_t>(std::begin(places), std::end(places)));
    std::vector<std::uint64_t> backward;
    for (std::uint64_t start = block.Size();;) {
        const auto hit = Find(block, L"78 79 7A", kHex, false, start, kBack);
        if (!hit) break;
        backward.push_back(*hit);
        start = *hit;  // before the selected match
    }
    EXPECT_EQ(backward, std::vector<std::uint64_t>(std::rbegin(places), std::rend(places)));
}

TEST(ByteSearch, MatchesAcrossScanSlicesAndCancels) {
    // Three readable MiB: the scan works in slices of one MiB with an overlap; a match that straddles
    // a slice boundary must be found from both sides.
    const std::size_t mib = 1 << 20;
    PagedBlock block(3 * mib / kPage, ~std::size_t{0});
    block.Put(mib - 2, "\x11\x22\x33\x44");
    block.Put(2 * mib - 1, "\x11\x22\x33\x44");
    const std::vector<OffsetSpan> spans = FindReadableSpans(block.Base(), block.Size());
    const BytePattern pattern = ParsePattern(L"11 22 33 44", kHex, true).pattern;
    EXPECT_EQ(FindPattern(block.Base(), block.Size(), spans, pattern, 0, kFwd).value_or(kNone), mib - 2);
    EXPECT_EQ(FindPattern(block.Base(), block.Size(), spans, pattern, mib, kFwd).value_or(kNone), 2 * mib - 1);
    EXPECT_EQ(FindPattern(block.Base(), block.Size(), spans, pattern, block.Size(), kBack).value_or(kNone), 2 * mib - 1);
    EXPECT_EQ(FindPattern(block.Base(), block.Size(), spans, pattern, 2 * mib - 1, kBack).value_or(kNone), mib - 2);

    // Progress reaches the total on a full scan; a false answer stops the scan with no result.
    const BytePattern absent = ParsePattern(L"99 88 77 66", kHex, true).pattern;
    std::uint64_t lastDone = 0, lastTotal = 0;
    int calls = 0;
    EXPECT_FALSE(FindPattern(block.Base(), block.Size(), spans, absent, 0, kFwd, [&](std::uint64_t d, std::uint64_t t) {
        lastDone = d;
        lastTotal = t;
        ++calls;
        return true;
    }));
    EXPECT_EQ(lastTotal, 3 * mib);
    EXPECT_EQ(lastDone, 3 * mib);
    EXPECT_GE(calls, 3);
    // Cancelled after the first slice: a match in the third MiB is never reported.
    block.Put(2 * mib + 100, "\x55\x66\x77\x88");
    const BytePattern late = ParsePattern(L"55 66 77 88", kHex, true).pattern;
    EXPECT_EQ(FindPattern(block.Base(), block.Size(), spans, late, 0, kFwd).value_or(kNone), 2 * mib + 100);
    calls = 0;
    EXPECT_FALSE(FindPattern(block.Base(), block.Size(), spans, late, 0, kFwd, [&](std::uint64_t, std::uint64_t) {
        ++calls;
        return false;
    }));
    EXPECT_EQ(calls, 1);
}

TEST(ByteSearch, FileCutShortUnderTheViewIsSearchedWithoutAFault) {
    if (!test::FileBackedSection::CanShrinkWhileMapped())
        GTEST_SKIP() << "the platform refuses to shrink a mapped file";
    test::FileBackedSection file(test::UniqueName(L"QuillonSearchCut"), 3 * kPage);
    ASSERT_TRUE(file.IsValid());
    HANDLE section = ::OpenFileMappingW(FILE_MAP_READ, FALSE, file.Name().c_str());
    ASSERT_TRUE(section);
    const auto* view = static_cast<const unsigned char*>(::MapViewOfFile(section, FILE_MAP_READ, 0, 0, 0));
    ASSERT_TRUE(view);
    const auto hexAt = [](std::size_t offset, int count) {
        std::wstring text;
        for (int i = 0; i < count; ++i) {
            wchar_t pair[4];
            std::swprintf(pair, 4, L"%02X", test::FileBackedSection::ExpectedByte(offset + i));
            text += pair;
        }
        return text;
    };
    // The readable ranges are taken before the cut, as a search that started earlier would have them.
    const std::vector<OffsetSpan> spans = FindReadableSpans(view, 3 * kPage);
    ASSERT_TRUE(file.Shrink(kPage));
    // The fill repeats every 256 bytes: each search starts where it must read the cut pages.
    struct Case {
        std::size_t at;  // where the pattern's bytes were written
        std::uint64_t start;
        SearchDirection direction;
        std::uint64_t expected;
    } cases[] = {
        {100, 0, kFwd, 100},
        {100, 3 * kPage, kBack, kPage - 256 + 100},  // the last whole place before the cut
        {kPage - 3, kPage - 200, kFwd, kNone},       // would run across the cut
        {2 * kPage + 7, kPage, kFwd, kNone},         // inside the cut
        {kPage + 7, 2 * kPage, kBack, kPage - 256 + 7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.at);
        const BytePattern pattern = ParsePattern(hexAt(c.at, 6), kHex, true).pattern;
        const auto hit = FindPattern(view, 3 * kPage, spans, pattern, c.start, c.direction);
        EXPECT_EQ(hit.value_or(kNone), c.expected);
    }
    ::UnmapViewOfFile(view);
    ::CloseHandle(section);
}

TEST(ByteSearch, RefusedPatterns) {
    struct Case {
        std::wstring text;
        SearchMode mode;
        PatternError error;
    } cases[] = {
        {L"", kHex, PatternError::Empty},
        {L"   ", kHex, PatternError::Empty},
        {L"ABC", kHex, PatternError::OddDigits},
        {L"DE AD B", kHex, PatternError::OddDigits},
        {L"GG", kHex, PatternError::BadCharacter},
        {L"D?", kHex, PatternError::BadCharacter},
        {L"0x12", kHex, PatternError::BadCharacter},
        {L"", kUtf8, PatternError::Empty},
        {L"", kUtf16, PatternError::Empty},
        {std::wstring(1, wchar_t(0xD800)), kUtf8, PatternError::BadText},
        {L"DE AD ?? EF", kHex, PatternError::None},
        {std::wstring(1, wchar_t(0xD800)), kUtf16, PatternError::None},  // code units are taken as they are
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << static_cast<int>(c.mode) << " " << c.text.size());
        const ParsedPattern parsed = ParsePattern(c.text, c.mode, false);
        EXPECT_EQ(parsed.error, c.error);
        if (!parsed.Ok()) {
            EXPECT_NE(std::wstring(PatternErrorText(parsed.error)), L"");
        }
    }
    EXPECT_EQ(ParsePattern(L"DE AD ?? EF", kHex, false).pattern.Size(), 4u);
    EXPECT_EQ(ParsePattern(L"\u00e4", kUtf8, false).pattern.Size(), 2u);
    EXPECT_EQ(ParsePattern(L"\U0001F600", kUtf8, false).pattern.Size(), 4u);
    EXPECT_EQ(ParsePattern(L"ab", kUtf16, false).pattern.Size(), 4u);
}

}  // namespace
}  // namespace quillon
