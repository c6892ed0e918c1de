#pragma once
// File-system services: presence tests, the case-insensitive lookup that
// stands in for a file system that ignores letter case, whole-file reads,
// atomic replacement and exclusive locks.
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

class LockedFile;

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

struct Replacement;
class PreparedFile;

// A new file written under a temporary name in the target's folder; it takes
// the target's name only on commit(), after its content is on the disk, and
// the folder is flushed after the rename, so a power cut leaves the old file
// or the new one. Destroyed without commit, it removes the temporary file and
// the target stays as it was.
//
// The target is what Windows would update in place: a symbolic link is
// followed and the file it points to replaced (the link stays a link); an
// existing file keeps its permissions (and owner, where the system lets us);
// a file we may not write (read-only), a folder or anything but a regular
// file is refused. Throws Error(FileUnwritable).
class AtomicFile final {
public:
    explicit AtomicFile(fs::path target);
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;
    // Writes all of bytes or throws Error(FileUnwritable).
    void write(std::string_view bytes);
    // Overwrites bytes already written, from offset on (a header completed
    // once the rest is known).
    void writeAt(std::uint64_t offset, std::string_view bytes);
    // Everything written so far, read back from the temporary file.
    ByteBuffer readBack() const;  // throws Error(FileError::Unreadable)
    // prepare() and PreparedFile::commit() in one step.
    void commit();
    // Writes the content out to the disk and closes the temporary file, which
    // takes the target's name when the PreparedFile is committed. Several
    // files prepared first can then take their names together.
    PreparedFile prepare() &&;
    const std::string& name() const { return name_; }
    const fs::path& target() const { return target_; }

private:
    fs::path target_;
    std::string name_;
    std::unique_ptr<Replacement> state_;
};

// A complete new file under its temporary name, waiting to take the target's
// name. Destroyed without commit, it removes the temporary file.
class PreparedFile {
public:
    PreparedFile(PreparedFile&& other) noexcept;
    PreparedFile& operator=(PreparedFile&& other) noexcept;
    ~PreparedFile();
    const fs::path& target() const { return target_; }
    // The content written, read back from the temporary file, for a reader
    // that must see the new file before it takes the target's name.
    ByteBuffer readBack() const;  // throws Error(FileError::Unreadable)
    // Renames the temporary file to the target and flushes the folder.
    // Throws Error(FileUnwritable); once the rename is done, a failed flush
    // is still reported, with the target already replaced.
    void commit();

    // For a commit that a journal of the caller's carries out: where the
    // temporary file is and the file it replaces (past any symbolic link),
    // and handOver(), after which the temporary file is the caller's: it is
    // neither removed when this is destroyed nor when a signal ends the process.
    fs::path temporaryPath() const;
    fs::path finalPath() const;
    void handOver() noexcept;

private:
    friend class AtomicFile;
    PreparedFile(fs::path target, std::string name, std::unique_ptr<Replacement> state) noexcept;
    fs::path target_;
    std::string name_;
    std::unique_ptr<Replacement> state_;
};

// An open file held with an operating-system lock for as long as it lives.
// Exclusive keeps every other holder out; shared keeps exclusive holders out.
class LockedFile {
public:
    enum class Mode { Shared, Exclusive };
    // What open does when no file exists at the path.
    enum class IfMissing { Fail, Create };
    // nullopt when another open file description holds a conflicting lock.
    // Throws Error(FileUnreadable) when the file cannot be opened or created,
    // or is not a regular file (it is never waited for).
    static std::optional<LockedFile> open(const fs::path& p, Mode mode, IfMissing ifMissing = IfMissing::Fail);
    LockedFile(LockedFile&& other) noexcept;
    LockedFile& operator=(LockedFile&& other) noexcept;
    ~LockedFile();
    ByteBuffer readAll() const;  // throws Error(FileUnreadable)
    const fs::path& path() const { return path_; }
    // False when the file could only be opened for reading (its permissions,
    // a read-only file system): it must then not be replaced either.
    bool writable() const { return writable_; }

private:
    LockedFile(NativeFile fd, fs::path p, bool writable) : fd_(fd), path_(std::move(p)), writable_(writable) {}
    NativeFile fd_ = kNoFile;
    fs::path path_;
    bool writable_ = false;
};

}  // namespace tht
