#pragma once
// Objects of the object namespace that Win32 cannot make: directories (a session-like or an
// AppContainer-like namespace), sections named by an exact counted path (long names, embedded NULs)
// and symbolic links. Each is held until its object goes; the kernel removes the unnamed-reference
// object with the last handle.
#include <windows.h>

#include <cstdint>
#include <string>

namespace quillon::test {

class NativeObject {
public:
    NativeObject() = default;
    ~NativeObject() { Close(); }
    NativeObject(NativeObject&& other) noexcept;
    NativeObject& operator=(NativeObject&& other) noexcept;
    NativeObject(const NativeObject&) = delete;
    NativeObject& operator=(const NativeObject&) = delete;

    bool IsValid() const noexcept { return handle_ != nullptr; }
    HANDLE Get() const noexcept { return handle_; }
    long Status() const noexcept { return status_; }  // the NTSTATUS of the create
    void Close() noexcept;

protected:
    HANDLE handle_ = nullptr;
    long status_ = 0;
};

// A directory at `path`. With `sddl`, the directory gets that security descriptor.
class NativeDirectory : public NativeObject {
public:
    explicit NativeDirectory(const std::wstring& path, const wchar_t* sddl = nullptr);
};

// A pagefile section of `size` bytes at the exact path `path` (which may hold NULs), filled with
// (seed + k * 7) mod 256 like TestSection.
class NativeSection : public NativeObject {
public:
    NativeSection(const std::wstring& path, std::uint32_t size, unsigned char seed = 0);
};

// A symbolic link at `path` that points to `target`.
class NativeSymbolicLink : public NativeObject {
public:
    NativeSymbolicLink(const std::wstring& path, const std::wstring& target);
};

// Finds a session id with no directory under \Sessions, so a test can make one of its own.
unsigned long UnusedSessionId();

}  // namespace quillon::test
