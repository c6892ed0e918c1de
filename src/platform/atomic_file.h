#pragma once
// A file replaced whole, so that a crash or a power cut leaves the old
// content or the new one, never a mix.
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/byte_buffer.h"
#include "platform/files.h"

namespace tht {

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

}  // namespace tht
