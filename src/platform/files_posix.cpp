#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <random>

#include "platform/casefold.h"
#include "platform/error.h"
#include "platform/files.h"
#include "platform/unicode.h"

namespace tht {

std::size_t MemorySource::read(char* buf, std::size_t n) {
    const std::size_t k = std::min(n, bytes_.size() - pos_);
    std::memcpy(buf, bytes_.data() + pos_, k);
    pos_ += k;
    return k;
}

std::string displayPath(const fs::path& p) { return p.string(); }

bool fileExists(const fs::path& p) {
    struct stat st {};
    return ::stat(p.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool folderExists(const fs::path& p) {
    struct stat st {};
    return ::stat(p.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::vector<fs::path> findCaseVariants(const fs::path& folder, std::string_view name) {
    std::vector<fs::path> found;
    const std::u32string wanted = foldCase(fromUtf8(name));
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string entry = it->path().filename().string();
        if (entry.size() == name.size() || fromUtf8(entry).size() == wanted.size())
            if (foldCase(fromUtf8(entry)) == wanted) found.push_back(it->path());
    }
    std::sort(found.begin(), found.end());
    return found;
}

std::optional<fs::path> findEntry(const fs::path& folder, std::string_view name) {
    fs::path exact = folder / fs::path(std::string(name));
    struct stat st {};
    if (::lstat(exact.c_str(), &st) == 0) return exact;
    std::vector<fs::path> variants = findCaseVariants(folder, name);
    if (variants.empty()) return std::nullopt;
    return variants.front();
}

fs::path resolveEntry(const fs::path& folder, std::string_view name) {
    if (auto found = findEntry(folder, name)) return *found;
    return folder / fs::path(std::string(name));
}

std::string readFileBytes(const fs::path& p) {
    InputFile in(p);
    std::string bytes;
    struct stat st {};
    if (::stat(p.c_str(), &st) == 0 && st.st_size > 0) bytes.reserve(static_cast<std::size_t>(st.st_size));
    char buf[1 << 16];
    for (std::size_t n; (n = in.read(buf, sizeof buf)) > 0;) bytes.append(buf, n);
    return bytes;
}

void removeFileQuietly(const fs::path& p) noexcept { ::unlink(p.c_str()); }

InputFile::InputFile(const fs::path& p) : name_(displayPath(p)) {
    fd_ = ::open(p.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) throw Error(FileError::Unreadable, {.file = name_, .cause = describeSystemError(errno)});
    struct stat st {};
    if (::fstat(fd_, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd_);
        fd_ = -1;
        throw Error(FileError::Unreadable, {.file = name_, .cause = describeSystemError(EISDIR)});
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
            throw Error(FileError::Unreadable, {.file = name_, .cause = describeSystemError(errno)});
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
    throw Error(FileError::Unwritable, {.file = name_, .cause = describeSystemError(errno)});
}

AtomicFile::~AtomicFile() {
    if (fd_ >= 0) {
        ::close(fd_);
        ::unlink(temp_.c_str());
    }
}

void AtomicFile::fail(int errnum) {
    throw Error(FileError::Unwritable, {.file = name_, .cause = describeSystemError(errnum)});
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

}  // namespace tht
