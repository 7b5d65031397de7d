#pragma once
// The section list: a report list-view that is the catalogue's only store of rows.
#include <windows.h>
#include <commctrl.h>

#include <string>

namespace quillon {

class CQuillonView {
public:
    static constexpr DWORD kStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | LVS_REPORT | LVS_SHOWSELALWAYS;
    static constexpr DWORD kExStyle = WS_EX_CLIENTEDGE;
    static constexpr DWORD kListExStyle = LVS_EX_FULLROWSELECT | LVS_EX_FLATSB;

    CQuillonView() = default;
    CQuillonView(const CQuillonView&) = delete;
    CQuillonView& operator=(const CQuillonView&) = delete;

    // Creates the list as a child of `parent` and sets its extended list styles. Returns the window.
    HWND Create(HWND parent) noexcept;
    HWND Window() const noexcept { return hwnd_; }

    // The list's message filter: it never consumes a message.
    bool PreTranslateMessage(MSG*) noexcept { return false; }

    // "Mapping Name" (600 pixels) and "Size" (200 pixels).
    void InsertColumns() noexcept;

    // Empties the list and walks the global directory, then the session's (then, with
    // `allNamespaces`, the other sessions' and AppContainer directories).
    void Refresh(unsigned long sessionId, bool allNamespaces = false) noexcept;

    // Appends every section of both directories: "\BaseNamedObjects" with the "Global\" prefix,
    // then "\Sessions\<id>\BaseNamedObjects"; with `allNamespaces`, see EnumerateSectionNames.
    void EnumerateSections(unsigned long sessionId, bool allNamespaces = false) noexcept;

    // Appends one row: the name now, the size text once the section has been measured.
    void AppendSection(const wchar_t* nameText) noexcept;

    int RowCount() const noexcept;
    std::wstring CellText(int row, int column) const;
    // The selected row with the lowest index, or -1.
    int SelectedEntry() const noexcept;
    bool SelectOneRow(int row) noexcept;

private:
    HWND hwnd_ = nullptr;
};

// The program's own window class for the list: SysListView32 under another name, adding nothing.
const wchar_t* SectionListClassName() noexcept;

}  // namespace quillon
