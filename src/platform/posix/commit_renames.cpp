#include "platform/commit_renames.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "platform/error.h"
#include "platform/files.h"
#include "platform/posix/regular_file.h"
#include "platform/posix/unique_fd.h"

namespace tht {
namespace {

[[noreturn]] void fail(const std::filesystem::path& p, int error) {
    throw Error(FileError::Unwritable, {.file = displayPath(p), .cause = openErrorCause(error)});
}

}  // namespace

void renameReplacing(const std::filesystem::path& from, const std::filesystem::path& to) {
    if (::rename(from.c_str(), to.c_str()) != 0) fail(to, errno);
}

void keepAside(const std::filesystem::path& file, const std::filesystem::path& aside) {
    // A second name leaves the file where it is until the new one replaces
    // it in a single step; a file system without hard links (FAT) gets a rename.
    if (::link(file.c_str(), aside.c_str()) == 0) return;
    if (::rename(file.c_str(), aside.c_str()) != 0) fail(file, errno);
}

void flushFolder(const std::filesystem::path& folder) noexcept {
    const UniqueFd fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd) (void)::fsync(fd.get());
}

struct StopSignalsHeld::Saved {
    sigset_t mask;
};

StopSignalsHeld::StopSignalsHeld() : saved_(std::make_unique<Saved>()) {
    sigset_t stops;
    sigemptyset(&stops);
    for (int s : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&stops, s);
    ::pthread_sigmask(SIG_BLOCK, &stops, &saved_->mask);
}

StopSignalsHeld::~StopSignalsHeld() { ::pthread_sigmask(SIG_SETMASK, &saved_->mask, nullptr); }

}  // namespace tht
