#include "tests/about/about_test_support.h"

#include <gtest/gtest.h>

#include <utility>


#include "about/link_colours.h"
#include "common/gdi_scopes.h"
#include "common/unique_resource.h"
#include "tests/support/test_windows.h"

namespace quillon::test {

namespace {

constexpr wchar_t kWineBrowserKey[] = L"Software\\Wine\\WineBrowser";
constexpr wchar_t kBrowsersValue[] = L"Browsers";

std::wstring TempDirectory() {
    wchar_t path[MAX_PATH + 1] = {};
    const DWORD length = ::GetTempPathW(MAX_PATH + 1, path);
    return std::wstring(path, length);
}

std::wstring Pid() { return std::to_wstring(::GetCurrentProcessId()); }

// Names unique to this run: Wine's process ids repeat across prefixes that share /tmp.
std::wstring RunTag() {
    static const std::wstring tag = Pid() + L"-" + std::to_wstring(::GetTickCount64());
    return tag;
}

// The Unix file the harmless browser appends to: short, so the browser list stays well inside the
// 256 characters WineBrowser reads (a longer list is ignored in favour of its built-in browsers).
std::string BrowserLogUnixPath() {
    std::string path = "/tmp/quillon-about-browser-";
    for (wchar_t c : RunTag()) path.push_back(static_cast<char>(c));
    return path + ".log";
}

// The Windows name of a Unix path under Wine (kernel32's wine_get_dos_file_name), or empty.
std::wstring DosPath(const std::string& unixPath) {
    using Convert = wchar_t*(__cdecl*)(const char*);
    const auto convert = reinterpret_cast<Convert>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_dos_file_name")));
    if (!convert) return {};
    wchar_t* dos = convert(unixPath.c_str());
    if (!dos) return {};
    std::wstring result(dos);
    ::HeapFree(::GetProcessHeap(), 0, dos);
    return result;
}

std::wstring Widen(const std::string& text) {
    if (text.empty()) return {};
    const int length = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &wide[0], length);
    return wide;
}

struct SavedValue {
    bool present = false;
    DWORD type = REG_NONE;
    std::vector<std::uint8_t> data;
};

SavedValue SaveValue(HKEY key, const wchar_t* name) {
    SavedValue saved;
    DWORD bytes = 0;
    if (::RegQueryValueExW(key, name, nullptr, &saved.type, nullptr, &bytes) != ERROR_SUCCESS) return saved;
    saved.data.resize(bytes);
    if (::RegQueryValueExW(key, name, nullptr, &saved.type, saved.data.data(), &bytes) != ERROR_SUCCESS) return saved;
    saved.data.resize(bytes);
    saved.present = true;
    return saved;
}

void RestoreValue(HKEY key, const wchar_t* name, const SavedValue& saved) {
    if (saved.present)
        ::RegSetValueExW(key, name, 0, saved.type, saved.data.data(), static_cast<DWORD>(saved.data.size()));
    else
        ::RegDeleteValueW(key, name);
}

UniqueRegKey OpenColourKey() {
    HKEY key = nullptr;
    ::RegCreateKeyExW(HKEY_CURRENT_USER, kLinkColourKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    return UniqueRegKey(key);
}

// Installs the harmless browser for the whole program; the old list comes back at the end.
class HarmlessBrowserEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        if (!RunningUnderWine()) return;
        const std::string log = BrowserLogUnixPath();
        ASSERT_FALSE(HarmlessBrowser::LogPath().empty()) << "no Windows name for the browser log";
        HKEY raw = nullptr;
        ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, kWineBrowserKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &raw,
                                    nullptr),
                  ERROR_SUCCESS);
        key_.Reset(raw);
        saved_ = SaveValue(key_.Get(), kBrowsersValue);
        // One command line per entry; WineBrowser appends the address as the last argument ($0).
        std::wstring list = L"/bin/sh -c \"printf '%s\\n' \\\"$0\\\" >> '" + Widen(log) + L"'\"";
        // A fatal failure here skips every test: better than letting WineBrowser fall back to a real one.
        ASSERT_LT(list.size(), 200u);
        list.push_back(L'\0');
        list.push_back(L'\0');
        ASSERT_EQ(::RegSetValueExW(key_.Get(), kBrowsersValue, 0, REG_MULTI_SZ,
                                   reinterpret_cast<const BYTE*>(list.data()),
                                   static_cast<DWORD>(list.size() * sizeof(wchar_t))),
                  ERROR_SUCCESS);
        installed_ = true;
    }
    void TearDown() override {
        if (installed_) RestoreValue(key_.Get(), kBrowsersValue, saved_);
        HarmlessBrowser::ClearLog();
    }

