#pragma once
// CHyperLink: a static control taken over to act as a hyperlink. It paints its text in the link
// colour (the visited colour once opened) with an underlined font, shows the hand cursor and a
// tooltip over the text, and opens its target with the shell on a click or on Enter/Space.
#include <windows.h>

#include <optional>
#include <string>

#include "about/link_colours.h"
#include "about/taken_over_window.h"
#include "common/unique_resource.h"

namespace quillon {

class CHyperLink final : public TakenOverWindow<CHyperLink> {
public:
    CHyperLink() = default;
    // Hands a still-living static back to its own procedure before the fonts and tooltip go.
    ~CHyperLink() { Release(); }

    // Takes over `hwnd` (a static control) and initialises the link from it: its text becomes the
    // display text and the target when none is set yet. True when taken over.
    bool AttachToStatic(HWND hwnd) noexcept;

    // Replace the painted text / the opened address. False (and the text none) when the copy can't
    // be allocated.
    bool SetDisplayText(const wchar_t* text) noexcept;
    bool SetTarget(const wchar_t* text) noexcept;

    // Hands the target to the shell's "open" verb; true, and the link visited, when the shell
    // accepted it. Nothing is shown to the user on failure.
    bool OpenTarget() noexcept;

    // Recomputes the link rectangle: the painted text, wrapped at the control's width, from the
    // control's top left corner.
    void MeasureLink() noexcept;

    // The font the link font derives from. A font set before the link takes over the static is not
    // owned by the link; the dialog that passes it keeps it.
    HFONT NormalFont() const noexcept { return normalFont_.Get(); }
    void SetNormalFont(HFONT font) noexcept { normalFont_.Reset(font, false); }
    HFONT LinkFont() const noexcept { return linkFont_.Get(); }
    bool OwnsNormalFont() const noexcept { return normalFont_.Owned(); }
    bool OwnsLinkFont() const noexcept { return linkFont_.Owned(); }

    // Null when the text is none.
    const wchar_t* DisplayText() const noexcept { return displayText_ ? displayText_->c_str() : nullptr; }
    const wchar_t* Target() const noexcept { return target_ ? target_->c_str() : nullptr; }
    const RECT& LinkRect() const noexcept { return linkRect_; }
    HWND Tooltip() const noexcept { return tooltip_.Get(); }
    const LinkColours& Colours() const noexcept { return colours_; }
    bool Visited() const noexcept { return visited_; }

    // Message table; called by the taken-over window's procedure.
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) noexcept;

private:
    // A font handle with a flag saying whether it is ours to delete.
    class MaybeOwnedFont {
    public:
        HFONT Get() const noexcept { return handle_; }
        bool Owned() const noexcept { return owned_.IsValid(); }
        void Reset(HFONT font = nullptr, bool owned = false) noexcept {
            owned_.Reset(owned ? font : nullptr);
            handle_ = font;
        }

    private:
        HFONT handle_ = nullptr;
        UniqueFont owned_;
    };

    void Initialise() noexcept;
    void DeriveLinkFont() noexcept;
    void RegisterTool() noexcept;
    const wchar_t* PaintedText() const noexcept;
    bool OnLink(POINT point) const noexcept { return ::PtInRect(&linkRect_, point) != FALSE; }
    bool OnLink(LPARAM lParam) const noexcept;
    bool CursorOnLink() const noexcept;
    void Repaint(bool update) noexcept;

    LRESULT OnMouseMove(LPARAM lParam, bool& handled) noexcept;
    LRESULT OnSetCursor(bool& handled) noexcept;
    void OnLButtonDown(LPARAM lParam) noexcept;
    void OnLButtonUp(LPARAM lParam) noexcept;
    void OnChar(WPARAM ch) noexcept;
    void OnPaint(HDC given) noexcept;
    void OnSetFont(HFONT font, bool redraw) noexcept;
    void OnDestroy() noexcept;

    std::optional<std::wstring> displayText_;
    std::optional<std::wstring> target_;
    HCURSOR handCursor_ = nullptr;
    MaybeOwnedFont linkFont_;
    MaybeOwnedFont normalFont_;
    RECT linkRect_{};
    UniqueWindow tooltip_;
    LinkColours colours_;
    bool visited_ = false;
};

}  // namespace quillon
