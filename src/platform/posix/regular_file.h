#pragma once
// Opening a file that must be a regular file, for every file service of the
// POSIX build. A FIFO, a terminal or a device named where a file belongs
// would block the open or never end a read; it is opened without waiting and
// refused once fstat tells what it is.
#include <sys/stat.h>

#include <string>

#include "platform/posix/unique_fd.h"

namespace tht {

// The error given in place of an errno when the path names no regular file.
constexpr int kNotRegularFile = -1;

struct OpenedFile {
    UniqueFd fd;
    struct stat st {};
    int error = 0;  // 0, an errno, or kNotRegularFile
};

// open(path, flags | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, mode), kept only when
// it is a regular file; a folder gives EISDIR. O_NONBLOCK is cleared again on
// the descriptor that is kept.
OpenedFile openRegularFile(const char* path, int flags, mode_t mode = 0);

// The Spanish cause of an OpenedFile::error.
std::string openErrorCause(int error);

}  // namespace tht
