#pragma once
// File-system services: presence tests, the case-insensitive lookup that
// stands in for a file system that ignores letter case, whole-file reads,
// atomic replacement and exclusive locks.
#include <cstdint>
#include <filesystem>
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

// Every entry of folder that equals name without regard to letter case.
std::vector<fs::path> findCaseVariants(const fs::path& folder, std::string_view name);

// The whole content of a file; throws Error(FileUnreadable).
std::string readFileBytes(const fs::path& p);

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
    const std::string& name() const override { return name_; }

private:
    NativeFile fd_ = kNoFile;
    std::string name_;
};

// A new file written under a temporary name in the target's folder; it takes
// the target's name only on commit(). Destroyed without commit, it removes
// the temporary file and the target stays as it was.
class AtomicFile final : public ByteSink {
public:
    explicit AtomicFile(fs::path target);  // throws Error(FileUnwritable)
    ~AtomicFile() override;
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;
    void write(std::string_view bytes) override;
    void commit();
    // commit() for a target the caller holds open. Where the system cannot
    // rename over an open file (Windows), the caller's locks are let go just
    // before; elsewhere they stay with the caller.
    void commitReleasing(std::vector<LockedFile>& heldTarget);
    const std::string& name() const override { return name_; }
    const fs::path& target() const { return target_; }

private:
    [[noreturn]] void fail(int errnum);
    fs::path target_;
    fs::path temp_;
    std::string name_;
    NativeFile fd_ = kNoFile;
};

// An open file held with an operating-system lock for as long as it lives.
// Exclusive keeps every other holder out; shared keeps exclusive holders out.
class LockedFile {
public:
    enum class Mode { Shared, Exclusive };
    // nullopt when another open file description holds a conflicting lock.
    // Throws Error(FileUnreadable) when the file cannot be opened.
    static std::optional<LockedFile> open(const fs::path& p, Mode mode);
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
