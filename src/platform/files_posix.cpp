#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/casefold.h"
#include "platform/error.h"
#include "platform/files.h"
#include "platform/regular_file_posix.h"
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
    try {
        bytes.resize(static_cast<std::size_t>(in.size()));
    } catch (const std::exception&) {  // bad_alloc, or more than a string can hold
        throw Error(FileError::Unreadable, {.file = in.name(), .cause = describeSystemError(ENOMEM)});
    }
    std::size_t done = 0;
    for (std::size_t n; done < bytes.size() && (n = in.read(bytes.data() + done, bytes.size() - done)) > 0;) done += n;
    bytes.resize(done);  // the file shrank under us: what is there
    return bytes;
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
