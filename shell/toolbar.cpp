#include "shell/toolbar.h"

#include <cstdlib>

#include "common/module.h"
#include "resources/resource.h"

namespace quillon {

bool ParseToolbarResource(const WORD* words, std::size_t wordCount, ToolbarLayout& layout) {
    if (!words || wordCount < 4) return false;
    const std::size_t count = words[3];
    if (wordCount < 4 + count) return false;
    layout.imageWidth = words[1];
    layout.imageHeight = words[2];
    layout.ids.assign(words + 4, words + 4 + count);
    return true;
}

std::vector<TBBUTTON> ToolbarButtons(const ToolbarLayout& layout, bool leadingSeparator) {
    std::vector<TBBUTTON> buttons;
    buttons.reserve(layout.ids.size() + 1);
    auto separator = [](int width) {
        TBBUTTON button{};
        button.iBitmap = width;
        button.fsStyle = BTNS_SEP;
        return button;
    };
    if (leadingSeparator) buttons.push_back(separator(4));
    int image = 0;
    for (WORD id : layout.ids) {
        if (id == 0) {
            buttons.push_back(separator(8));
            continue;
        }
        TBBUTTON button{};
        button.iBitmap = image++;
        button.idCommand = id;
        button.fsState = TBSTATE_ENABLED;
        button.fsStyle = BTNS_BUTTON;
        buttons.push_back(button);
    }
    return buttons;
}

SIZE ToolbarBitmapSize(const ToolbarLayout& layout, int fontHeight) noexcept {
    return SIZE{layout.imageWidth, layout.imageHeight > fontHeight ? layout.imageHeight : fontHeight};
}

SIZE ToolbarButtonSize(const ToolbarLayout& layout, int fontHeight) noexcept {
    const SIZE bitmap = ToolbarBitmapSize(layout, fontHeight);
    return SIZE{bitmap.cx + 7, bitmap.cy + 7};
}

HWND CreateToolbarFromResource(HWND parent, UINT resourceId, bool leadingSeparator, DWORD style, UINT childId) {
    HRSRC info = ::FindResourceW(ThisModule(), MAKEINTRESOURCEW(resourceId), MAKEINTRESOURCEW(RT_QUILLON_TOOLBAR));
    if (!info) return nullptr;
    HGLOBAL loaded = ::LoadResource(ThisModule(), info);
    if (!loaded) return nullptr;
    const auto* words = static_cast<const WORD*>(::LockResource(loaded));
    if (!words) return nullptr;

    ToolbarLayout layout;
    if (!ParseToolbarResource(words, ::SizeofResource(ThisModule(), info) / sizeof(WORD), layout)) return nullptr;
    std::vector<TBBUTTON> buttons = ToolbarButtons(layout, leadingSeparator);

    HWND toolbar = ::CreateWindowExW(0, TOOLBARCLASSNAMEW, nullptr, style, 0, 0, 100, 100, parent,
                                     reinterpret_cast<HMENU>(static_cast<UINT_PTR>(childId)), ThisModule(), nullptr);
    if (!toolbar) return nullptr;
    ::SendMessageW(toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);

    HGDIOBJ font = reinterpret_cast<HGDIOBJ>(::SendMessageW(toolbar, WM_GETFONT, 0, 0));
    if (!font) font = ::GetStockObject(SYSTEM_FONT);
    LOGFONTW description{};
    ::GetObjectW(font, sizeof(description), &description);
    const int fontHeight = std::abs(static_cast<int>(description.lfHeight));

    ::SendMessageW(toolbar, TB_ADDBUTTONSW, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
    const SIZE bitmap = ToolbarBitmapSize(layout, fontHeight);
    const SIZE button = ToolbarButtonSize(layout, fontHeight);
    ::SendMessageW(toolbar, TB_SETBITMAPSIZE, 0, MAKELPARAM(bitmap.cx, bitmap.cy));
    ::SendMessageW(toolbar, TB_SETBUTTONSIZE, 0, MAKELPARAM(button.cx, button.cy));
    return toolbar;
}

}  // namespace quillon
