#include "hexview/hex_goto_find.h"

#include "common/center_over_owner.h"
#include "hexview/offset_input.h"
#include "resources/resource.h"

namespace quillon {

std::wstring DialogItemText(HWND dialog, int id) {
    const HWND item = ::GetDlgItem(dialog, id);
    const int length = item ? ::GetWindowTextLengthW(item) : 0;
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    if (item) ::GetWindowTextW(item, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(length));
    return text;
}

INT_PTR CHexGoToDlg::Run(HWND owner) { return DoModal(owner, IDD_HEX_GOTO); }

INT_PTR CHexGoToDlg::HandleMessage(UINT msg, WPARAM wParam, LPARAM, bool& handled) {
    const HWND dialog = Window();
    switch (msg) {
        case WM_INITDIALOG:
            handled = true;
            CenterOverOwner(dialog, ::GetParent(dialog));
            ::SetDlgItemTextW(dialog, IDC_HEX_GOTO_OFFSET, lastInput_.c_str());
            ::SendDlgItemMessageW(dialog, IDC_HEX_GOTO_OFFSET, EM_SETSEL, 0, -1);
            ::SetFocus(::GetDlgItem(dialog, IDC_HEX_GOTO_OFFSET));
            return FALSE;  // the focus is set
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK) {
                handled = true;
                const std::wstring text = DialogItemText(dialog, IDC_HEX_GOTO_OFFSET);
                const OffsetInput input = ParseOffsetInput(text, caret_, size_);
                if (input.error != OffsetInputError::None) {
                    ::MessageBoxW(dialog, OffsetInputErrorText(input.error), L"Go To", MB_ICONWARNING);
                    return TRUE;
                }
                lastInput_ = text;
                offset_ = input.offset;
                ::EndDialog(dialog, IDOK);
                return TRUE;
            }
            if (LOWORD(wParam) == IDCANCEL) {
                handled = true;
                ::EndDialog(dialog, IDCANCEL);
                return TRUE;
            }
            return FALSE;
        default:
            return FALSE;
    }
}

INT_PTR CHexFindDlg::Run(HWND owner) { return DoModal(owner, IDD_HEX_FIND); }

INT_PTR CHexFindDlg::HandleMessage(UINT msg, WPARAM wParam, LPARAM, bool& handled) {
    const HWND dialog = Window();
    switch (msg) {
        case WM_INITDIALOG: {
            handled = true;
            CenterOverOwner(dialog, ::GetParent(dialog));
            ::SetDlgItemTextW(dialog, IDC_HEX_FIND_TEXT, settings_.text.c_str());
            const int mode = settings_.mode == SearchMode::HexBytes  ? IDC_HEX_FIND_HEX
                             : settings_.mode == SearchMode::Utf8Text ? IDC_HEX_FIND_UTF8
                                                                      : IDC_HEX_FIND_UTF16;
            ::CheckRadioButton(dialog, IDC_HEX_FIND_HEX, IDC_HEX_FIND_UTF16, mode);
            ::CheckRadioButton(dialog, IDC_HEX_FIND_UP, IDC_HEX_FIND_DOWN,
                               settings_.backward ? IDC_HEX_FIND_UP : IDC_HEX_FIND_DOWN);
            ::CheckDlgButton(dialog, IDC_HEX_FIND_CASE, settings_.matchCase ? BST_CHECKED : BST_UNCHECKED);
            ::EnableWindow(::GetDlgItem(dialog, IDC_HEX_FIND_CASE), settings_.mode != SearchMode::HexBytes);
            ::SendDlgItemMessageW(dialog, IDC_HEX_FIND_TEXT, EM_SETSEL, 0, -1);
            ::SetFocus(::GetDlgItem(dialog, IDC_HEX_FIND_TEXT));
            return FALSE;
        }
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case IDC_HEX_FIND_HEX:
                case IDC_HEX_FIND_UTF8:
                case IDC_HEX_FIND_UTF16:
                    // Match case means something for text only.
                    ::EnableWindow(::GetDlgItem(dialog, IDC_HEX_FIND_CASE),
                                   ::IsDlgButtonChecked(dialog, IDC_HEX_FIND_HEX) != BST_CHECKED);
                    return FALSE;
                case IDOK: {
                    handled = true;
                    FindSettings typed;
                    typed.text = DialogItemText(dialog, IDC_HEX_FIND_TEXT);
                    typed.mode = ::IsDlgButtonChecked(dialog, IDC_HEX_FIND_UTF8) == BST_CHECKED    ? SearchMode::Utf8Text
                                 : ::IsDlgButtonChecked(dialog, IDC_HEX_FIND_UTF16) == BST_CHECKED ? SearchMode::Utf16Text
                                                                                                   : SearchMode::HexBytes;
                    typed.matchCase = ::IsDlgButtonChecked(dialog, IDC_HEX_FIND_CASE) == BST_CHECKED;
                    typed.backward = ::IsDlgButtonChecked(dialog, IDC_HEX_FIND_UP) == BST_CHECKED;
                    ParsedPattern parsed = ParsePattern(typed.text, typed.mode, typed.matchCase);
                    if (!parsed.Ok()) {
                        ::MessageBoxW(dialog, PatternErrorText(parsed.error), L"Find", MB_ICONWARNING);
                        return TRUE;
                    }
                    settings_ = typed;
                    pattern_ = std::move(parsed.pattern);
                    ::EndDialog(dialog, IDOK);
                    return TRUE;
                }
                case IDCANCEL:
                    handled = true;
                    ::EndDialog(dialog, IDCANCEL);
                    return TRUE;
                default:
                    return FALSE;
            }
        default:
            return FALSE;
    }
}

}  // namespace quillon
