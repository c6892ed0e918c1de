#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <stdexcept>

#include "floor_files.h"

namespace bench::floor_files {
namespace {

[[noreturn]] void fail(const std::string& what, const std::string& path) {
    throw std::runtime_error(what + " " + path + ": " + std::strerror(errno));
}

int descriptor(void* handle) { return static_cast<int>(reinterpret_cast<std::intptr_t>(handle)); }

}  // namespace

std::vector<std::string> arguments(int argc, char** argv) { return {argv, argv + argc}; }

std::size_t readWhole(const std::string& path, std::unique_ptr<char[]>& buffer, std::size_t& capacity) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) fail("cannot open", path);
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        ::close(fd);
        fail("cannot stat", path);
    }
    const auto size = static_cast<std::size_t>(st.st_size);
    if (size > capacity) {
        buffer.reset(new char[size]);  // not cleared: the read fills it
        capacity = size;
    }
    std::size_t done = 0;
    while (done < size) {
        const ssize_t k = ::read(fd, buffer.get() + done, size - done);
        if (k < 0 && errno == EINTR) continue;
        if (k <= 0) {
            ::close(fd);
            fail("cannot read", path);
        }
        done += static_cast<std::size_t>(k);
    }
    ::close(fd);
    return size;
}

NewFile::NewFile(std::string path) : path_(std::move(path)) {
    const int fd = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) fail("cannot create", path_);
    handle_ = reinterpret_cast<void*>(static_cast<std::intptr_t>(fd));
    open_ = true;
}

NewFile::~NewFile() {
    if (open_) {
        ::close(descriptor(handle_));
        ::unlink(path_.c_str());
    }
}

void NewFile::write(const char* bytes, std::size_t size) {
    while (size > 0) {
        const ssize_t k = ::write(descriptor(handle_), bytes, size);
        if (k < 0 && errno == EINTR) continue;
        if (k < 0) fail("cannot write", path_);
        bytes += k;
        size -= static_cast<std::size_t>(k);
    }
}

void NewFile::flushAndClose() {
    if (::fsync(descriptor(handle_)) != 0) fail("cannot flush", path_);
    open_ = false;
    if (::close(descriptor(handle_)) != 0) fail("cannot close", path_);
}

void replace(const std::string& from, const std::string& to) {
    if (::rename(from.c_str(), to.c_str()) != 0) fail("cannot rename", from);
}

bool flushFolder(const std::string& folder) {
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0) fail("cannot open", folder);
    const int flushed = ::fsync(dir);
    ::close(dir);
    if (flushed != 0) fail("cannot flush", folder);
    return true;
}

unsigned long processId() { return static_cast<unsigned long>(::getpid()); }

}  // namespace bench::floor_files
