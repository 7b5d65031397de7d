#pragma once
// Live watching: the rows on screen are looked at again and again, and each byte that changed since
// the previous look carries the time of the change, so the painter can shade it and let the shade
// fade. Only the rows on screen are kept: memory stays the same whatever the data's size.
#include <cstdint>
#include <vector>

namespace quillon {

// The background of a byte that has just changed, as a COLORREF (0x00BBGGRR): a warm orange, apart
// from the system's selection colours. It holds for the first second, then fades to the window's
// background over the next.
constexpr std::uint32_t kLiveHighlight = 0x0040A0FF;

class LiveWatch {
public:
    static constexpr std::uint32_t kFadeMs = 2000;
    static constexpr std::uint32_t kHoldMs = 1000;

    // Reads the `rows` rows from `topRow` of `data` (`size` bytes) through the fault-tolerant read and
    // compares them with the last look. Rows that were on screen before (at whatever view row) are
    // compared; rows new to the screen are only remembered. `repaint` receives the view rows whose
    // shading changed: a new change, a fading shade, or a shade that has just ended.
    void Look(const unsigned char* data, std::int32_t size, std::int32_t topRow, std::int32_t rows,
              std::uint32_t now, std::vector<std::int32_t>& repaint);

    // How far the change of byte `position` has faded at `now`: 0 (just changed) to kFadeMs; kFadeMs
    // when it has not changed recently or is not on screen.
    std::uint32_t Age(std::int64_t position, std::uint32_t now) const noexcept;

    // Forgets everything (live watching switched off).
    void Clear() noexcept;

    // Bytes held, for the memory check: proportional to the rows on screen.
    std::size_t Footprint() const noexcept { return bytes_.capacity() + readable_.capacity() + stamps_.capacity() * 4; }

private:
    std::int32_t top_ = -1;
    std::int32_t rows_ = 0;
    std::vector<unsigned char> bytes_;
    std::vector<unsigned char> readable_;
    std::vector<std::uint32_t> stamps_;  // time of the last change plus one; 0: no recent change
    std::vector<unsigned char> fresh_;
    std::vector<unsigned char> freshReadable_;
    std::vector<std::uint32_t> freshStamps_;
};

}  // namespace quillon
