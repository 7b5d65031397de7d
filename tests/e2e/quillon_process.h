#pragma once
// Starts the real quillon.exe as a child process and reads its window from outside.
#include <windows.h>

#include <string>
#include <vector>

namespace quillon::test {

class QuillonProcess {
public:
    // Starts quillon.exe (beside the test tree) with `arguments` and, when `showCommand` is not -1,
    // that show command in its start-up information.
    explicit QuillonProcess(const std::wstring& arguments = L"", int showCommand = -1);
    ~QuillonProcess();
    QuillonProcess(const QuillonProcess&) = delete;
    QuillonProcess& operator=(const QuillonProcess&) = delete;

    bool Started() const noexcept { return process_.hProcess != nullptr; }
    // Waits for the main frame to exist and be visible; returns it or null.
    HWND WaitForFrame(DWORD timeoutMs = 20000);
    HWND Frame() const noexcept { return frame_; }
    HWND List() const;
    // Waits for the process to end; returns its exit code, or STILL_ACTIVE on time-out.
    DWORD WaitForExit(DWORD timeoutMs = 10000);

    int RowCount() const;
    // The whole text of a cell, read through memory borrowed in the target process.
    std::wstring CellText(int row, int column) const;
    std::vector<std::wstring> Names() const;

private:
    PROCESS_INFORMATION process_{};
    HWND frame_ = nullptr;
};

// The path of quillon.exe in the build tree, found from this test program's own path.
std::wstring QuillonExePath();

}  // namespace quillon::test
