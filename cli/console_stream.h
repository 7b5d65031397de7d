#pragma once
// Buffered output to the standard output or error handle. Text is kept as UTF-8; a redirected handle
// (file, pipe) receives exactly those bytes, a console window gets the same text through
// WriteConsoleW, so it shows right whatever the console's code page.
#include <windows.h>

#include <string>
#include <string_view>

namespace quillon::cli {

class ConsoleStream {
public:
    explicit ConsoleStream(DWORD standardHandle) noexcept;
    ~ConsoleStream() { Flush(); }
    ConsoleStream(const ConsoleStream&) = delete;
    ConsoleStream& operator=(const ConsoleStream&) = delete;

    ConsoleStream& operator<<(std::string_view utf8) {
        buffer_ += utf8;
        FlushIfFull();
        return *this;
    }
    ConsoleStream& operator<<(std::wstring_view text);
    ConsoleStream& operator<<(char c) {
        buffer_.push_back(c);
        return *this;
    }

    // The pending bytes, for writers that append in place (the JSON writer); call FlushIfFull after.
    std::string& Buffer() noexcept { return buffer_; }
    void FlushIfFull() {
        if (buffer_.size() >= kFlushBytes) Flush();
    }
    // Hands the pending bytes to the handle. False once a write has failed (a closed pipe, a full disk);
    // later output is then dropped.
    bool Flush() noexcept;
    bool Failed() const noexcept { return failed_; }

private:
    static constexpr std::size_t kFlushBytes = 64 * 1024;

    HANDLE handle_;
    bool console_ = false;
    bool failed_ = false;
    std::string buffer_;
};

}  // namespace quillon::cli
