#pragma once
// A real section list inside a plain parent window that stands in for the main frame, plus the
// helpers the list-command tests share: own sections as rows, selection, and answering the modal
// windows the commands open.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "catalogue/object_directory.h"
#include "catalogue/quillon_view.h"
#include "tests/support/test_sections.h"
#include "tests/support/test_windows.h"

namespace quillon::test {

class ListFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(ResolveNativeDirectoryRoutines());
        ASSERT_NE(view_.Create(frame_.Get()), nullptr);
        ::MoveWindow(view_.Window(), 0, 0, 860, 540, TRUE);
        view_.InsertColumns();
    }

    HWND Frame() const { return frame_.Get(); }
    HWND List() const { return view_.Window(); }

    // Creates a section of this test and appends its row the way the enumeration does.
    TestSection& AddSection(const std::wstring& prefix, const SectionOptions& options, bool addRow = true) {
        sections_.emplace_back(UniqueName(prefix), options);
        TestSection& section = sections_.back();
        EXPECT_TRUE(section.IsValid()) << "error " << section.LastError();
        if (addRow) view_.AppendSection(section.Name().c_str());
        return section;
    }

    void Select(std::initializer_list<int> rows) {
        for (int row : rows) {
            LVITEMW item{};
            item.stateMask = LVIS_SELECTED;
            item.state = LVIS_SELECTED;
            ::SendMessageW(List(), LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
        }
    }

    TestParentWindow frame_;
    CQuillonView view_;
    std::deque<TestSection> sections_;  // a deque keeps references to earlier sections valid
};

// A message box as it appeared: owner, caption, text and the icon it shows.
struct SeenBox {
    HWND owner = nullptr;
    std::wstring caption;
    std::wstring text;
    HICON icon = nullptr;
};

inline bool IsMessageBox(HWND dialog) { return ::GetDlgItem(dialog, 0xFFFF) != nullptr; }

// Records the message box and presses its first button (OK, or Yes for a question).
inline SeenBox AnswerMessageBox(HWND box, int button = IDOK) {
    SeenBox seen;
    seen.owner = ::GetWindow(box, GW_OWNER);
    const MessageBoxInfo info = ReadMessageBox(box);
    seen.caption = info.caption;
    seen.text = info.text;
    // The icon's static control: 0x14 on Windows, 0x440 in Wine's template.
    HWND icon = ::GetDlgItem(box, 0x14);
    if (!icon) icon = ::GetDlgItem(box, 0x440);
    if (icon) seen.icon = reinterpret_cast<HICON>(::SendMessageW(icon, STM_GETICON, 0, 0));
    HWND target = ::GetDlgItem(box, button);
    if (!target) target = ::GetDlgItem(box, IDOK);
    if (target) ::PostMessageW(target, BM_CLICK, 0, 0);
    else ::PostMessageW(box, WM_COMMAND, IDCANCEL, 0);
    return seen;
}

inline HICON SystemIcon(const wchar_t* id) { return ::LoadIconW(nullptr, id); }

}  // namespace quillon::test
