#include "cli/console_stream.h"

#include "cli/utf8.h"

namespace quillon::cli {

ConsoleStream::ConsoleStream(DWORD standardHandle) noexcept : handle_(::GetStdHandle(standardHandle)) {
    DWORD mode = 0;
    console_ = handle_ && handle_ != INVALID_HANDLE_VALUE && ::GetConsoleMode(handle_, &mode);
}

ConsoleStream& ConsoleStream::operator<<(std::wstring_view text) {
    AppendUtf8(buffer_, text);
    FlushIfFull();
    return *this;
}

bool ConsoleStream::Flush() noexcept {
    if (buffer_.empty()) return !failed_;
    if (failed_ || !handle_ || handle_ == INVALID_HANDLE_VALUE) {
        buffer_.clear();
        return false;
    }
    if (console_) {
        const int units = ::MultiByteToWideChar(CP_UTF8, 0, buffer_.data(), static_cast<int>(buffer_.size()), nullptr, 0);
        try {
            std::wstring wide(static_cast<std::size_t>(units), L'\0');
            ::MultiByteToWideChar(CP_UTF8, 0, buffer_.data(), static_cast<int>(buffer_.size()), &wide[0], units);
            DWORD written = 0;
            failed_ = !::WriteConsoleW(handle_, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
        } catch (...) {
            failed_ = true;
        }
    } else {
        const char* at = buffer_.data();
        std::size_t left = buffer_.size();
        while (left > 0) {
            DWORD written = 0;
            if (!::WriteFile(handle_, at, static_cast<DWORD>(left), &written, nullptr) || written == 0) {
                failed_ = true;
                break;
            }
            at += written;
            left -= written;
        }
    }
    buffer_.clear();
    return !failed_;
}

}  // namespace quillon::cli
