#include "tests/e2e/quillon_process.h"

#include <commctrl.h>

#include "catalogue/quillon_view.h"
#include "shell/main_frame.h"

namespace quillon::test {

std::wstring QuillonExePath() {
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path(self);
    // <build>/tests/e2e/e2e_tests.exe -> <build>/shell/quillon.exe
    for (int up = 0; up < 3; ++up) path.resize(path.find_last_of(L"\\/"));
    return path + L"\\shell\\quillon.exe";
}

QuillonProcess::QuillonProcess(const std::wstring& arguments, int showCommand) {
    const std::wstring exe = QuillonExePath();
    std::wstring commandLine = L"\"" + exe + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    if (showCommand != -1) {
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = static_cast<WORD>(showCommand);
    }
    if (!::CreateProcessW(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &process_))
        process_ = PROCESS_INFORMATION{};
}

QuillonProcess::~QuillonProcess() {
    if (!process_.hProcess) return;
    if (::WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
        if (frame_ && ::IsWindow(frame_)) ::PostMessageW(frame_, WM_CLOSE, 0, 0);
        if (::WaitForSingleObject(process_.hProcess, 5000) == WAIT_TIMEOUT) ::TerminateProcess(process_.hProcess, 99);
    }
    ::CloseHandle(process_.hThread);
    ::CloseHandle(process_.hProcess);
}

namespace {
struct Search {
    DWORD pid;
    HWND found;
};
BOOL CALLBACK FindFrame(HWND hwnd, LPARAM lParam) {
    auto* search = reinterpret_cast<Search*>(lParam);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hwnd, &pid);
    wchar_t name[64] = {};
    ::GetClassNameW(hwnd, name, 64);
    if (pid == search->pid && lstrcmpW(name, MainFrameClassName()) == 0) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}
}  // namespace

HWND QuillonProcess::WaitForFrame(DWORD timeoutMs) {
    if (!process_.hProcess) return nullptr;
    const DWORD start = ::GetTickCount();
    while (::GetTickCount() - start < timeoutMs) {
        Search search{process_.dwProcessId, nullptr};
        ::EnumWindows(&FindFrame, reinterpret_cast<LPARAM>(&search));
        if (search.found && ::IsWindowVisible(search.found)) {
            frame_ = search.found;
            return frame_;
        }
        if (::WaitForSingleObject(process_.hProcess, 50) == WAIT_OBJECT_0) return nullptr;
    }
    return nullptr;
}

HWND QuillonProcess::List() const {
    return frame_ ? ::FindWindowExW(frame_, nullptr, SectionListClassName(), nullptr) : nullptr;
}

DWORD QuillonProcess::WaitForExit(DWORD timeoutMs) {
    if (::WaitForSingleObject(process_.hProcess, timeoutMs) != WAIT_OBJECT_0) return STILL_ACTIVE;
    DWORD code = STILL_ACTIVE;
    ::GetExitCodeProcess(process_.hProcess, &code);
    return code;
}

int QuillonProcess::RowCount() const {
    return static_cast<int>(::SendMessageW(List(), LVM_GETITEMCOUNT, 0, 0));
}

std::wstring QuillonProcess::CellText(int row, int column) const {
    constexpr int kRoom = 4096;
    const SIZE_T bytes = sizeof(LVITEMW) + kRoom * sizeof(wchar_t);
    void* remote = ::VirtualAllocEx(process_.hProcess, nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (!remote) return L"";
    LVITEMW item{};
    item.iSubItem = column;
    item.cchTextMax = kRoom;
    item.pszText = reinterpret_cast<wchar_t*>(static_cast<char*>(remote) + sizeof(LVITEMW));
    ::WriteProcessMemory(process_.hProcess, remote, &item, sizeof(item), nullptr);
    const int length = static_cast<int>(
        ::SendMessageW(List(), LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(remote)));
    std::wstring text(static_cast<size_t>(length > 0 ? length : 0), L'\0');
    if (length > 0)
        ::ReadProcessMemory(process_.hProcess, item.pszText, &text[0], static_cast<SIZE_T>(length) * sizeof(wchar_t), nullptr);
    ::VirtualFreeEx(process_.hProcess, remote, 0, MEM_RELEASE);
    return text;
}

std::vector<std::wstring> QuillonProcess::Names() const {
    std::vector<std::wstring> names;
    const int rows = RowCount();
    for (int i = 0; i < rows; ++i) names.push_back(CellText(i, 0));
    return names;
}

}  // namespace quillon::test
