#include "tests/cli/cli_process.h"

#include "tests/support/test_sections.h"

namespace quillon::test {

std::wstring CliExePath() {
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path(self);
    // <build>/tests/cli/cli_tests.exe -> <build>/shell/quillon-cli.exe
    for (int up = 0; up < 3; ++up) path.resize(path.find_last_of(L"\\/"));
    return path + L"\\shell\\quillon-cli.exe";
}

std::wstring QuoteArgument(const std::wstring& arg) {
    if (!arg.empty() && arg.find_first_of(L" \t\"") == std::wstring::npos) return arg;
    // Backslashes are literal unless they precede a quote: double those, and escape the quote.
    std::wstring quoted = L"\"";
    std::size_t backslashes = 0;
    for (wchar_t c : arg) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted.push_back(c);
    }
    quoted.append(backslashes * 2, L'\\');
    return quoted + L"\"";
}

namespace {
HANDLE CreateOutputFile(const std::wstring& path) {
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    return ::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &inherit,
                         CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}
}  // namespace

CliProcess::CliProcess(const std::vector<std::wstring>& args, DWORD creationFlags, HANDLE output) {
    wchar_t folder[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, folder);
    const std::wstring stem = std::wstring(folder) + UniqueName(L"quillon_cli");
    outPath_ = stem + L".out";
    errPath_ = stem + L".err";
    HANDLE out = CreateOutputFile(outPath_);
    HANDLE err = CreateOutputFile(errPath_);
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    HANDLE in = ::CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0, nullptr);

    const std::wstring exe = CliExePath();
    std::wstring commandLine = QuoteArgument(exe);
    for (const std::wstring& arg : args) commandLine += L" " + QuoteArgument(arg);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = in;
    startup.hStdOutput = output ? output : out;
    startup.hStdError = err;
    if (out == INVALID_HANDLE_VALUE || err == INVALID_HANDLE_VALUE ||
        !::CreateProcessW(exe.c_str(), &commandLine[0], nullptr, nullptr, TRUE, creationFlags, nullptr, nullptr,
                          &startup, &process_))
        process_ = PROCESS_INFORMATION{};
    // The child holds its own copies now.
    for (HANDLE h : {in, out, err})
        if (h != INVALID_HANDLE_VALUE) ::CloseHandle(h);
}

CliProcess::~CliProcess() {
    if (process_.hProcess) {
        if (::WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
            ::TerminateProcess(process_.hProcess, 99);
            ::WaitForSingleObject(process_.hProcess, 5000);
        }
        ::CloseHandle(process_.hThread);
        ::CloseHandle(process_.hProcess);
    }
    ::DeleteFileW(outPath_.c_str());
    ::DeleteFileW(errPath_.c_str());
}

bool CliProcess::WaitForErr(const std::string& text, DWORD timeoutMs) const {
    const DWORD start = ::GetTickCount();
    while (::GetTickCount() - start < timeoutMs) {
        if (Err().find(text) != std::string::npos) return true;
        if (!process_.hProcess || ::WaitForSingleObject(process_.hProcess, 20) == WAIT_OBJECT_0)
            return Err().find(text) != std::string::npos;
    }
    return false;
}

DWORD CliProcess::Wait(DWORD timeoutMs) const {
    if (!process_.hProcess || ::WaitForSingleObject(process_.hProcess, timeoutMs) != WAIT_OBJECT_0) return STILL_ACTIVE;
    DWORD code = STILL_ACTIVE;
    ::GetExitCodeProcess(process_.hProcess, &code);
    return code;
}

CliRun RunCli(const std::vector<std::wstring>& args, DWORD timeoutMs) {
    CliProcess process(args);
    CliRun run;
    run.exitCode = process.Wait(timeoutMs);
    run.out = process.Out();
    run.err = process.Err();
    return run;
}

std::string Utf8(const std::wstring& text) {
    if (text.empty()) return {};
    const int bytes = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(bytes), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &utf8[0], bytes, nullptr, nullptr);
    return utf8;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

}  // namespace quillon::test
