// The data inspector's values and the Go To offset forms.
#include <gtest/gtest.h>

#include <string>

#include "hexview/data_inspector.h"
#include "hexview/offset_input.h"

namespace quillon {
namespace {

TEST(DataInspector, BothByteOrders) {
    // 0xDEADBEEF then the double 1.5 in big-endian (3F F8 00 ...): each order reads its own values.
    const unsigned char bytes[8] = {0xDE, 0xAD, 0xBE, 0xEF, 0x01, 0x02, 0x03, 0x04};
    EXPECT_EQ(FormatInspector(bytes, 8, true),
              L"u8 222  i8 -34  u16 57005  i16 -8531  u32 3735928559  i32 -559038737  f32 -6.2598534e+18\n"
              L"u64 16045690981114315524  i64 -2401053092595236092  f64 -1.1885953977525024e+148");
    EXPECT_EQ(FormatInspector(bytes, 8, false),
              L"u8 222  i8 -34  u16 44510  i16 -21026  u32 4022250974  i32 -272716322  f32 -1.18024689e+29\n"
              L"u64 289077008422317534  i64 289077008422317534  f64 2.4380746000667448e-289");
    const unsigned char onePointFive[8] = {0, 0, 0, 0, 0, 0, 0xF8, 0x3F};
    EXPECT_NE(FormatInspector(onePointFive, 8, false).find(L"f64 1.5"), std::wstring::npos);
}

TEST(DataInspector, MissingBytesShowQuestionMarks) {
    const unsigned char bytes[8] = {0x80, 0xFF, 0x7F};
    EXPECT_EQ(FormatInspector(bytes, 3, false),
              L"u8 128  i8 -128  u16 65408  i16 -128  u32 ??  i32 ??  f32 ??\nu64 ??  i64 ??  f64 ??");
    EXPECT_EQ(FormatInspector(bytes, 0, false),
              L"u8 ??  i8 ??  u16 ??  i16 ??  u32 ??  i32 ??  f32 ??\nu64 ??  i64 ??  f64 ??");
}

TEST(OffsetInput, FormsAndLimits) {
    struct Case {
        const wchar_t* text;
        std::int64_t caret;
        std::int64_t offset;
        OffsetInputError error;
    } cases[] = {
        {L"0x1A2B", 0, 0x1A2B, OffsetInputError::None},
        {L"1A2Bh", 0, 0x1A2B, OffsetInputError::None},
        {L"1a2bH", 0, 0x1A2B, OffsetInputError::None},
        {L"6699", 0, 6699, OffsetInputError::None},
        {L"  6699 ", 0, 6699, OffsetInputError::None},
        {L"+0x100", 0x20, 0x120, OffsetInputError::None},
        {L"-16", 0x20, 0x10, OffsetInputError::None},
        {L"+10h", 0, 0x10, OffsetInputError::None},
        {L"65536", 0, 65536, OffsetInputError::None},  // the end position
        {L"65537", 0, 65537, OffsetInputError::BeyondEnd},
        {L"0x7FFFFFFFFFFFFFFFFFFF", 0, 0, OffsetInputError::BeyondEnd},
        {L"-0x21", 0x20, -1, OffsetInputError::BeforeStart},
        {L"", 0, 0, OffsetInputError::Unreadable},
        {L"0x", 0, 0, OffsetInputError::Unreadable},
        {L"12G", 0, 0, OffsetInputError::Unreadable},
        {L"1A2B", 0, 0, OffsetInputError::Unreadable},  // hex needs 0x or h
        {L"+", 0, 0, OffsetInputError::Unreadable},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::string(c.text, c.text + std::wcslen(c.text)));
        const OffsetInput input = ParseOffsetInput(c.text, c.caret, 65536);
        EXPECT_EQ(input.error, c.error);
        if (c.error == OffsetInputError::None || c.error == OffsetInputError::BeforeStart) {
            EXPECT_EQ(input.offset, c.offset);
        }
    }
    EXPECT_EQ(std::wstring(OffsetInputErrorText(OffsetInputError::BeyondEnd)), L"Offset is beyond the end of the section");
}

}  // namespace
}  // namespace quillon
