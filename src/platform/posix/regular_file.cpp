#include "platform/posix/regular_file.h"

#include <fcntl.h>

#include <cerrno>

#include "platform/error.h"

namespace tht {

OpenedFile openRegularFile(const char* path, int flags, mode_t mode) {
    OpenedFile f;
    f.fd.reset(::open(path, flags | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, mode));
    if (!f.fd) {
        f.error = errno;
        return f;
    }
    if (::fstat(f.fd.get(), &f.st) != 0) {
        f.error = errno;
    } else if (S_ISDIR(f.st.st_mode)) {
        f.error = EISDIR;
    } else if (!S_ISREG(f.st.st_mode)) {
        f.error = kNotRegularFile;
    } else {
        const int status = ::fcntl(f.fd.get(), F_GETFL);
        if (status >= 0) ::fcntl(f.fd.get(), F_SETFL, status & ~O_NONBLOCK);
        return f;
    }
    f.fd.reset();
    return f;
}

std::string openErrorCause(int error) {
    return error == kNotRegularFile ? notRegularFileCause() : describeSystemError(error);
}

}  // namespace tht
