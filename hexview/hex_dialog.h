#pragma once
// The modal Hex View dialog (template 201): one HexEditControl over the client area, less a strip at
// the bottom for the status line, the byte-order check box and the OK button, showing bytes the
// caller keeps mapped while the dialog runs. The dialog can be resized; the control follows the
// client area and the strip the bottom edge. Its own keys (Go To, Find, live watching, byte order,
// copies) work whichever of its controls has the focus.
#include <windows.h>

#include <cstdint>
#include <string>

#include "common/dialog_base.h"
#include "hexview/find_job.h"
#include "hexview/hex_goto_find.h"
#include "hexview/status_text.h"

namespace quillon {

class CHexDlg : public ModalDialog<CHexDlg> {
public:
    // The strip below the control, in pixels.
    static constexpr int kButtonStrip = 50;
    // A search that takes longer than this shows its progress in the status line.
    static constexpr DWORD kProgressDelayMs = 200;

    CHexDlg(const unsigned char* data, std::int32_t size) noexcept : data_(data), size_(size) {}

    // Runs the dialog owned by `owner`; returns when OK, Enter, Escape or the close box ends it.
    INT_PTR Run(HWND owner);

    INT_PTR HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled);

    // The control, or null when it could not be created.
    HWND Control() const noexcept { return control_; }

    // Acts on one of the dialog's own keys; false when the key does nothing now.
    bool OnDialogKey(HexDialogKey key);

private:
    struct Anchored {
        int id;
        RECT rect;  // in the client area as the template placed it
        bool stretch;
    };

    BOOL OnInitDialog() noexcept;
    void Layout(int width, int height) noexcept;
    void UpdateStatus();
    std::int32_t Selection(std::int32_t& start, std::int32_t& end) const noexcept;
    void GoTo();
    void OpenFind();
    void FindAgain(bool backward);
    void StartFind(bool backward);
    void OnFindDone();
    void ShowFindProgress();
    void SetLive(bool on);

    static LRESULT CALLBACK MessageFilter(int code, WPARAM wParam, LPARAM lParam) noexcept;

    const unsigned char* data_;  // not owned: the caller maps and unmaps it
    std::int32_t size_;
    HWND control_ = nullptr;
    bool laidOut_ = false;
    SIZE templateClient_{};
    Anchored anchored_[3]{};
    HHOOK filter_ = nullptr;

    bool bigEndian_ = false;
    bool live_ = false;
    std::wstring note_;  // the search's progress or outcome
    std::wstring shown_;
    std::wstring lastGoTo_;
    FindSettings find_;
    BytePattern pattern_;
    FindJob job_;
    DWORD jobStarted_ = 0;
};

}  // namespace quillon
