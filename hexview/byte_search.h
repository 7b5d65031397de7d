#pragma once
// Finding a byte pattern in a block of memory that may hold unreadable pages: the pattern (bytes,
// "??" wildcards, case-folded text), its parsers for the three input modes, and one find function
// that scans only readable ranges, forward or backward, without wrapping, and can be cancelled.
// No window code: the viewer and the console program share it.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillon {

// How the text typed into a search is turned into bytes.
enum class SearchMode {
    HexBytes,   // "DE AD ?? EF": pairs of hex digits or "??", spaces optional
    Utf8Text,   // the text as UTF-8 (plain ASCII is its own subset)
    Utf16Text,  // the text as UTF-16LE code units
};

enum class SearchDirection { Forward, Backward };

// A pattern of fixed length. Every position has the set of byte values it accepts (one value, all
// 256 for a wildcard, or the upper and lower case of a letter's byte). Where a character's cases
// differ in more than one byte, the accepted sets alone would also admit mixed forms, so the
// character keeps its exact spellings and a candidate is confirmed against them.
class BytePattern {
public:
    void AddByte(unsigned char value);
    void AddWildcard();
    // One character of text: its spellings, all of the same byte length (the first is the typed one).
    void AddSpellings(const std::vector<std::string>& spellings);

    std::size_t Size() const noexcept { return size_; }
    bool Empty() const noexcept { return size_ == 0; }
    bool Accepts(std::size_t position, unsigned char value) const noexcept {
        return accept_[position * 256 + value] != 0;
    }
    // True when the Size() bytes at `at` match, spellings included.
    bool Matches(const unsigned char* at) const noexcept;

    // Positions [from, from + count) as a pattern of their own: the acceptance sets only, without the
    // spellings, so a match of it is a candidate that Matches() of the whole must confirm.
    BytePattern Part(std::size_t from, std::size_t count) const;
    // True when the position accepts every byte ("??").
    bool IsWildcard(std::size_t position) const noexcept;

    // The raw acceptance table, Size() rows of 256 flags, for the scanners.
    const unsigned char* AcceptTable() const noexcept { return accept_.data(); }
    bool HasSpellings() const noexcept { return !spellings_.empty(); }

private:
    struct Spelled {
        std::size_t offset;
        std::vector<std::string> forms;
    };
    std::size_t size_ = 0;
    std::vector<unsigned char> accept_;
    std::vector<Spelled> spellings_;
};

// Why a typed pattern was refused.
enum class PatternError { None, Empty, OddDigits, BadCharacter, BadText };

struct ParsedPattern {
    BytePattern pattern;
    PatternError error = PatternError::None;
    bool Ok() const noexcept { return error == PatternError::None; }
};

// Parses `text` in `mode`. `matchCase` applies to the two text modes: without it, a letter matches
// its other case (the simple one-to-one case pairs of the system's invariant table; a case whose
// encoding has another length than the typed letter's is left out).
ParsedPattern ParsePattern(std::wstring_view text, SearchMode mode, bool matchCase);

// The message for a refused pattern, as the viewer shows it.
const wchar_t* PatternErrorText(PatternError error) noexcept;

// UTF-16 to UTF-8; false on a lone surrogate.
bool EncodeUtf8(std::wstring_view text, std::string& out);

// A range of offsets [begin, end) into a block.
struct OffsetSpan {
    std::uint64_t begin;
    std::uint64_t end;
};

// The readable parts of [base, base + size), as offsets, in order and merged, found with
// VirtualQuery (committed pages that allow reading and are not guard pages).
std::vector<OffsetSpan> FindReadableSpans(const unsigned char* base, std::uint64_t size);

// Called now and then during a search with the bytes scanned so far and the total; returning false
// cancels the search.
using SearchProgress = std::function<bool(std::uint64_t done, std::uint64_t total)>;

// Finds `pattern` in the `size` bytes at `base`, reading only inside `readable` (offsets into the
// block, as FindReadableSpans gives them, sorted and not overlapping); a match never spans a gap
// between two of them. A view of a file is read through the fault-tolerant read (its pages can fail
// although VirtualQuery calls them readable); other memory is scanned in place. Forward: the first
// match that starts at or after `start`. Backward: the last match that starts before `start`. No wrap. Empty when there is no match, the pattern is empty, or
// `progress` cancelled the search.
std::optional<std::uint64_t> FindPattern(const unsigned char* base, std::uint64_t size,
                                         const std::vector<OffsetSpan>& readable,
                                         const BytePattern& pattern, std::uint64_t start,
                                         SearchDirection direction, const SearchProgress& progress = {});

}  // namespace quillon
