#pragma once
// Runs the real quillon-cli.exe as a child process, its output going to files the test reads back.
#include <windows.h>

#include <string>
#include <vector>

#include "tests/support/test_files.h"

namespace quillon::test {

// The path of quillon-cli.exe in the build tree (beside quillon.exe).
std::wstring CliExePath();

// `arg` quoted so that the child's command-line parsing gives it back unchanged.
std::wstring QuoteArgument(const std::wstring& arg);

class CliProcess {
public:
    // With `creationFlags` 0 the child runs without a console window; a test that shares its own
    // console with the child passes the flags it needs (CREATE_NEW_PROCESS_GROUP, ...) instead.
    // With `output` given (an inheritable handle), the child's stdout goes there instead of to a file.
    explicit CliProcess(const std::vector<std::wstring>& args, DWORD creationFlags = CREATE_NO_WINDOW,
                        HANDLE output = nullptr);
    ~CliProcess();
    CliProcess(const CliProcess&) = delete;
    CliProcess& operator=(const CliProcess&) = delete;

    bool Started() const noexcept { return process_.hProcess != nullptr; }
    DWORD Id() const noexcept { return process_.dwProcessId; }
    // What the child has written so far.
    std::string Out() const { return ReadFileBytes(outPath_); }
    std::string Err() const { return ReadFileBytes(errPath_); }
    // Waits until stderr holds `text`; false when the child ends or the time runs out first.
    bool WaitForErr(const std::string& text, DWORD timeoutMs = 20000) const;
    // The exit code, or STILL_ACTIVE when the child has not ended in time.
    DWORD Wait(DWORD timeoutMs = 120000) const;

private:
    std::wstring outPath_;
    std::wstring errPath_;
    PROCESS_INFORMATION process_{};
};

struct CliRun {
    DWORD exitCode = STILL_ACTIVE;
    std::string out;  // stdout, as bytes (UTF-8)
    std::string err;
};

// Runs quillon-cli with `args` to its end.
CliRun RunCli(const std::vector<std::wstring>& args, DWORD timeoutMs = 120000);

// UTF-16 to UTF-8 with the platform's converter, for building expected output.
std::string Utf8(const std::wstring& text);

// `text` split at "\n" (a last empty piece after a final "\n" is dropped).
std::vector<std::string> Lines(const std::string& text);

}  // namespace quillon::test
