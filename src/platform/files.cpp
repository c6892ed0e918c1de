// File services that are no system call: path text, the case-insensitive
// lookup over a folder's entries, whole-file reads through InputFile.
#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/casefold.h"
#include "platform/error.h"
#include "platform/files.h"
#include "charset/unicode.h"

namespace tht {

std::size_t MemorySource::read(char* buf, std::size_t n) {
    const std::size_t k = std::min(n, bytes_.size() - pos_);
    std::memcpy(buf, bytes_.data() + pos_, k);
    pos_ += k;
    return k;
}

std::string displayPath(const fs::path& p) {
    const std::u8string text = p.u8string();
    return std::string(text.begin(), text.end());
}

fs::path pathFromUtf8(std::string_view text) {
    return fs::path(std::u8string(text.begin(), text.end()));
}

std::vector<fs::path> findCaseVariants(const fs::path& folder, std::string_view name) {
    std::vector<fs::path> found;
    const std::u32string wanted = foldCase(fromUtf8(name));
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string entry = displayPath(it->path().filename());
        if (entry.size() == name.size() || fromUtf8(entry).size() == wanted.size())
            if (foldCase(fromUtf8(entry)) == wanted) found.push_back(it->path());
    }
    std::sort(found.begin(), found.end());
    return found;
}

std::optional<fs::path> findEntry(const fs::path& folder, std::string_view name) {
    fs::path exact = folder / pathFromUtf8(name);
    std::error_code ec;
    if (fs::exists(fs::symlink_status(exact, ec))) return exact;
    std::vector<fs::path> variants = findCaseVariants(folder, name);
    if (variants.empty()) return std::nullopt;
    return variants.front();
}

fs::path resolveEntry(const fs::path& folder, std::string_view name) {
    if (auto found = findEntry(folder, name)) return *found;
    return folder / pathFromUtf8(name);
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

ByteBuffer readFileBuffer(const fs::path& p) {
    InputFile in(p);
    ByteBuffer bytes;
    const auto size = static_cast<std::size_t>(in.size());
    try {
        bytes.reserve(size);
    } catch (const std::exception&) {  // bad_alloc, or more than memory can hold
        throw Error(FileError::Unreadable, {.file = in.name(), .cause = describeSystemError(ENOMEM)});
    }
    char* data = bytes.grow(size);
    std::size_t done = 0;
    for (std::size_t n; done < size && (n = in.read(data + done, size - done)) > 0;) done += n;
    bytes.resize(done);  // the file shrank under us: what is there
    return bytes;
}

void requireListableFolder(const fs::path& folder) {
    std::error_code ec;
    fs::directory_iterator listing(folder, ec);
    if (!ec) return;
    const int cause = ec == std::errc::permission_denied ? EACCES : ec.value();
    throw Error(FileError::FolderUnreadable, {.file = displayPath(folder), .cause = describeSystemError(cause)});
}

}  // namespace tht
