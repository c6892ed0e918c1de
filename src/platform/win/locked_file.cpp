// A table in use is an open file whose share mode keeps the others out:
// exclusive use shares nothing, shared use shares reading only. Horalina's
// own opens conflict with ours the same way, both ways.
#include <windows.h>

#include <cerrno>

#include "platform/error.h"
#include "platform/files.h"
#include "platform/locked_file.h"
#include "platform/win/regular_file.h"
#include "platform/wide_text.h"

namespace tht {
namespace {

HANDLE handleOf(NativeFile f) { return reinterpret_cast<HANDLE>(f); }



}  // namespace

std::optional<LockedFile> LockedFile::open(const fs::path& p, Mode mode, IfMissing ifMissing) {
    const bool exclusive = mode == Mode::Exclusive;
    const DWORD share = exclusive ? 0 : FILE_SHARE_READ;
    const DWORD disposition = ifMissing == IfMissing::Create ? OPEN_ALWAYS : OPEN_EXISTING;
    bool writable = exclusive;
    // A file we may create is never reached through a symbolic link: a
    // dangling one would have us create whatever file it names.
    const DWORD flags = ifMissing == IfMissing::Create ? FILE_FLAG_OPEN_REPARSE_POINT : 0;
    OpenedFile f =
        openRegularFile(p, exclusive ? GENERIC_READ | GENERIC_WRITE : GENERIC_READ, share, disposition, flags);
    if (f.error == ERROR_ACCESS_DENIED && exclusive) {
        f = openRegularFile(p, GENERIC_READ, share, OPEN_EXISTING);  // a read-only file can still be read
        if (f.error == ERROR_FILE_NOT_FOUND) f.error = ERROR_ACCESS_DENIED;  // missing, and may not be created here
        writable = false;
    }
    if (f.error == ERROR_SHARING_VIOLATION || f.error == ERROR_LOCK_VIOLATION) return std::nullopt;
    if (f.error != ERROR_SUCCESS)
        throw Error(FileError::Unreadable, {.file = displayPath(p), .cause = openErrorCause(f.error)});
    return LockedFile(reinterpret_cast<NativeFile>(f.file.release()), p, writable);
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
        throw Error(FileError::Unreadable, {.file = displayPath(path_), .cause = describeWindowsError(::GetLastError())});
    ByteBuffer bytes;
    bytes.grow(static_cast<std::size_t>(size.QuadPart));  // not cleared: the reads fill it
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
            throw Error(FileError::Unreadable, {.file = displayPath(path_), .cause = describeWindowsError(err)});
        }
        if (got == 0) break;  // the file shrank under us: report what is there
        done += got;
    }
    bytes.resize(done);
    return bytes;
}

std::size_t LockedFile::readAt(std::uint64_t offset, char* into, std::size_t size) const {
    std::size_t done = 0;
    while (done < size) {
        OVERLAPPED at{};
        const std::uint64_t from = offset + done;
        at.Offset = static_cast<DWORD>(from & 0xFFFFFFFFu);
        at.OffsetHigh = static_cast<DWORD>(from >> 32);
        const std::size_t left = size - done;
        const DWORD want = left < (1u << 30) ? static_cast<DWORD>(left) : (1u << 30);
        DWORD got = 0;
        if (!::ReadFile(handleOf(fd_), into + done, want, &got, &at)) {
            const DWORD err = ::GetLastError();
            if (err == ERROR_HANDLE_EOF) break;
            throw Error(FileError::Unreadable, {.file = displayPath(path_), .cause = describeWindowsError(err)});
        }
        if (got == 0) break;
        done += got;
    }
    return done;
}

}  // namespace tht
