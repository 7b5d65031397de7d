#include "tests/support/test_windows.h"

#include <commctrl.h>

#include <algorithm>

#include "catalogue/list_rows.h"

namespace quillon::test {

namespace {
constexpr wchar_t kParentClass[] = L"QuillonTestParent";
ModalAnswerer* g_answerer = nullptr;
}  // namespace

TestParentWindow::TestParentWindow(int width, int height, DWORD style) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    if (!::GetClassInfoExW(::GetModuleHandleW(nullptr), kParentClass, &wc)) {
        wc = WNDCLASSEXW{};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = &TestParentWindow::Proc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        wc.lpszClassName = kParentClass;
        ::RegisterClassExW(&wc);
    }
    hwnd_ = ::CreateWindowExW(0, kParentClass, L"Quillon test", style, 0, 0, width, height, nullptr, nullptr,
                              ::GetModuleHandleW(nullptr), this);
    PumpMessages();
}

TestParentWindow::~TestParentWindow() {
    if (hwnd_) ::DestroyWindow(hwnd_);
    PumpMessages();
}

LRESULT CALLBACK TestParentWindow::Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<TestParentWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (msg == WM_NCCREATE) {
        self = static_cast<TestParentWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    if (msg == WM_NCDESTROY && self) {
        self->hwnd_ = nullptr;
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    }
    if (self && self->onMessage) {
        LRESULT result = 0;
        if (self->onMessage(msg, wParam, lParam, result)) return result;
    }
    return ::DefWindowProcW(hwnd, msg, wParam, lParam);
}

void PumpMessages() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        PumpMessages();
        if (done()) return true;
        if (::GetTickCount() - start >= timeoutMs) return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

void PumpFor(DWORD milliseconds) {
    const DWORD start = ::GetTickCount();
    while (::GetTickCount() - start < milliseconds) {
        PumpMessages();
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
    PumpMessages();
}

std::vector<SectionEntry> ReadListRows(HWND list) {
    std::vector<SectionEntry> rows;
    const int count = static_cast<int>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) rows.push_back({ReadCellText(list, i, 0), ReadCellText(list, i, 1)});
    return rows;
}

std::vector<SectionEntry> RowsNamed(HWND list, const std::vector<std::wstring>& names) {
    std::vector<SectionEntry> rows;
    for (const SectionEntry& row : ReadListRows(list))
        if (std::find(names.begin(), names.end(), row.name) != names.end()) rows.push_back(row);
    return rows;
}

int FindRow(HWND list, const std::wstring& name) {
    const int count = static_cast<int>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i)
        if (ReadCellText(list, i, 0) == name) return i;
    return -1;
}

std::wstring WindowText(HWND hwnd) {
    const int length = ::GetWindowTextLengthW(hwnd);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(::GetWindowTextW(hwnd, &text[0], length + 1)));
    return text;
}

namespace {
struct FindData {
    const wchar_t* className;
    HWND exclude;
    HWND found;
};
BOOL CALLBACK FindProc(HWND hwnd, LPARAM lParam) {
    auto* data = reinterpret_cast<FindData*>(lParam);
    wchar_t name[64] = {};
    ::GetClassNameW(hwnd, name, 64);
    if (hwnd != data->exclude && ::IsWindowVisible(hwnd) && lstrcmpiW(name, data->className) == 0) {
        data->found = hwnd;
        return FALSE;
    }
    return TRUE;
}
}  // namespace

HWND FindThreadWindow(const wchar_t* className, HWND exclude) {
    FindData data{className, exclude, nullptr};
    ::EnumThreadWindows(::GetCurrentThreadId(), &FindProc, reinterpret_cast<LPARAM>(&data));
    return data.found;
}

ModalAnswerer::ModalAnswerer(std::function<bool(HWND)> answer, UINT periodMs) : answer_(std::move(answer)) {
    g_answerer = this;
    timer_ = ::SetTimer(nullptr, 0, periodMs, &ModalAnswerer::Tick);
}

ModalAnswerer::~ModalAnswerer() {
    if (timer_) ::KillTimer(nullptr, timer_);
    if (g_answerer == this) g_answerer = nullptr;
}

void CALLBACK ModalAnswerer::Tick(HWND, UINT, UINT_PTR, DWORD) {
    ModalAnswerer* self = g_answerer;
    if (!self) return;
    struct Collect {
        static BOOL CALLBACK Proc(HWND hwnd, LPARAM lParam) {
            wchar_t name[16] = {};
            ::GetClassNameW(hwnd, name, 16);
            if (::IsWindowVisible(hwnd) && lstrcmpW(name, L"#32770") == 0)
                reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(hwnd);
            return TRUE;
        }
    };
    std::vector<HWND> dialogs;
    ::EnumThreadWindows(::GetCurrentThreadId(), &Collect::Proc, reinterpret_cast<LPARAM>(&dialogs));
    for (HWND dialog : dialogs) {
        if (std::find(self->seen_.begin(), self->seen_.end(), dialog) != self->seen_.end()) continue;
        if (self->answer_(dialog)) {
            self->seen_.push_back(dialog);
            ++self->handled_;
        }
    }
}

MessageBoxInfo ReadMessageBox(HWND box) {
    MessageBoxInfo info;
    info.caption = WindowText(box);
    if (HWND text = ::GetDlgItem(box, 0xFFFF)) info.text = WindowText(text);
    return info;
}

HeldKeys::HeldKeys(std::initializer_list<int> keys) {
    ::GetKeyboardState(saved_);
    BYTE state[256];
    std::copy(saved_, saved_ + 256, state);
    for (int vk : {VK_CONTROL, VK_SHIFT, VK_MENU, VK_LCONTROL, VK_LSHIFT, VK_LMENU}) state[vk] = 0;
    for (int vk : keys) state[vk] = 0x80;
    ::SetKeyboardState(state);
}

}  // namespace quillon::test
