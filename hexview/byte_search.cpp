#include "hexview/byte_search.h"

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <array>
#include <cstring>

#include "common/readable_memory.h"
#include "common/safe_read.h"
#include "hexview/hex_lines.h"

namespace quillon {

namespace {

// Bytes scanned between two progress calls.
constexpr std::uint64_t kSlice = std::uint64_t{1} << 20;

int HexValue(wchar_t c) noexcept {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    return -1;
}

bool IsBlank(wchar_t c) noexcept { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n'; }

ParsedPattern ParseHex(std::wstring_view text) {
    ParsedPattern result;
    std::wstring digits;
    for (wchar_t c : text) {
        if (!IsBlank(c)) digits.push_back(c);
    }
    if (digits.empty()) {
        result.error = PatternError::Empty;
        return result;
    }
    if (digits.size() % 2 != 0) {
        result.error = PatternError::OddDigits;
        return result;
    }
    for (std::size_t i = 0; i < digits.size(); i += 2) {
        if (digits[i] == L'?' && digits[i + 1] == L'?') {
            result.pattern.AddWildcard();
            continue;
        }
        const int high = HexValue(digits[i]);
        const int low = HexValue(digits[i + 1]);
        if (high < 0 || low < 0) {
            result.error = PatternError::BadCharacter;
            return result;
        }
        result.pattern.AddByte(static_cast<unsigned char>(high * 16 + low));
    }
    return result;
}

// The case of one UTF-16 code unit by the system's invariant table (simple one-to-one mapping).
wchar_t MapCase(wchar_t c, DWORD flag) noexcept {
    wchar_t out = c;
    if (::LCMapStringW(LOCALE_INVARIANT, flag, &c, 1, &out, 1) != 1) return c;
    return out;
}

void AddUnique(std::vector<std::wstring>& list, std::wstring form) {
    if (std::find(list.begin(), list.end(), form) == list.end()) list.push_back(std::move(form));
}

// The typed character and, without match case, its upper and lower case (BMP letters only).
std::vector<std::wstring> CaseForms(std::wstring_view character, bool matchCase) {
    std::vector<std::wstring> forms{std::wstring(character)};
    if (!matchCase && character.size() == 1) {
        AddUnique(forms, std::wstring(1, MapCase(character[0], LCMAP_UPPERCASE)));
        AddUnique(forms, std::wstring(1, MapCase(character[0], LCMAP_LOWERCASE)));
    }
    return forms;
}

std::string Utf16Bytes(std::wstring_view units) {
    std::string bytes;
    for (wchar_t unit : units) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>((unit >> 8) & 0xFF));
    }
    return bytes;
}

ParsedPattern ParseText(std::wstring_view text, SearchMode mode, bool matchCase) {
    ParsedPattern result;
    if (text.empty()) {
        result.error = PatternError::Empty;
        return result;
    }
    for (std::size_t i = 0; i < text.size();) {
        // One character: a surrogate pair counts as one, and has no case here.
        std::size_t length = 1;
        if (text[i] >= 0xD800 && text[i] <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            length = 2;
        }
        const std::wstring_view character = text.substr(i, length);
        i += length;
        std::vector<std::string> spellings;
        for (const std::wstring& form : CaseForms(character, matchCase)) {
            std::string bytes;
            if (mode == SearchMode::Utf16Text) {
                bytes = Utf16Bytes(form);
            } else if (!EncodeUtf8(form, bytes)) {
                result.error = PatternError::BadText;
                return result;
            }
            // Only spellings of the typed character's length can stand in its place.
            if (spellings.empty() || bytes.size() == spellings.front().size()) spellings.push_back(std::move(bytes));
        }
        result.pattern.AddSpellings(spellings);
    }
    return result;
}

// Horspool's shift tables over the acceptance sets: forward by the window's last byte, backward by
// its first. A wildcard accepts every byte, which limits the shift to its distance from the end.
struct Shifts {
    std::array<std::size_t, 256> forward;
    std::array<std::size_t, 256> backward;
};

Shifts MakeShifts(const BytePattern& pattern) {
    const std::size_t m = pattern.Size();
    Shifts shifts;
    shifts.forward.fill(m);
    shifts.backward.fill(m);
    for (std::size_t j = 0; j + 1 < m; ++j) {
        for (int c = 0; c < 256; ++c) {
            if (pattern.Accepts(j, static_cast<unsigned char>(c))) shifts.forward[c] = m - 1 - j;
        }
    }
    for (std::size_t j = m - 1; j >= 1; --j) {
        for (int c = 0; c < 256; ++c) {
            if (pattern.Accepts(j, static_cast<unsigned char>(c))) shifts.backward[c] = j;
        }
    }
    return shifts;
}

// The first match starting in [first, last - m], as an index, or `npos`.
constexpr std::uint64_t kNone = ~std::uint64_t{0};

std::uint64_t ScanForward(const unsigned char* bytes, std::uint64_t first, std::uint64_t last,
                          const BytePattern& pattern, const Shifts& shifts) noexcept {
    const std::size_t m = pattern.Size();
    if (last - first < m) return kNone;
    const unsigned char* table = pattern.AcceptTable();
    const unsigned char* lastAccepts = table + (m - 1) * 256;
    const bool spelled = pattern.HasSpellings();
    for (std::uint64_t p = first; p <= last - m;) {
        const unsigned char c = bytes[p + m - 1];
        if (lastAccepts[c]) {
            std::size_t j = m - 1;
            while (j > 0 && table[(j - 1) * 256 + bytes[p + j - 1]]) --j;
            if (j == 0 && (!spelled || pattern.Matches(bytes + p))) return p;
        }
        p += shifts.forward[c];
    }
    return kNone;
}

// The last match starting in [first, last - m], as an index, or `npos`.
std::uint64_t ScanBackward(const unsigned char* bytes, std::uint64_t first, std::uint64_t last,
                           const BytePattern& pattern, const Shifts& shifts) noexcept {
    const std::size_t m = pattern.Size();
    if (last - first < m) return kNone;
    const unsigned char* table = pattern.AcceptTable();
    const bool spelled = pattern.HasSpellings();
    std::uint64_t p = last - m;
    for (;;) {
        const unsigned char c = bytes[p];
        if (table[c]) {
            std::size_t j = 1;
            while (j < m && table[j * 256 + bytes[p + j]]) ++j;
            if (j == m && (!spelled || pattern.Matches(bytes + p))) return p;
        }
        const std::size_t shift = shifts.backward[c];
        if (p - first < shift) return kNone;
        p -= shift;
    }
}

// What a search scans for. A wildcard caps every Horspool shift at its distance from the pattern's
// end, down to one byte for "?? " near the end; the scan then looks for the longest run without a
// wildcard (the anchor) and confirms the whole pattern around each place the anchor matches.
struct Scanner {
    explicit Scanner(const BytePattern& whole) : pattern(whole) {
        const std::size_t m = whole.Size();
        std::size_t bestFrom = 0, bestLength = 0;
        bool wildcard = false;
        for (std::size_t j = 0; j < m;) {
            if (whole.IsWildcard(j)) {
                wildcard = true;
                ++j;
                continue;
            }
            std::size_t k = j;
            while (k < m && !whole.IsWildcard(k)) ++k;
            if (k - j > bestLength) {
                bestFrom = j;
                bestLength = k - j;
            }
            j = k;
        }
        anchored = wildcard && bestLength >= 2;
        if (anchored) {
            anchor = whole.Part(bestFrom, bestLength);
            offset = bestFrom;
        }
        shifts = MakeShifts(anchored ? anchor : whole);
    }

