#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/error.h"
#include "platform/files.h"
#include "platform/posix/regular_file.h"

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
    OpenedFile f = openRegularFile(p.c_str(), O_RDONLY);
    if (f.error != 0) throw Error(FileError::Unreadable, {.file = name_, .cause = openErrorCause(f.error)});
    fd_ = f.fd.release();
    size_ = left_ = static_cast<std::uint64_t>(f.st.st_size);
}

InputFile::~InputFile() {
    if (fd_ >= 0) ::close(fd_);
}

std::size_t InputFile::read(char* buf, std::size_t n) {
    if (n > left_) n = static_cast<std::size_t>(left_);
    if (n == 0) return 0;
    for (;;) {
        ssize_t k = ::read(fd_, buf, n);
        if (k >= 0) {
            left_ -= static_cast<std::uint64_t>(k);
            return static_cast<std::size_t>(k);
        }
        if (errno != EINTR)
            throw Error(FileError::Unreadable, {.file = name_, .cause = describeSystemError(errno)});
    }
}

}  // namespace tht
