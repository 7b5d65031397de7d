// ParseAnchorColour and its _wtoi-like conversion, as tables.
#include "about/anchor_colour.h"

#include <gtest/gtest.h>

#include <climits>

namespace quillon {
namespace {

struct ColourCase {
    const wchar_t* text;
    COLORREF expected;
};

TEST(ParseAnchorColour, ReadsRedGreenBlueOrRejects) {
    const ColourCase cases[] = {
        {L"255,0,0", RGB(255, 0, 0)},
        {L"255, 0, 0", RGB(255, 0, 0)},          // blanks before a number are skipped
        {L" 255 ,\t0,\r\n0", RGB(255, 0, 0)},   // and a number ends at the first other character
        {L"0,128,0", RGB(0, 128, 0)},
        {L"255,255,255", RGB(255, 255, 255)},
        {L"0,0,0", RGB(0, 0, 0)},
        {L"0,128", CLR_INVALID},                 // only one comma
        {L"1,2,", CLR_INVALID},                  // nothing after the second comma
        {L"", CLR_INVALID},
        {L"255", CLR_INVALID},
        {L",,", CLR_INVALID},
        {L",,5", RGB(0, 0, 5)},                  // empty components read as 0
        {L"300,0,0", RGB(44, 0, 0)},             // each component keeps its low 8 bits
        {L"256,512,257", RGB(0, 0, 1)},
        {L"-1,0,0", CLR_INVALID},                // -1 in red or green is the conversion's failure value
        {L"0,-1,0", CLR_INVALID},
        {L"0,0,-1", RGB(0, 0, 255)},             // blue is never checked for it
        {L"-2,0,0", RGB(254, 0, 0)},
        {L"+12,0x10,7", RGB(12, 0, 7)},          // "0x10" stops at the x
        {L"a,b,c", RGB(0, 0, 0)},
        {L"1,2, ", RGB(1, 2, 0)},
        {L"1,2,3,4", RGB(1, 2, 3)},              // blue stops at the third comma
        {L"99999999999,0,0", RGB(255, 0, 0)},    // saturates at INT_MAX
        {L"-99999999999,0,0", RGB(0, 0, 0)},     // and at INT_MIN
        {L"1\x0301,2,3", RGB(1, 2, 3)},          // a combining mark does not hide the comma
    };
    for (const ColourCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "text \"" << c.text << "\"");
        EXPECT_EQ(ParseAnchorColour(c.text), c.expected);
    }
    EXPECT_EQ(ParseAnchorColour(nullptr), CLR_INVALID);
}

TEST(ParseAnchorColour, ConvertsLikeWtoi) {
    struct Case {
        const wchar_t* text;
        int expected;
    };
    const Case cases[] = {
        {L"42", 42},           {L"  42x", 42},        {L"\t-7", -7},         {L"+5", 5},
        {L"-0", 0},            {L"", 0},              {L"+", 0},             {L"- 5", 0},
        {L"x5", 0},            {L"2147483647", INT_MAX}, {L"2147483648", INT_MAX}, {L"-2147483648", INT_MIN},
        {L"-2147483649", INT_MIN}, {L"000000000000000000000012", 12},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "text \"" << c.text << "\"");
        EXPECT_EQ(ConvertDecimal(c.text), c.expected);
    }
    const wchar_t* digits = L"12345";
    EXPECT_EQ(ConvertDecimal(digits, digits + 2), 12);
    EXPECT_EQ(ConvertDecimal(digits, digits), 0);
}

}  // namespace
}  // namespace quillon
