// A table in use is an open file whose share mode keeps the others out:
// exclusive use shares nothing, shared use shares reading only. Horalina's
// own opens conflict with ours the same way, both ways.
#include <windows.h>

#include <cerrno>

#include "platform/error.h"
#include "platform/files.h"
#include "platform/wide_text.h"

namespace tht {
namespace {

HANDLE handleOf(NativeFile f) { return reinterpret_cast<HANDLE>(f); }

HANDLE openShared(const fs::path& p, DWORD access, DWORD share) {
    return ::CreateFileW(p.c_str(), access, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

std::optional<LockedFile> LockedFile::open(const fs::path& p, Mode mode) {
    const DWORD attributes = ::GetFileAttributesW(p.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        throw Error(ErrorKind::FileUnreadable, {.file = displayPath(p), .cause = describeSystemError(EISDIR)});
    const bool exclusive = mode == Mode::Exclusive;
    const DWORD share = exclusive ? 0 : FILE_SHARE_READ;
    bool writable = exclusive;
    HANDLE h = openShared(p, exclusive ? GENERIC_READ | GENERIC_WRITE : GENERIC_READ, share);
    if (h == INVALID_HANDLE_VALUE && exclusive && ::GetLastError() == ERROR_ACCESS_DENIED) {
        h = openShared(p, GENERIC_READ, share);  // a read-only file can still be read
        writable = false;
    }
    if (h == INVALID_HANDLE_VALUE) {
        const DWORD err = ::GetLastError();
        if (err == ERROR_SHARING_VIOLATION || err == ERROR_LOCK_VIOLATION) return std::nullopt;
        throw Error(ErrorKind::FileUnreadable, {.file = displayPath(p), .cause = describeWindowsError(err)});
    }
    return LockedFile(reinterpret_cast<NativeFile>(h), p, writable);
}

LockedFile::LockedFile(LockedFile&& other) noexcept
    : fd_(other.fd_), path_(std::move(other.path_)), writable_(other.writable_) {
    other.fd_ = kNoFile;
}

LockedFile& LockedFile::operator=(LockedFile&& other) noexcept {
    if (this != &other) {
        if (fd_ != kNoFile) ::CloseHandle(handleOf(fd_));
        fd_ = other.fd_;
        path_ = std::move(other.path_);
        writable_ = other.writable_;
        other.fd_ = kNoFile;
    }
    return *this;
}

LockedFile::~LockedFile() {
    if (fd_ != kNoFile) ::CloseHandle(handleOf(fd_));
}

ByteBuffer LockedFile::readAll() const {
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(handleOf(fd_), &size))
        throw Error(ErrorKind::FileUnreadable, {.file = displayPath(path_), .cause = describeWindowsError(::GetLastError())});
    ByteBuffer bytes;
    bytes.resize(static_cast<std::size_t>(size.QuadPart));
    std::size_t done = 0;
    while (done < bytes.size()) {
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(done & 0xFFFFFFFFu);
        at.OffsetHigh = static_cast<DWORD>(static_cast<std::uint64_t>(done) >> 32);
        const std::size_t left = bytes.size() - done;
        const DWORD want = left < (1u << 30) ? static_cast<DWORD>(left) : (1u << 30);
        DWORD got = 0;
        if (!::ReadFile(handleOf(fd_), bytes.data() + done, want, &got, &at)) {
            const DWORD err = ::GetLastError();
            if (err == ERROR_HANDLE_EOF) break;
            throw Error(ErrorKind::FileUnreadable, {.file = displayPath(path_), .cause = describeWindowsError(err)});
        }
        if (got == 0) break;  // the file shrank under us: report what is there
        done += got;
    }
    bytes.resize(done);
    return bytes;
}

}  // namespace tht