    // The first match of the whole pattern starting in [first, last - m], or kNone.
    std::uint64_t First(const unsigned char* bytes, std::uint64_t first, std::uint64_t last) const noexcept {
        if (!anchored) return ScanForward(bytes, first, last, pattern, shifts);
        const std::size_t m = pattern.Size();
        if (last - first < m) return kNone;
        // The anchor lies at offset..offset+length of a match that starts in [first, last - m].
        std::uint64_t from = first + offset;
        const std::uint64_t to = last - m + offset + anchor.Size();
        for (;;) {
            const std::uint64_t q = ScanForward(bytes, from, to, anchor, shifts);
            if (q == kNone) return kNone;
            if (pattern.Matches(bytes + (q - offset))) return q - offset;
            from = q + 1;
        }
    }

    // The last match of the whole pattern starting in [first, last - m], or kNone.
    std::uint64_t Last(const unsigned char* bytes, std::uint64_t first, std::uint64_t last) const noexcept {
        if (!anchored) return ScanBackward(bytes, first, last, pattern, shifts);
        const std::size_t m = pattern.Size();
        if (last - first < m) return kNone;
        const std::uint64_t from = first + offset;
        std::uint64_t to = last - m + offset + anchor.Size();
        for (;;) {
            const std::uint64_t q = ScanBackward(bytes, from, to, anchor, shifts);
            if (q == kNone) return kNone;
            if (pattern.Matches(bytes + (q - offset))) return q - offset;
            if (q == from) return kNone;
            to = q + anchor.Size() - 1;  // only anchors that start before q
        }
    }

