#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <random>

#include "platform/error.h"
#include "platform/files.h"

namespace tht {

bool fileExists(const fs::path& p) {
    struct stat st {};
    return ::stat(p.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool folderExists(const fs::path& p) {
    struct stat st {};
    return ::stat(p.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

void removeFileQuietly(const fs::path& p) noexcept { ::unlink(p.c_str()); }

InputFile::InputFile(const fs::path& p) : name_(displayPath(p)) {
    fd_ = ::open(p.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) throw Error(ErrorKind::FileUnreadable, {.file = name_, .cause = describeSystemError(errno)});
    struct stat st {};
    if (::fstat(fd_, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd_);
        fd_ = -1;
        throw Error(ErrorKind::FileUnreadable, {.file = name_, .cause = describeSystemError(EISDIR)});
    }
}

InputFile::~InputFile() {
    if (fd_ >= 0) ::close(fd_);
}

std::size_t InputFile::read(char* buf, std::size_t n) {
    for (;;) {
        ssize_t k = ::read(fd_, buf, n);
        if (k >= 0) return static_cast<std::size_t>(k);
        if (errno != EINTR)
            throw Error(ErrorKind::FileUnreadable, {.file = name_, .cause = describeSystemError(errno)});
    }
}

AtomicFile::AtomicFile(fs::path target) : target_(std::move(target)), name_(displayPath(target_)) {
    std::random_device rd;
    const fs::path folder = target_.has_parent_path() ? target_.parent_path() : fs::path(".");
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = ".";
        name += target_.filename().string();
        name += '.';
        name += std::to_string(rd() % 1000000);
        name += ".tmp";
        temp_ = folder / name;
        fd_ = ::open(temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd_ >= 0) return;
        if (errno != EEXIST) break;
    }
    throw Error(ErrorKind::FileUnwritable, {.file = name_, .cause = describeSystemError(errno)});
}

AtomicFile::~AtomicFile() {
    if (fd_ >= 0) {
        ::close(fd_);
        ::unlink(temp_.c_str());
    }
}

void AtomicFile::fail(int errnum) {
    throw Error(ErrorKind::FileUnwritable, {.file = name_, .cause = describeSystemError(errnum)});
}

void AtomicFile::write(std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t k = ::write(fd_, bytes.data(), bytes.size());
        if (k < 0) {
            if (errno == EINTR) continue;
            fail(errno);
        }
        bytes.remove_prefix(static_cast<std::size_t>(k));
    }
}

void AtomicFile::commit() {
    if (::close(fd_) != 0) {
        const int err = errno;
        fd_ = -1;
        ::unlink(temp_.c_str());
        fail(err);
    }
    fd_ = -1;
    if (::rename(temp_.c_str(), target_.c_str()) != 0) {
        const int err = errno;
        ::unlink(temp_.c_str());
        fail(err);
    }
}

// A file renamed over stays readable to whoever holds it open: the locks
// can stay with the caller until it closes the table.
void AtomicFile::commitReleasing(std::vector<LockedFile>&) { commit(); }

}  // namespace tht
