#pragma once
// What the About box's tests share: the link colour values in the real registry, a harmless handler
// for the addresses the link opens, and the pixels a control paints.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace quillon::test {

// True when running under Wine, where the https tests can route the browser to a harmless command.
bool RunningUnderWine();

// Takes "Anchor Color" and "Anchor Color Visited" out of the user's settings key for the lifetime of
// the object (so every link starts with the default colours) and puts the old values back after.
class SavedColourValues {
public:
    SavedColourValues();
    ~SavedColourValues();
    SavedColourValues(const SavedColourValues&) = delete;
    SavedColourValues& operator=(const SavedColourValues&) = delete;

    // Writes a value with raw data of any type; false when the registry refused.
    static bool Write(const wchar_t* name, DWORD type, const void* data, DWORD bytes);
    // A REG_SZ with its terminating NUL.
    static bool WriteText(const wchar_t* name, const wchar_t* text);
    static void Remove(const wchar_t* name);

private:
    struct Saved {
        bool present = false;
        DWORD type = REG_NONE;
        std::vector<std::uint8_t> data;
    };
    Saved link_;
    Saved visited_;
};

// Under Wine, http and https addresses reach WineBrowser, which runs the commands listed in
// HKCU\Software\Wine\WineBrowser "Browsers". For the whole test program that list holds one harmless
// command that appends the address to a log file under /tmp, so no real browser can start; if it
// cannot be installed, no test runs.
class HarmlessBrowser {
public:
    // The addresses "opened" so far, one per open, in order.
    static std::vector<std::wstring> Opened();
    // Waits (pumping messages) until at least `count` addresses were logged.
    static bool WaitForOpened(size_t count, DWORD timeoutMs = 10000);
    static void ClearLog();
    static std::wstring LogPath();
};

// A URL protocol "quillon-about-test-<pid>" whose "open" command appends the address to a log file
// with cmd.exe. Registered per user (HKCU\Software\Classes, what Windows reads) and in
// HKEY_CLASSES_ROOT (what Wine 8's shell reads); removed again when the object goes.
class RegisteredTestProtocol {
public:
    RegisteredTestProtocol();
    ~RegisteredTestProtocol();
    RegisteredTestProtocol(const RegisteredTestProtocol&) = delete;
    RegisteredTestProtocol& operator=(const RegisteredTestProtocol&) = delete;

    bool Ok() const noexcept { return ok_; }
    // An address of this protocol, e.g. "quillon-about-test-12:press".
    std::wstring Address(const wchar_t* rest) const;
    std::vector<std::wstring> Opened() const;
    bool WaitForOpened(size_t count, DWORD timeoutMs = 10000) const;

private:
    std::wstring scheme_;
    std::wstring log_;
    bool ok_ = false;
};

// The control's client area as painted through WM_PRINTCLIENT into a 32-bit bitmap, row by row.
struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<COLORREF> colours;
    COLORREF At(int x, int y) const { return colours[static_cast<size_t>(y) * width + x]; }
    int Count(COLORREF colour) const;
};
Pixels PrintClient(HWND hwnd);

// Reads the lines of a text file written by another process; empty when there is none.
std::vector<std::wstring> ReadLogLines(const std::wstring& path);

}  // namespace quillon::test
