#pragma once
// File-system services: presence tests, the case-insensitive lookup that
// stands in for a file system that ignores letter case, and whole-file reads.
// Replacement is in atomic_file.h, locks in locked_file.h.
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>
#include <string>
#include <string_view>

#include "platform/byte_buffer.h"
#include "platform/byte_io.h"

namespace tht {

namespace fs = std::filesystem;

// An open file of the system: a descriptor on POSIX, a HANDLE on Windows;
// -1 is no file on both.
using NativeFile = std::intptr_t;
inline constexpr NativeFile kNoFile = -1;

// A path as UTF-8 text for messages, and back: the one encoding of paths
// that the rest of the program handles.
std::string displayPath(const fs::path& p);
fs::path pathFromUtf8(std::string_view text);

// True when a file (not a folder) exists at p; a link counts as what it points to.
bool fileExists(const fs::path& p);
// True when a folder exists at p; a link to a folder counts.
bool folderExists(const fs::path& p);

// The entry of folder called name: the exact name when it exists, else the
// first entry in name order that equals it without regard to letter case.
std::optional<fs::path> findEntry(const fs::path& folder, std::string_view name);
// findEntry, or folder/name when there is none (for messages and creation).
fs::path resolveEntry(const fs::path& folder, std::string_view name);

// Throws Error(FileError::FolderUnreadable) naming folder when its entries
// cannot be listed: without this, each of its files would read as missing.
void requireListableFolder(const fs::path& folder);

// Every entry of folder that equals name without regard to letter case.
std::vector<fs::path> findCaseVariants(const fs::path& folder, std::string_view name);

// Inputs are regular files only: a FIFO, a terminal or a device named as one
// is refused at once ("no es un archivo normal") instead of waiting for a
// writer or reading without end; a folder is refused as a folder. A file is
// read up to the size it had when it was opened, so one that keeps growing
// does not grow memory without end. Running out of memory is reported as an
// Error naming the file.

// The whole content of a file; throws Error(FileUnreadable).
std::string readFileBytes(const fs::path& p);
// The same in a buffer for large files: its memory is not cleared first.
ByteBuffer readFileBuffer(const fs::path& p);

// Removes a file when present; a failure is ignored, as the callers expect.
void removeFileQuietly(const fs::path& p) noexcept;

// A file read sequentially in chunks.
class InputFile final : public ByteSource {
public:
    explicit InputFile(const fs::path& p);  // throws Error(FileUnreadable)
    ~InputFile() override;
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;
    std::size_t read(char* buf, std::size_t n) override;
    const std::string& name() const { return name_; }
    // The size the file had when it was opened: no more is read.
    std::uint64_t size() const noexcept { return size_; }

private:
    NativeFile fd_ = kNoFile;
    std::string name_;
    std::uint64_t size_ = 0;
    std::uint64_t left_ = 0;
};

}  // namespace tht