    const BytePattern& pattern;
    BytePattern anchor;
    std::size_t offset = 0;
    bool anchored = false;
    Shifts shifts{};
};

// Whether the memory at `base` is a view of a file. Such a page can fail to read although VirtualQuery
// calls it readable (the file was cut short, or its volume went away); pages of memory backed by the
// paging file cannot.
bool IsFileView(const unsigned char* base) noexcept {
    wchar_t name[MAX_PATH];
    return ::GetMappedFileNameW(::GetCurrentProcess(), const_cast<unsigned char*>(base), name, MAX_PATH) != 0;
}

// Scans [from, to) of the block. Memory backed by the paging file is scanned where it lies (it is
// inside the readable ranges). A file's view is copied through the fault-tolerant read first; where
// some bytes cannot be read, each readable run is scanned on its own, so no match spans the gap.
std::uint64_t ScanSlice(const unsigned char* base, std::uint64_t from, std::uint64_t to, const Scanner& scanner,
                        bool forward, bool copy, std::vector<unsigned char>& buffer, std::vector<unsigned char>& readable) {
    if (!copy) return forward ? scanner.First(base, from, to) : scanner.Last(base, from, to);
    const auto n = static_cast<std::size_t>(to - from);
    buffer.resize(n);
    readable.resize(n);
    if (ReadReadableBytes(base + from, buffer.data(), readable.data(), n) == n) {
        const std::uint64_t hit = forward ? scanner.First(buffer.data(), 0, n) : scanner.Last(buffer.data(), 0, n);
        return hit == kNone ? kNone : from + hit;
    }
    std::vector<OffsetSpan> runs;
    for (std::size_t i = 0; i < n;) {
        if (!readable[i]) {
            ++i;
            continue;
        }
        std::size_t j = i;
        while (j < n && readable[j]) ++j;
        runs.push_back(OffsetSpan{i, j});
        i = j;
    }
    if (!forward) std::reverse(runs.begin(), runs.end());
    for (const OffsetSpan& run : runs) {
        const std::uint64_t hit =
            forward ? scanner.First(buffer.data(), run.begin, run.end) : scanner.Last(buffer.data(), run.begin, run.end);
        if (hit != kNone) return from + hit;
    }
    return kNone;
}

}  // namespace

BytePattern BytePattern::Part(std::size_t from, std::size_t count) const {
    BytePattern part;
    part.size_ = count;
    part.accept_.assign(accept_.begin() + static_cast<std::ptrdiff_t>(from * 256),
                        accept_.begin() + static_cast<std::ptrdiff_t>((from + count) * 256));
    return part;
}

bool BytePattern::IsWildcard(std::size_t position) const noexcept {
    const unsigned char* row = accept_.data() + position * 256;
    return std::all_of(row, row + 256, [](unsigned char a) { return a != 0; });
}

void BytePattern::AddByte(unsigned char value) {
    accept_.resize(accept_.size() + 256, 0);
    accept_[size_ * 256 + value] = 1;
    ++size_;
}

void BytePattern::AddWildcard() {
    accept_.resize(accept_.size() + 256, 1);
    ++size_;
}

void BytePattern::AddSpellings(const std::vector<std::string>& spellings) {
    if (spellings.empty()) return;
    const std::size_t width = spellings.front().size();
    const std::size_t offset = size_;
    accept_.resize(accept_.size() + width * 256, 0);
    std::size_t differing = 0;
    for (std::size_t k = 0; k < width; ++k) {
        bool differs = false;
        for (const std::string& form : spellings) {
            const auto value = static_cast<unsigned char>(form[k]);
            accept_[(offset + k) * 256 + value] = 1;
            differs = differs || form[k] != spellings.front()[k];
        }
        if (differs) ++differing;
    }
    size_ += width;
    // Per-byte sets describe the character exactly unless its forms differ in two or more bytes.
    if (differing >= 2) spellings_.push_back(Spelled{offset, spellings});
}

bool BytePattern::Matches(const unsigned char* at) const noexcept {
    for (std::size_t j = 0; j < size_; ++j) {
        if (!Accepts(j, at[j])) return false;
    }
    for (const Spelled& spelled : spellings_) {
        const auto same = [&](const std::string& form) {
            return std::memcmp(at + spelled.offset, form.data(), form.size()) == 0;
        };
        if (std::none_of(spelled.forms.begin(), spelled.forms.end(), same)) return false;
    }
    return true;
}

