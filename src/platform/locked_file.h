#pragma once
// A file held under an operating-system lock.
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/byte_buffer.h"
#include "platform/files.h"

namespace tht {

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
    // Up to size bytes from offset into `into`: fewer only at the end of the
    // file. Throws Error(FileUnreadable).
    std::size_t readAt(std::uint64_t offset, char* into, std::size_t size) const;
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