private:
    UniqueRegKey key_;
    SavedValue saved_;
    bool installed_ = false;
};

[[maybe_unused]] ::testing::Environment* const g_browser = ::testing::AddGlobalTestEnvironment(new HarmlessBrowserEnvironment);

}  // namespace

bool RunningUnderWine() {
    return ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

SavedColourValues::SavedColourValues() {
    const UniqueRegKey key = OpenColourKey();
    const SavedValue link = SaveValue(key.Get(), kLinkColourValue);
    const SavedValue visited = SaveValue(key.Get(), kVisitedColourValue);
    link_ = Saved{link.present, link.type, link.data};
    visited_ = Saved{visited.present, visited.type, visited.data};
    Remove(kLinkColourValue);
    Remove(kVisitedColourValue);
}

SavedColourValues::~SavedColourValues() {
    const UniqueRegKey key = OpenColourKey();
    RestoreValue(key.Get(), kLinkColourValue, SavedValue{link_.present, link_.type, link_.data});
    RestoreValue(key.Get(), kVisitedColourValue, SavedValue{visited_.present, visited_.type, visited_.data});
}

bool SavedColourValues::Write(const wchar_t* name, DWORD type, const void* data, DWORD bytes) {
    const UniqueRegKey key = OpenColourKey();
    return key && ::RegSetValueExW(key.Get(), name, 0, type, static_cast<const BYTE*>(data), bytes) == ERROR_SUCCESS;
}

bool SavedColourValues::WriteText(const wchar_t* name, const wchar_t* text) {
    return Write(name, REG_SZ, text, static_cast<DWORD>((wcslen(text) + 1) * sizeof(wchar_t)));
}

void SavedColourValues::Remove(const wchar_t* name) {
    const UniqueRegKey key = OpenColourKey();
    ::RegDeleteValueW(key.Get(), name);
}

std::wstring HarmlessBrowser::LogPath() {
    static const std::wstring path = DosPath(BrowserLogUnixPath());
    return path;
}

std::vector<std::wstring> HarmlessBrowser::Opened() { return ReadLogLines(LogPath()); }

bool HarmlessBrowser::WaitForOpened(size_t count, DWORD timeoutMs) {
    return PumpUntil([&] { return Opened().size() >= count; }, timeoutMs);
}

void HarmlessBrowser::ClearLog() { ::DeleteFileW(LogPath().c_str()); }

RegisteredTestProtocol::RegisteredTestProtocol()
    : scheme_(L"quillon-about-test-" + Pid()), log_(TempDirectory() + L"quillon-about-protocol-" + RunTag() + L".log") {
    ::DeleteFileW(log_.c_str());
    wchar_t system[MAX_PATH] = {};
    ::GetSystemDirectoryW(system, MAX_PATH);
    // The space before ">>" keeps a digit at the end of the address from reading as a handle number.
    const std::wstring command = L"\"" + std::wstring(system) + L"\\cmd.exe\" /c echo %1 >> \"" + log_ + L"\"";
    const std::wstring description = L"URL:Quillon About test";
    for (const auto& [root, prefix] : {std::pair{HKEY_CURRENT_USER, std::wstring(L"Software\\Classes\\")},
                                       std::pair{HKEY_CLASSES_ROOT, std::wstring()}}) {
        HKEY protocol = nullptr;
        if (::RegCreateKeyExW(root, (prefix + scheme_).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &protocol,
                              nullptr) != ERROR_SUCCESS)
            continue;
        const UniqueRegKey protocolKey(protocol);
        ::RegSetValueExW(protocol, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(description.c_str()),
                         static_cast<DWORD>((description.size() + 1) * sizeof(wchar_t)));
        ::RegSetValueExW(protocol, L"URL Protocol", 0, REG_SZ, reinterpret_cast<const BYTE*>(L""), sizeof(wchar_t));
        HKEY open = nullptr;
        if (::RegCreateKeyExW(protocol, L"shell\\open\\command", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &open,
                              nullptr) != ERROR_SUCCESS)
            continue;
        const UniqueRegKey openKey(open);
        if (::RegSetValueExW(open, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                             static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS)
            ok_ = true;
    }
}

RegisteredTestProtocol::~RegisteredTestProtocol() {
    ::RegDeleteTreeW(HKEY_CURRENT_USER, (L"Software\\Classes\\" + scheme_).c_str());
    ::RegDeleteKeyW(HKEY_CURRENT_USER, (L"Software\\Classes\\" + scheme_).c_str());
    ::RegDeleteTreeW(HKEY_CLASSES_ROOT, scheme_.c_str());
    ::RegDeleteKeyW(HKEY_CLASSES_ROOT, scheme_.c_str());
    ::DeleteFileW(log_.c_str());
}

std::wstring RegisteredTestProtocol::Address(const wchar_t* rest) const { return scheme_ + L":" + rest; }

std::vector<std::wstring> RegisteredTestProtocol::Opened() const { return ReadLogLines(log_); }

bool RegisteredTestProtocol::WaitForOpened(size_t count, DWORD timeoutMs) const {
    return PumpUntil([&] { return Opened().size() >= count; }, timeoutMs);
}

int Pixels::Count(COLORREF colour) const {
    int count = 0;
    for (COLORREF c : colours) count += c == colour ? 1 : 0;
    return count;
}

Pixels PrintClient(HWND hwnd) {
    Pixels pixels;
    RECT client{};
    ::GetClientRect(hwnd, &client);
    pixels.width = client.right;
    pixels.height = client.bottom;
    if (pixels.width <= 0 || pixels.height <= 0) return pixels;

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = pixels.width;
    info.bmiHeader.biHeight = -pixels.height;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const WindowDC screen(nullptr);
    const UniqueBitmap bitmap(::CreateDIBSection(screen.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    const MemoryDC dc(screen.Get());
    if (!bitmap || !dc || !bits) return pixels;
    {
        const SelectionScope selected(dc.Get(), bitmap.Get());
        ::SendMessageW(hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.Get()), PRF_CLIENT | PRF_ERASEBKGND);
        ::GdiFlush();
    }
    const auto* words = static_cast<const DWORD*>(bits);
    pixels.colours.resize(static_cast<size_t>(pixels.width) * pixels.height);
    for (size_t i = 0; i < pixels.colours.size(); ++i) {
        const DWORD v = words[i];
        pixels.colours[i] = RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
    }
    return pixels;
}

std::vector<std::wstring> ReadLogLines(const std::wstring& path) {
    std::vector<std::wstring> lines;
    const UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return lines;
    std::string content;
    char buffer[4096];
    DWORD read = 0;
    while (::ReadFile(file.Get(), buffer, sizeof(buffer), &read, nullptr) && read > 0) content.append(buffer, read);
    // Only complete lines: a writer may be half-way through the last one.
    size_t start = 0;
    for (size_t end; (end = content.find('\n', start)) != std::string::npos; start = end + 1) {
        std::string line = content.substr(start, end - start);
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
        lines.push_back(Widen(line));
    }
    return lines;
}

}  // namespace quillon::test
