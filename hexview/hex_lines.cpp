#include "hexview/hex_lines.h"

#include <algorithm>
#include <vector>

#include "common/safe_read.h"
#include "hexview/hex_text.h"

namespace quillon {

namespace {

// Bytes read at a time: whole rows, a multiple of the page size.
constexpr std::size_t kPiece = 64 * 1024;
constexpr int kRow = 16;

void AppendOffset(std::wstring& out, std::uint64_t offset) {
    if (offset > 0xFFFFFFFFull) {
        // Past 4 GiB the offset takes the digits it needs.
        wchar_t high[8];
        FormatOffset(static_cast<std::uint32_t>(offset >> 32), high);
        wchar_t* first = std::find_if(high, high + 8, [](wchar_t c) { return c != L'0'; });
        out.append(first, high + 8);
    }
    wchar_t low[8];
    FormatOffset(static_cast<std::uint32_t>(offset), low);
    out.append(low, 8);
}

}  // namespace

std::wstring FormatHexLines(const unsigned char* base, std::uint64_t begin, std::uint64_t end) {
    std::wstring out;
    if (!base || end <= begin) return out;
    const std::uint64_t firstRow = begin / kRow;
    const std::uint64_t lastRow = (end - 1) / kRow;
    out.reserve(static_cast<std::size_t>(std::min<std::uint64_t>((lastRow - firstRow + 1) * 78, 1u << 28)));

    std::vector<unsigned char> bytes(kPiece);
    std::vector<unsigned char> readable(kPiece);
    std::uint64_t pieceBegin = 0;
    std::uint64_t pieceEnd = 0;
    for (std::uint64_t row = firstRow; row <= lastRow; ++row) {
        const std::uint64_t rowStart = row * kRow;
        const std::uint64_t from = std::max(rowStart, begin);
        const std::uint64_t to = std::min(rowStart + kRow, end);
        if (to > pieceEnd || from < pieceBegin) {
            pieceBegin = from;
            pieceEnd = std::min<std::uint64_t>(end, from + kPiece);
            ReadReadableBytes(base + pieceBegin, bytes.data(), readable.data(),
                              static_cast<std::size_t>(pieceEnd - pieceBegin));
        }
        AppendOffset(out, rowStart);
        out.append(L"  ");
        for (int i = 0; i < kRow; ++i) {
            if (i > 0) out.push_back(L' ');
            const std::uint64_t pos = rowStart + i;
            if (pos < from || pos >= to) {
                out.append(L"  ");
                continue;
            }
            const std::size_t k = static_cast<std::size_t>(pos - pieceBegin);
            wchar_t digits[2] = {kUnreadableDigit, kUnreadableDigit};
            if (readable[k]) FormatByte(bytes[k], digits);
            out.append(digits, 2);
        }
        out.append(L"  ");
        for (std::uint64_t pos = rowStart; pos < to; ++pos) {
            if (pos < from) {
                out.push_back(L' ');
                continue;
            }
            const std::size_t k = static_cast<std::size_t>(pos - pieceBegin);
            out.push_back(readable[k] ? DisplayChar(bytes[k]) : kUnreadableChar);
        }
        out.append(L"\r\n");
    }
    return out;
}

std::optional<std::wstring> FormatCArray(const unsigned char* base, std::uint64_t begin, std::uint64_t end) {
    std::wstring out;
    if (!base || end <= begin) return out;
    out.reserve(static_cast<std::size_t>(std::min<std::uint64_t>((end - begin) * 6 + 16, 1u << 28)));
    std::vector<unsigned char> bytes(kPiece);
    std::uint64_t index = 0;
    for (std::uint64_t at = begin; at < end; at += kPiece) {
        const std::size_t count = static_cast<std::size_t>(std::min<std::uint64_t>(kPiece, end - at));
        if (!ReadBytesSafely(base + at, bytes.data(), count)) return std::nullopt;
        for (std::size_t k = 0; k < count; ++k, ++index) {
            if (index > 0) out.append(index % kRow == 0 ? L",\r\n" : L", ");
            wchar_t digits[2];
            FormatByte(bytes[k], digits);
            out.append(L"0x");
            out.append(digits, 2);
        }
    }
    return out;
}

}  // namespace quillon
