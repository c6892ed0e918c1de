// Replacing a file whole: AtomicFile and PreparedFile on POSIX systems.
//
// Every name is used relative to the open folder of the target, so the
// temporary name, however it compares with the target's, works wherever the
// target's path works, even near PATH_MAX.
#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <new>
#include <optional>
#include <random>

#include "platform/error.h"
#include "platform/atomic_file.h"
#include "platform/files.h"
#include "platform/posix/regular_file.h"
#include "platform/posix/signal_cleanup.h"
#include "platform/temporary_files.h"
#include "platform/posix/unique_fd.h"

namespace tht {

// What AtomicFile and PreparedFile hold between them.
struct Replacement {
    UniqueFd folder;             // the folder of the file replaced
    bool folderFlushable = true; // false when the folder could only be opened as a path
    fs::path folderPath;
    std::string finalName;       // the file's name in it
    std::string tempName;
    UniqueFd file;               // the temporary file while it is written
    RegisteredTemporary registered;

    // Removes the temporary file; the target stays as it was.
    void discard() noexcept {
        file.reset();
        if (!tempName.empty()) ::unlinkat(folder.get(), tempName.c_str(), 0);
        registered.release();
        tempName.clear();
    }
    ~Replacement() { discard(); }
};

namespace {

constexpr int kMaxLinks = 40;

[[noreturn]] void fail(const std::string& name, int error) {
    throw Error(FileError::Unwritable, {.file = name, .cause = openErrorCause(error)});
}

// The file a write to p must replace: p itself, or the end of its chain of
// symbolic links, which may not exist yet.
fs::path followLinks(const fs::path& p, const std::string& name) {
    fs::path current = p;
    for (int hops = 0; hops <= kMaxLinks; ++hops) {
        struct stat st {};
        if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return current;
        char buf[PATH_MAX];
        const ssize_t n = ::readlink(current.c_str(), buf, sizeof buf);
        if (n < 0) fail(name, errno);
        if (static_cast<std::size_t>(n) == sizeof buf) fail(name, ENAMETOOLONG);
        const fs::path next(std::string(buf, static_cast<std::size_t>(n)));
        current = next.is_absolute() ? next : current.parent_path() / next;
    }
    fail(name, ELOOP);
}

// Opens the folder and checks what is at the final name now: nothing, or a
// regular file we may write. Returns the state of the existing file.
std::optional<struct stat> openTarget(Replacement& r, const fs::path& real, const std::string& name) {
    r.finalName = real.filename().string();
    if (r.finalName.empty() || r.finalName == "." || r.finalName == "..") fail(name, EISDIR);
    const fs::path folder = real.has_parent_path() ? real.parent_path() : fs::path(".");
    r.folderPath = folder;
    r.folder.reset(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!r.folder && errno == EACCES) {  // a folder we may enter and write but not list
        r.folder.reset(::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
        r.folderFlushable = false;
    }
    if (!r.folder) fail(name, errno);

    struct stat st {};
    if (::fstatat(r.folder.get(), r.finalName.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
        if (errno == ENOENT) return std::nullopt;
        fail(name, errno);
    }
    if (S_ISDIR(st.st_mode)) fail(name, EISDIR);
    if (!S_ISREG(st.st_mode)) fail(name, kNotRegularFile);
    // A rename would replace a file its owner made read-only: refuse it, as a
    // read-only table is refused. The mode says so even to root, whom the
    // access check lets write anything.
    if (::faccessat(r.folder.get(), r.finalName.c_str(), W_OK, AT_EACCESS) != 0) fail(name, errno);
    if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) fail(name, EACCES);
    return st;
}

void createTemporary(Replacement& r, const std::string& name) {
    std::random_device rd;
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string temp = temporaryName(static_cast<std::uint32_t>(rd()));
        // Registered before it exists: a signal that comes while the file is
        // being created, or just after, still finds it.
        RegisteredTemporary registered(r.folder.get(), temp.c_str());
        r.file.reset(::openat(r.folder.get(), temp.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
        if (r.file) {
            r.tempName = std::move(temp);
            r.registered = std::move(registered);
            return;
        }
        if (errno != EEXIST) fail(name, errno);
    }
    fail(name, EEXIST);
}

// The new file takes the old one's owner where we may give it, and its mode.
// A file system that keeps neither (FAT) refuses them: nothing to keep there.
void keepOwnerAndMode(int fd, const struct stat& old) {
    if (::fchown(fd, old.st_uid, old.st_gid) != 0) {
        [[maybe_unused]] const int groupOnly = ::fchown(fd, static_cast<uid_t>(-1), old.st_gid);
    }
    (void)::fchmod(fd, old.st_mode & 07777);
}

// The whole content of an open file, for a reader that must see a new file
// before it takes its name.
ByteBuffer readWhole(int fd, const std::string& name) {
    struct stat st {};
    if (::fstat(fd, &st) != 0) throw Error(FileError::Unreadable, {.file = name, .cause = openErrorCause(errno)});
    ByteBuffer bytes;
    try {
        bytes.grow(static_cast<std::size_t>(st.st_size));  // not cleared: the reads fill it
    } catch (const std::bad_alloc&) {
        throw Error(FileError::Unreadable, {.file = name, .cause = describeSystemError(ENOMEM)});
    }
    for (std::size_t done = 0; done < bytes.size();) {
        const ssize_t k = ::pread(fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
        if (k < 0 && errno == EINTR) continue;
        if (k <= 0) throw Error(FileError::Unreadable, {.file = name, .cause = openErrorCause(k < 0 ? errno : EIO)});
        done += static_cast<std::size_t>(k);
    }
    return bytes;
}

// fsync, where the file system supports it.
int flush(int fd) {
    if (::fsync(fd) == 0 || errno == EINVAL || errno == EROFS || errno == ENOTSUP) return 0;
    return errno;
}

}  // namespace

AtomicFile::AtomicFile(fs::path target)
    : target_(std::move(target)), name_(displayPath(target_)), state_(std::make_unique<Replacement>()) {
    const fs::path real = followLinks(target_, name_);
    const std::optional<struct stat> existing = openTarget(*state_, real, name_);
    createTemporary(*state_, name_);
    if (existing) keepOwnerAndMode(state_->file.get(), *existing);
}

AtomicFile::~AtomicFile() = default;

void AtomicFile::write(std::string_view bytes) {
    // In pieces: Linux copies a write of hundreds of megabytes into its cache
    // several times slower than the same bytes a megabyte at a time.
    constexpr std::size_t kPiece = std::size_t{1} << 20;
    while (!bytes.empty()) {
        const ssize_t k = ::write(state_->file.get(), bytes.data(), std::min(bytes.size(), kPiece));
        if (k < 0) {
            if (errno == EINTR) continue;
            fail(name_, errno);
        }
        bytes.remove_prefix(static_cast<std::size_t>(k));
    }
}

void AtomicFile::writeAt(std::uint64_t offset, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t k = ::pwrite(state_->file.get(), bytes.data(), bytes.size(), static_cast<off_t>(offset));
        if (k < 0) {
            if (errno == EINTR) continue;
            fail(name_, errno);
        }
        bytes.remove_prefix(static_cast<std::size_t>(k));
        offset += static_cast<std::uint64_t>(k);
    }
}

ByteBuffer AtomicFile::readBack() const { return readWhole(state_->file.get(), name_); }

PreparedFile AtomicFile::prepare() && {
    if (const int err = flush(state_->file.get()); err != 0) fail(name_, err);
    if (::close(state_->file.release()) != 0) fail(name_, errno);
    return PreparedFile(target_, name_, std::move(state_));
}

void AtomicFile::commit() { std::move(*this).prepare().commit(); }

PreparedFile::PreparedFile(fs::path target, std::string name, std::unique_ptr<Replacement> state) noexcept
    : target_(std::move(target)), name_(std::move(name)), state_(std::move(state)) {}

PreparedFile::PreparedFile(PreparedFile&& other) noexcept = default;
PreparedFile& PreparedFile::operator=(PreparedFile&& other) noexcept = default;
PreparedFile::~PreparedFile() = default;

ByteBuffer PreparedFile::readBack() const {
    const UniqueFd in(::openat(state_->folder.get(), state_->tempName.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    if (!in) throw Error(FileError::Unreadable, {.file = name_, .cause = openErrorCause(errno)});
    return readWhole(in.get(), name_);
}

void PreparedFile::commit() {
    if (!state_) return;  // moved from: the file it held is another object's now
    Replacement& r = *state_;
    if (::renameat(r.folder.get(), r.tempName.c_str(), r.folder.get(), r.finalName.c_str()) != 0) {
        const int err = errno;
        r.discard();
        fail(name_, err);
    }
    r.registered.release();
    r.tempName.clear();
    if (r.folderFlushable)
        if (const int err = flush(r.folder.get()); err != 0) fail(name_, err);
}

fs::path PreparedFile::temporaryPath() const { return state_->folderPath / state_->tempName; }
fs::path PreparedFile::finalPath() const { return state_->folderPath / state_->finalName; }

void PreparedFile::handOver() noexcept {
    state_->registered.release();
    state_->tempName.clear();
}

}  // namespace tht
