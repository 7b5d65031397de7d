#include "about/link_painting.h"

#include "common/gdi_scopes.h"

namespace quillon {

COLORREF LinkTextColour(const LinkColours& colours, bool enabled, bool visited) noexcept {
    if (!enabled) return ::GetSysColor(COLOR_GRAYTEXT);
    return visited ? colours.visited : colours.link;
}

void PaintLink(HDC dc, const LinkAppearance& look) noexcept {
    if (look.background) ::FillRect(dc, &look.client, look.background);

    const int previousMode = ::SetBkMode(dc, TRANSPARENT);
    const COLORREF previousColour = ::SetTextColor(dc, look.textColour);
    {
        const SelectionScope font(dc, look.font);
        if (look.text) {
            RECT area = look.link;
            ::DrawTextW(dc, look.text, -1, &area, DT_LEFT | DT_WORDBREAK);
        }
    }
    if (look.focused) ::DrawFocusRect(dc, &look.link);
    ::SetTextColor(dc, previousColour);
    ::SetBkMode(dc, previousMode);
}

}  // namespace quillon
