// The viewer's rows as text and as a C array, over real memory with an unreadable page.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "common/safe_read.h"
#include "hexview/hex_lines.h"

namespace quillon {
namespace {

constexpr std::size_t kPage = 4096;

// Two pages: the first readable and filled with its offsets' low bytes, the second reserved only.
class HalfReadable {
public:
    HalfReadable() {
        base_ = static_cast<unsigned char*>(::VirtualAlloc(nullptr, 2 * kPage, MEM_RESERVE, PAGE_NOACCESS));
        ::VirtualAlloc(base_, kPage, MEM_COMMIT, PAGE_READWRITE);
        for (std::size_t i = 0; i < kPage; ++i) base_[i] = static_cast<unsigned char>(i);
    }
    ~HalfReadable() { ::VirtualFree(base_, 0, MEM_RELEASE); }
    HalfReadable(const HalfReadable&) = delete;
    HalfReadable& operator=(const HalfReadable&) = delete;
    const unsigned char* Base() const noexcept { return base_; }

private:
    unsigned char* base_;
};

TEST(HexLines, RowsAsTheViewerShowsThem) {
    HalfReadable block;
    // Two whole rows: offset, sixteen cells, the characters by the viewer's rule.
    EXPECT_EQ(FormatHexLines(block.Base(), 0x40, 0x60),
              L"00000040  40 41 42 43 44 45 46 47 48 49 4A 4B 4C 4D 4E 4F  @ABCDEFGHIJKLMNO\r\n"
              L"00000050  50 51 52 53 54 55 56 57 58 59 5A 5B 5C 5D 5E 5F  PQRSTUVWXYZ[\\]^_\r\n");
    // Control codes and 0x80-0x9F as ".", 0x7F and 0xA0-0xFF as themselves; a range that starts and
    // ends inside rows keeps the columns with blanks.
    EXPECT_EQ(FormatHexLines(block.Base(), 0x7E, 0x82),
              L"00000070                                            7E 7F                ~\u007f\r\n"
              L"00000080  80 81                                            ..\r\n");
    EXPECT_EQ(FormatHexLines(block.Base(), 0xFE, 0x100),
              L"000000F0                                            FE FF                \u00fe\u00ff\r\n");
    EXPECT_EQ(FormatHexLines(block.Base(), 5, 5), L"");
}

TEST(HexLines, UnreadableBytesShowQuestionMarks) {
    HalfReadable block;
    EXPECT_EQ(FormatHexLines(block.Base(), kPage - 4, kPage + 4),
              L"00000FF0                                      FC FD FE FF              \u00fc\u00fd\u00fe\u00ff\r\n"
              L"00001000  ?? ?? ?? ??                                      ....\r\n");
    unsigned char bytes[8] = {};
    unsigned char readable[8] = {};
    EXPECT_EQ(ReadReadableBytes(block.Base() + kPage - 4, bytes, readable, 8), 4u);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(readable), 8), std::string("\1\1\1\1\0\0\0\0", 8));
    EXPECT_EQ(bytes[3], 0xFF);
    EXPECT_EQ(bytes[4], 0);
}

TEST(HexLines, CArraySixteenToALine) {
    HalfReadable block;
    EXPECT_EQ(FormatCArray(block.Base(), 0xDE, 0xE0).value_or(L"-"), L"0xDE, 0xDF");
    const std::wstring eighteen = FormatCArray(block.Base(), 0, 18).value_or(L"-");
    EXPECT_EQ(eighteen,
              L"0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F,\r\n"
              L"0x10, 0x11");
    EXPECT_FALSE(FormatCArray(block.Base(), kPage - 1, kPage + 1).has_value());  // an unreadable byte
    EXPECT_EQ(FormatCArray(block.Base(), 3, 3).value_or(L"-"), L"");
}

}  // namespace
}  // namespace quillon
