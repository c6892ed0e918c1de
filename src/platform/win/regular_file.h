#pragma once
// Opening a file that must be a regular file, for every file service of the
// Windows build. A console, a printer port or a pipe named where a file
// belongs ("CON", "NUL", "\\.\pipe\...") would never end a read or would take
// our output: it is refused once GetFileType tells what it is.
#include <windows.h>

#include <filesystem>
#include <string>

namespace tht {

// The error given in place of a Windows error code when the path names no
// regular file.
inline constexpr DWORD kNotRegularFile = 0xFFFFFFFF;

// A HANDLE that closes itself.
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(HANDLE h) noexcept : h_(h) {}
    UniqueHandle(UniqueHandle&& other) noexcept : h_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    ~UniqueHandle() { reset(); }
    HANDLE get() const noexcept { return h_; }
    explicit operator bool() const noexcept { return h_ != INVALID_HANDLE_VALUE; }
    HANDLE release() noexcept {
        HANDLE h = h_;
        h_ = INVALID_HANDLE_VALUE;
        return h;
    }
    void reset(HANDLE h = INVALID_HANDLE_VALUE) noexcept {
        if (h_ != INVALID_HANDLE_VALUE) ::CloseHandle(h_);
        h_ = h;
    }

private:
    HANDLE h_ = INVALID_HANDLE_VALUE;
};

struct OpenedFile {
    UniqueHandle file;
    DWORD error = ERROR_SUCCESS;  // a Windows error code, or kNotRegularFile
};

// CreateFileW(path, access, share, disposition, flags), kept only when it is
// a regular file; a folder gives ERROR_DIRECTORY.
OpenedFile openRegularFile(const std::filesystem::path& path, DWORD access, DWORD share, DWORD disposition,
                           DWORD flags = FILE_ATTRIBUTE_NORMAL);

// The Spanish cause of an OpenedFile::error.
std::string openErrorCause(DWORD error);

// Whether Windows reads the name as a device in any folder ("CON", "nul.txt",
// "COM1 "): such a name is refused before any call, which would fail with an
// error code that tells the user nothing.
bool isDeviceName(const std::filesystem::path& path);

// MoveFileExW(from, to) replacing to, written through. A move that another
// program's open handle refuses (a virus scanner or an indexer looking at a
// file just written) is tried again for a few seconds. Returns ERROR_SUCCESS
// or the last Windows error code.
DWORD moveReplacing(const std::filesystem::path& from, const std::filesystem::path& to);

}  // namespace tht
