#include "replaced_file.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <stdexcept>

namespace bench {
namespace {

[[noreturn]] void fail(const std::string& what, const std::string& path) {
    throw std::runtime_error(what + " " + path + ": " + std::strerror(errno));
}

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

double seconds(const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; }

}  // namespace

ReplacedFile::ReplacedFile(std::string target) : target_(std::move(target)) {
    temp_ = folderOf(target_) + "/.bench." + std::to_string(::getpid()) + ".tmp";
    fd_ = ::open(temp_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd_ < 0) fail("cannot create", temp_);
}

ReplacedFile::~ReplacedFile() {
    if (fd_ >= 0) {
        ::close(fd_);
        ::unlink(temp_.c_str());
    }
}

void ReplacedFile::write(std::string_view bytes) {
    // A megabyte at a time, as exportar writes: Linux copies one write of
    // hundreds of megabytes into its cache several times slower.
    constexpr std::size_t kPiece = std::size_t{1} << 20;
    while (!bytes.empty()) {
        const ssize_t k = ::write(fd_, bytes.data(), std::min(bytes.size(), kPiece));
        if (k < 0 && errno == EINTR) continue;
        if (k < 0) fail("cannot write", temp_);
        bytes.remove_prefix(static_cast<std::size_t>(k));
    }
}

void ReplacedFile::writeAt(std::size_t offset, std::string_view bytes) {
    if (::pwrite(fd_, bytes.data(), bytes.size(), static_cast<off_t>(offset)) != static_cast<ssize_t>(bytes.size()))
        fail("cannot write", temp_);
}

double ReplacedFile::commit() {
    const double start = wallSeconds();
    if (::fsync(fd_) != 0) fail("cannot flush", temp_);
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) fail("cannot close", temp_);
    if (::rename(temp_.c_str(), target_.c_str()) != 0) fail("cannot rename", temp_);
    const std::string folder = folderOf(target_);
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0) fail("cannot open", folder);
    const int synced = ::fsync(dir);
    ::close(dir);
    if (synced != 0) fail("cannot flush", folder);
    return wallSeconds() - start;
}

double wallSeconds() {
    timespec t{};
    ::clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

double cpuSeconds() {
    rusage u{};
    ::getrusage(RUSAGE_SELF, &u);
    return seconds(u.ru_utime) + seconds(u.ru_stime);
}

}  // namespace bench
