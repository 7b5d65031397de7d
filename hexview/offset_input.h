#pragma once
// The offset typed into Go To: hexadecimal ("0x1A2B", "1A2Bh"), decimal ("6699"), or relative to the
// caret ("+0x100", "-16"). Plain text, no window.
#include <cstdint>
#include <string_view>

namespace quillon {

enum class OffsetInputError { None, Unreadable, BeforeStart, BeyondEnd };

struct OffsetInput {
    std::int64_t offset = 0;
    OffsetInputError error = OffsetInputError::None;
};

// The absolute offset `text` names, with the caret at `caret` in data of `size` bytes. The end
// position (`size`) is a valid target.
OffsetInput ParseOffsetInput(std::wstring_view text, std::int64_t caret, std::int64_t size);

// The message for a refused offset: "Offset is beyond the end of the section" and the like.
const wchar_t* OffsetInputErrorText(OffsetInputError error) noexcept;

}  // namespace quillon
