// Two locks on every table file. An open-file-description lock is what other
// programs (Wine's among them) see; unlike a classic fcntl lock it also keeps
// out a second open of the same file within this process. A flock lock is
// taken beside it because it can be exclusive on a file we may only read,
// where an fcntl write lock cannot be had.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <new>

#include "platform/error.h"
#include "platform/files.h"
#include "platform/locked_file.h"
#include "platform/posix/regular_file.h"

namespace tht {

std::optional<LockedFile> LockedFile::open(const fs::path& p, Mode mode, IfMissing ifMissing) {
    // A file we may create is never reached through a symbolic link: a
    // dangling one would have us create whatever file it names.
    const int create = ifMissing == IfMissing::Create ? O_CREAT | O_NOFOLLOW : 0;
    OpenedFile f = openRegularFile(p.c_str(), (mode == Mode::Exclusive ? O_RDWR : O_RDONLY) | create, 0666);
    bool writable = mode == Mode::Exclusive;
    if (f.error == ELOOP && create != 0) f.error = kNotRegularFile;  // the link itself is no file of ours
    if (f.error != 0 && mode == Mode::Exclusive && (f.error == EACCES || f.error == EROFS || f.error == EPERM)) {
        const int refused = f.error;
        f = openRegularFile(p.c_str(), O_RDONLY);  // a read-only file can still be read
        if (f.error == ENOENT) f.error = refused;   // missing, and may not be created here
        writable = false;
    }
    if (f.error != 0) throw Error(FileError::Unreadable, {.file = displayPath(p), .cause = openErrorCause(f.error)});
    // Root opens a file its owner made read-only for writing all the same:
    // the mode still says it is not ours to change.
    if ((f.st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) writable = false;
    const int fd = f.fd.release();
    struct flock lock {};
    lock.l_type = writable ? F_WRLCK : F_RDLCK;
    lock.l_whence = SEEK_SET;
    int err = 0;
    if (::fcntl(fd, F_OFD_SETLK, &lock) != 0)
        err = errno;
    else if (::flock(fd, (mode == Mode::Exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB) != 0)
        err = errno;
    if (err != 0) {
        ::close(fd);
        if (err == EAGAIN || err == EACCES || err == EWOULDBLOCK) return std::nullopt;
        throw Error(FileError::Unreadable, {.file = displayPath(p), .cause = describeSystemError(err)});
    }
    return LockedFile(fd, p, writable);
}

LockedFile::LockedFile(LockedFile&& other) noexcept
    : fd_(other.fd_), path_(std::move(other.path_)), writable_(other.writable_) {
    other.fd_ = -1;
}

LockedFile& LockedFile::operator=(LockedFile&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = other.fd_;
        path_ = std::move(other.path_);
        writable_ = other.writable_;
        other.fd_ = -1;
    }
    return *this;
}

LockedFile::~LockedFile() {
    if (fd_ >= 0) ::close(fd_);
}

ByteBuffer LockedFile::readAll() const {
    struct stat st {};
    if (::fstat(fd_, &st) != 0)
        throw Error(FileError::Unreadable, {.file = displayPath(path_), .cause = describeSystemError(errno)});
    ByteBuffer bytes;
    try {
        bytes.grow(static_cast<std::size_t>(st.st_size));  // not cleared: the reads fill it
    } catch (const std::bad_alloc&) {
        throw Error(FileError::Unreadable, {.file = displayPath(path_), .cause = describeSystemError(ENOMEM)});
    }
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t k = ::pread(fd_, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
        if (k < 0 && errno == EINTR) continue;
        if (k < 0)
            throw Error(FileError::Unreadable, {.file = displayPath(path_), .cause = describeSystemError(errno)});
        if (k == 0) break;  // the file shrank under us: report what is there
        done += static_cast<std::size_t>(k);
    }
    bytes.resize(done);
    return bytes;
}

std::size_t LockedFile::readAt(std::uint64_t offset, char* into, std::size_t size) const {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t k = ::pread(fd_, into + done, size - done, static_cast<off_t>(offset + done));
        if (k < 0 && errno == EINTR) continue;
        if (k < 0) throw Error(FileError::Unreadable, {.file = displayPath(path_), .cause = describeSystemError(errno)});
        if (k == 0) break;
        done += static_cast<std::size_t>(k);
    }
    return done;
}

}  // namespace tht