bool EncodeUtf8(std::wstring_view text, std::string& out) {
    out.clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
        std::uint32_t cp = text[i];
        if (cp >= 0xD800 && cp <= 0xDBFF) {
            if (i + 1 >= text.size() || text[i + 1] < 0xDC00 || text[i + 1] > 0xDFFF) return false;
            cp = 0x10000 + ((cp - 0xD800) << 10) + (std::uint32_t{text[i + 1]} - 0xDC00);
            ++i;
        } else if (cp >= 0xDC00 && cp <= 0xDFFF) {
            return false;
        }
        if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
        } else if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    }
    return true;
}

ParsedPattern ParsePattern(std::wstring_view text, SearchMode mode, bool matchCase) {
    if (mode == SearchMode::HexBytes) return ParseHex(text);
    return ParseText(text, mode, matchCase);
}

const wchar_t* PatternErrorText(PatternError error) noexcept {
    switch (error) {
        case PatternError::None: return L"";
        case PatternError::Empty: return L"Type something to find.";
        case PatternError::OddDigits: return L"Hex bytes need two digits each.";
        case PatternError::BadCharacter: return L"Hex bytes are pairs of 0-9, A-F, or ?? for any byte.";
        case PatternError::BadText: return L"The text holds a broken character.";
    }
    return L"";
}

std::vector<OffsetSpan> FindReadableSpans(const unsigned char* base, std::uint64_t size) {
    std::vector<OffsetSpan> spans;
    const auto start = reinterpret_cast<std::uintptr_t>(base);
    std::uint64_t offset = 0;
    while (offset < size) {
        MEMORY_BASIC_INFORMATION info{};
        if (::VirtualQuery(base + offset, &info, sizeof(info)) == 0 || info.RegionSize == 0) break;
        const std::uint64_t regionEnd = reinterpret_cast<std::uintptr_t>(info.BaseAddress) - start + info.RegionSize;
        const std::uint64_t end = std::min<std::uint64_t>(regionEnd, size);
        if (end <= offset) break;  // an answer that does not move on
        if (IsReadableRegion(info)) {
            if (!spans.empty() && spans.back().end == offset) {
                spans.back().end = end;
            } else {
                spans.push_back(OffsetSpan{offset, end});
            }
        }
        offset = end;
    }
    return spans;
}

std::optional<std::uint64_t> FindPattern(const unsigned char* base, std::uint64_t size,
                                         const std::vector<OffsetSpan>& readable, const BytePattern& pattern,
                                         std::uint64_t start, SearchDirection direction,
                                         const SearchProgress& progress) {
    const std::size_t m = pattern.Size();
    if (m == 0 || !base) return std::nullopt;
    const Scanner scanner(pattern);
    const bool forward = direction == SearchDirection::Forward;

    // The part of each span a match may occupy: forward from `start`; backward, matches that start
    // before `start`, so they end before start + m - 1.
    std::vector<OffsetSpan> windows;
    std::uint64_t total = 0;
    for (const OffsetSpan& span : readable) {
        std::uint64_t begin = span.begin;
        std::uint64_t end = std::min(span.end, size);
        if (forward) {
            begin = std::max(begin, start);
        } else {
            if (start == 0) break;
            end = std::min(end, start - 1 + m);
        }
        if (end > begin && end - begin >= m) {
            windows.push_back(OffsetSpan{begin, end});
            total += end - begin;
        }
    }
    if (!forward) std::reverse(windows.begin(), windows.end());

    std::uint64_t done = 0;
    std::vector<unsigned char> buffer;
    std::vector<unsigned char> readableBytes;
    const bool copy = IsFileView(base);
    for (const OffsetSpan& window : windows) {
        // Slices of the window, each overlapping the next by m - 1 bytes so no match is cut.
        if (forward) {
            for (std::uint64_t at = window.begin; at < window.end; at += kSlice) {
                const std::uint64_t end = std::min(window.end, at + kSlice + m - 1);
                const std::uint64_t hit = ScanSlice(base, at, end, scanner, true, copy, buffer, readableBytes);
                if (hit != kNone) return hit;
                done += std::min(kSlice, window.end - at);
                if (progress && !progress(done, total)) return std::nullopt;
                if (end == window.end) break;
            }
        } else {
            for (std::uint64_t top = window.end; top > window.begin;) {
                const std::uint64_t from = top - window.begin > kSlice ? top - kSlice : window.begin;
                const std::uint64_t end = std::min(window.end, top + m - 1);
                const std::uint64_t hit = ScanSlice(base, from, end, scanner, false, copy, buffer, readableBytes);
                if (hit != kNone) return hit;
                done += top - from;
                if (progress && !progress(done, total)) return std::nullopt;
                top = from;
            }
        }
    }
    return std::nullopt;
}

}  // namespace quillon
