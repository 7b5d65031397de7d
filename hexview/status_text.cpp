#include "hexview/status_text.h"

#include <cwchar>

namespace quillon {

namespace {

void AppendHex(std::wstring& out, std::int64_t value) {
    wchar_t text[24];
    std::swprintf(text, 24, L"%08llX", static_cast<unsigned long long>(value));
    out.append(text);
}

}  // namespace

std::wstring FormatStatusLine(std::int64_t caret, std::int64_t selStart, std::int64_t selEnd, bool live,
                              const std::wstring& note, const std::wstring& inspector) {
    std::wstring out = L"Offset ";
    AppendHex(out, caret);
    if (selEnd > selStart) {
        out.append(L"   Selection ");
        AppendHex(out, selStart);
        out.push_back(L'-');
        AppendHex(out, selEnd - 1);
        wchar_t count[40];
        std::swprintf(count, 40, L" (%lld byte%ls)", static_cast<long long>(selEnd - selStart),
                      selEnd - selStart == 1 ? L"" : L"s");
        out.append(count);
    }
    if (live) out.append(L"   Live");
    if (!note.empty()) {
        out.append(L"   ");
        out.append(note);
    }
    out.push_back(L'\n');
    out.append(inspector);
    return out;
}

HexDialogKey DialogKeyFor(unsigned virtualKey, bool ctrl, bool shift, bool alt, bool searching) noexcept {
    if (alt) return HexDialogKey::None;
    switch (virtualKey) {
        case 'G': return ctrl && !shift ? HexDialogKey::GoTo : HexDialogKey::None;
        case 'F': return ctrl && !shift ? HexDialogKey::Find : HexDialogKey::None;
        case 'E': return ctrl && !shift ? HexDialogKey::ToggleOrder : HexDialogKey::None;
        case 'C':
            if (!ctrl) return HexDialogKey::None;
            return shift ? HexDialogKey::CopyCArray : HexDialogKey::Copy;
        case 0x72:  // VK_F3
            if (ctrl) return HexDialogKey::None;
            return shift ? HexDialogKey::FindPrevious : HexDialogKey::FindNext;
        case 0x74:  // VK_F5
            return ctrl || shift ? HexDialogKey::None : HexDialogKey::ToggleLive;
        case 0x1B:  // VK_ESCAPE: closes the dialog, unless it stops a search first
            return searching ? HexDialogKey::CancelSearch : HexDialogKey::None;
        default: return HexDialogKey::None;
    }
}

}  // namespace quillon
