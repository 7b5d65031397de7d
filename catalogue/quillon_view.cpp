#include "catalogue/quillon_view.h"

#include <commctrl.h>

#include "catalogue/list_rows.h"
#include "catalogue/object_directory.h"
#include "catalogue/redraw_suspension.h"
#include "catalogue/section_entry.h"
#include "catalogue/section_view.h"
#include "catalogue/section_walk.h"
#include "common/module.h"

namespace quillon {

static_assert(CQuillonView::kStyle == 0x56000009, "list styles");

namespace {

constexpr wchar_t kClassName[] = L"QuillonSectionList";

bool RegisterSectionListClass() noexcept {
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof(existing);
    if (::GetClassInfoExW(ThisModule(), kClassName, &existing)) return true;

    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    if (!::GetClassInfoExW(nullptr, WC_LISTVIEWW, &wc)) return false;
    wc.hInstance = ThisModule();
    wc.lpszClassName = kClassName;
    wc.style &= ~CS_GLOBALCLASS;
    return ::RegisterClassExW(&wc) != 0;
}

// Appends rows to the list as the walk finds sections.
class ListSink final : public SectionSink {
public:
    explicit ListSink(CQuillonView& view) : view_(view) {}
    void OnSection(const wchar_t* nameText, std::size_t) override { view_.AppendSection(nameText); }

private:
    CQuillonView& view_;
};

}  // namespace

const wchar_t* SectionListClassName() noexcept { return kClassName; }

HWND CQuillonView::Create(HWND parent) noexcept {
    RegisterSectionListClass();
    hwnd_ = ::CreateWindowExW(kExStyle, kClassName, nullptr, kStyle, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                              CW_USEDEFAULT, parent, nullptr, ThisModule(), nullptr);
    if (hwnd_) ::SendMessageW(hwnd_, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, kListExStyle);
    return hwnd_;
}

void CQuillonView::InsertColumns() noexcept {
    struct Column {
        const wchar_t* text;
        int width;
    };
    static const Column kColumns[] = {{L"Mapping Name", 600}, {L"Size", 200}};
    for (int i = 0; i < 2; ++i) {
        LVCOLUMNW column{};
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT;
        column.fmt = LVCFMT_LEFT;
        column.cx = kColumns[i].width;
        column.pszText = const_cast<wchar_t*>(kColumns[i].text);
        ::SendMessageW(hwnd_, LVM_INSERTCOLUMNW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column));
    }
}

void CQuillonView::Refresh(unsigned long sessionId, bool allNamespaces) noexcept {
    ::SendMessageW(hwnd_, LVM_DELETEALLITEMS, 0, 0);
    EnumerateSections(sessionId, allNamespaces);
}

void CQuillonView::EnumerateSections(unsigned long sessionId, bool allNamespaces) noexcept {
    RedrawSuspension quiet(hwnd_);
    ListSink sink(*this);
    EnumerateSectionNames(sessionId, allNamespaces, sink);
}

void CQuillonView::AppendSection(const wchar_t* nameText) noexcept {
    const int row = RowCount();
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.pszText = const_cast<wchar_t*>(nameText);
    ::SendMessageW(hwnd_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));

    wchar_t sizeText[64] = L"[Access Denied]";
    std::uint64_t size = 0;
    if (QuerySectionSize(nameText, size)) {
        try {
            const std::wstring formatted = FormatSizeText(size);
            formatted.copy(sizeText, 63);
            sizeText[formatted.size() < 63 ? formatted.size() : 63] = L'\0';
        } catch (...) {
        }
    }
    LVITEMW sub{};
    sub.mask = LVIF_TEXT;
    sub.iItem = row;
    sub.iSubItem = 1;
    sub.pszText = sizeText;
    ::SendMessageW(hwnd_, LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&sub));
}

int CQuillonView::RowCount() const noexcept { return static_cast<int>(::SendMessageW(hwnd_, LVM_GETITEMCOUNT, 0, 0)); }

std::wstring CQuillonView::CellText(int row, int column) const { return ReadCellText(hwnd_, row, column); }

int CQuillonView::SelectedEntry() const noexcept { return FirstSelectedRow(hwnd_); }

bool CQuillonView::SelectOneRow(int row) noexcept { return quillon::SelectOneRow(hwnd_, row); }

}  // namespace quillon
