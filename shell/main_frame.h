#pragma once
// The program's one top-level window: caption, menu, accelerators, the two bars and the section list,
// and the hub that routes every command to its handler.
#include <windows.h>

#include "catalogue/quillon_view.h"
#include "common/unique_resource.h"
#include "shell/message_loop.h"
#include "shell/update_ui.h"

namespace quillon {

// What every frame window holds: itself, its bars, its client window and its accelerators.
struct CFrameWindowBase {
    HWND frame = nullptr;
    HWND toolbar = nullptr;
    HWND statusBar = nullptr;
    HWND client = nullptr;
    HACCEL accelerators = nullptr;
};

class CMainFrame : public CFrameWindowBase, public CUpdateUI, public CMessageFilter, public CIdleHandler {
public:
    CMainFrame();
    virtual ~CMainFrame();
    CMainFrame(const CMainFrame&) = delete;
    CMainFrame& operator=(const CMainFrame&) = delete;

    // Creates the window (no parent, default position and size). Returns it, or null.
    HWND CreateEx();

    HWND Window() const noexcept { return frame; }
    HWND ToolbarWindow() const noexcept { return toolbar; }
    HWND StatusBarWindow() const noexcept { return statusBar; }
    CQuillonView& View() noexcept { return view_; }
    HWND ListWindow() const noexcept { return view_.Window(); }
    DWORD SessionId() const noexcept { return sessionId_; }
    DWORD SortState() const noexcept { return sortState_; }
    bool AllNamespaces() const noexcept { return allNamespaces_; }
    HIMAGELIST ToolbarImages() const noexcept { return images_.Get(); }

    // CMessageFilter: the frame's accelerators (for keystrokes aimed at the frame or its children
    // only), then the list's filter, then the Find dialogs' keyboard handling.
    bool PreTranslateMessage(MSG* msg) override;
    // CIdleHandler: brings the toolbar up to date.
    bool OnIdle() override;

    // Places the bars and the list; with `resizeBars` the bars first fit themselves to the frame.
    void LayoutFrame(bool resizeBars);

    // The message table; `handled` tells whether a stage took the message.
    virtual LRESULT ProcessMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled);

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept;
    static bool RegisterWindowClass();

    LRESULT OnCreate();
    void OnDestroyStage1();
    void OnCommand(UINT id);
    void OnContextMenu(HWND source, LPARAM position);
    void ToggleBar(HWND bar, UINT command);
    void ShowMenuHelp(UINT item, UINT flags, HMENU menu);
    LRESULT ProvideToolTipText(NMHDR* header);
    void FillToolbarBackground(HDC dc) const;

    CQuillonView view_;
    DWORD sessionId_ = 0;
    DWORD sortState_ = 0;
    UniqueImageList images_;
    bool allNamespaces_ = false;  // View > All Namespaces, off at start
};

// The window class name the frame registers.
const wchar_t* MainFrameClassName() noexcept;

// The registered "commdlg_FindReplace" message, obtained once.
UINT FindReplaceMessage() noexcept;

}  // namespace quillon
