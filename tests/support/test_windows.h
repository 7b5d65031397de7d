#pragma once
// Windows and message pumping for tests that drive real controls.
#include <windows.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "catalogue/section_entry.h"

namespace quillon::test {

// A plain visible top-level window to parent controls under test; destroyed with the object.
class TestParentWindow {
public:
    explicit TestParentWindow(int width = 900, int height = 600, DWORD style = WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    ~TestParentWindow();
    TestParentWindow(const TestParentWindow&) = delete;
    TestParentWindow& operator=(const TestParentWindow&) = delete;
    HWND Get() const noexcept { return hwnd_; }

    // Messages of interest that reached the window (WM_COMMAND ids, WM_NOTIFY codes and so on) can be
    // observed by setting this; return true to mark the message handled with `result`.
    std::function<bool(UINT, WPARAM, LPARAM, LRESULT& result)> onMessage;

private:
    static LRESULT CALLBACK Proc(HWND, UINT, WPARAM, LPARAM);
    HWND hwnd_ = nullptr;
};

// Dispatches the thread's pending messages.
void PumpMessages();
// Pumps until `done` holds or `timeoutMs` passes; returns whether `done` held.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 5000);
// Pumps for a fixed time (only where a test must let a timer run).
void PumpFor(DWORD milliseconds);

// Every row of a report list, read back with the messages the program itself uses.
std::vector<SectionEntry> ReadListRows(HWND list);
// The rows whose name text is one of `names`, in list order (other processes' sections are ignored).
std::vector<SectionEntry> RowsNamed(HWND list, const std::vector<std::wstring>& names);
// Index of the row whose name text is `name`, or -1.
int FindRow(HWND list, const std::wstring& name);

// The text of a top-level window's static/message-box text, for checking message boxes.
std::wstring WindowText(HWND hwnd);

// Sets the thread's keyboard state so that key handlers and TranslateAcceleratorW see `keys` (and no
// other modifier) as held; the state before comes back when the scope ends.
class HeldKeys {
public:
    explicit HeldKeys(std::initializer_list<int> keys);
    ~HeldKeys() { ::SetKeyboardState(saved_); }
    HeldKeys(const HeldKeys&) = delete;
    HeldKeys& operator=(const HeldKeys&) = delete;

private:
    BYTE saved_[256];
};

// Finds a visible top-level window of this thread whose class is `className` (e.g. L"#32770").
HWND FindThreadWindow(const wchar_t* className, HWND exclude = nullptr);

// Answers modal windows from a timer while a test calls into code that opens them. Every tick, each
// visible "#32770" dialog of this thread (other than those already handled) is given to `answer`;
// when `answer` returns true it is counted as handled.
class ModalAnswerer {
public:
    explicit ModalAnswerer(std::function<bool(HWND dialog)> answer, UINT periodMs = 50);
    ~ModalAnswerer();
    ModalAnswerer(const ModalAnswerer&) = delete;
    ModalAnswerer& operator=(const ModalAnswerer&) = delete;
    int Handled() const noexcept { return handled_; }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
    std::function<bool(HWND)> answer_;
    UINT_PTR timer_ = 0;
    int handled_ = 0;
    std::vector<HWND> seen_;
};

// The text of a message box (its static control 0xFFFF) and its caption.
struct MessageBoxInfo {
    std::wstring caption;
    std::wstring text;
};
MessageBoxInfo ReadMessageBox(HWND box);

}  // namespace quillon::test
