#pragma once
// Painting of the hyperlink, apart from its window: everything it needs is passed in, so WM_PAINT,
// WM_PRINTCLIENT and tests drawing into a memory DC share it.
#include <windows.h>

#include "about/link_colours.h"

namespace quillon {

struct LinkAppearance {
    RECT client{};         // the whole control
    RECT link{};           // where the text goes (and the focus rectangle)
    HBRUSH background{};   // the parent's brush for the static; null leaves the background alone
    COLORREF textColour{};
    HFONT font{};          // null keeps the DC's font
    const wchar_t* text{}; // null paints no text
    bool focused{};
};

// The text colour for the link's state: grey when disabled, else visited or link colour.
COLORREF LinkTextColour(const LinkColours& colours, bool enabled, bool visited) noexcept;

// Fills the background, draws the text transparently with word breaks and, when focused, the focus
// rectangle around the link; restores the DC's text colour, background mode and font.
void PaintLink(HDC dc, const LinkAppearance& look) noexcept;

}  // namespace quillon
