// Replacing a file whole: AtomicFile and PreparedFile on Windows. The new
// content is written beside the target under a short temporary name, flushed,
// and moved over the target with write-through, so a power cut leaves the old
// file or the new one.
#include <windows.h>

#include <cerrno>
#include <new>
#include <random>

#include "platform/error.h"
#include "platform/atomic_file.h"
#include "platform/files.h"
#include "platform/win/regular_file.h"
#include "platform/win/signal_cleanup.h"
#include "platform/temporary_files.h"
#include "platform/wide_text.h"

namespace tht {

// What AtomicFile and PreparedFile hold between them.
struct Replacement {
    fs::path finalPath;  // the file replaced, past any symbolic link
    fs::path tempPath;
    UniqueHandle file;  // the temporary file while it is written
    RegisteredTemporary registered;

    // Removes the temporary file; the target stays as it was.
    void discard() noexcept {
        file.reset();
        if (!tempPath.empty()) ::DeleteFileW(tempPath.c_str());
        registered.release();
        tempPath.clear();
    }
    ~Replacement() { discard(); }
};

namespace {

constexpr DWORD kChunk = 1u << 30;  // one ReadFile or WriteFile call at most

// The attributes a new file takes from the one it replaces.
constexpr DWORD kKeptAttributes =
    FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

[[noreturn]] void fail(const std::string& name, DWORD error) {
    throw Error(FileError::Unwritable, {.file = name, .cause = openErrorCause(error)});
}

// The file a write to p must replace: p itself, or the file a symbolic link
// at p points to.
fs::path followLink(const fs::path& p, DWORD attributes, const std::string& name) {
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) return p;
    OpenedFile f = openRegularFile(p, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, OPEN_EXISTING);
    if (f.error != ERROR_SUCCESS) fail(name, f.error);
    std::wstring real(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetFinalPathNameByHandleW(f.file.get(), real.data(), static_cast<DWORD>(real.size()),
                                                    FILE_NAME_NORMALIZED);
        if (n == 0) fail(name, ::GetLastError());
        if (n < real.size()) {
            real.resize(n);
            return fs::path(real);
        }
        real.resize(n);
    }
}

// Checks what is at the final name now: nothing, or a regular file we may
// write. Returns its attributes, or INVALID_FILE_ATTRIBUTES when there is none.
DWORD checkTarget(const fs::path& real, const std::string& name) {
    const fs::path file = real.filename();
    if (file.empty() || file == L"." || file == L"..") fail(name, ERROR_DIRECTORY);
    const DWORD attributes = ::GetFileAttributesW(real.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD err = ::GetLastError();
        if (err == ERROR_FILE_NOT_FOUND) return INVALID_FILE_ATTRIBUTES;
        fail(name, err);
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) fail(name, ERROR_DIRECTORY);
    // A rename would replace a file its owner made read-only: refuse it, as a
    // read-only table is refused.
    if (attributes & FILE_ATTRIBUTE_READONLY) fail(name, ERROR_ACCESS_DENIED);
    OpenedFile f = openRegularFile(real, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, OPEN_EXISTING);
    if (f.error != ERROR_SUCCESS) fail(name, f.error);
    return attributes;
}

void createTemporary(Replacement& r, DWORD attributes, const std::string& name) {
    const fs::path folder = r.finalPath.has_parent_path() ? r.finalPath.parent_path() : fs::path(".");
    const DWORD kept = attributes == INVALID_FILE_ATTRIBUTES ? 0 : attributes & kKeptAttributes;
    std::random_device rd;
    for (int attempt = 0; attempt < 100; ++attempt) {
        fs::path temp = folder / widen(temporaryName(static_cast<std::uint32_t>(rd())));
        // Registered before it exists: a clean-up that comes while the file is
        // being created, or just after, still finds it.
        RegisteredTemporary registered(temp.wstring());
        r.file.reset(::CreateFileW(temp.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                   CREATE_NEW, kept != 0 ? kept : FILE_ATTRIBUTE_NORMAL, nullptr));
        if (r.file) {
            r.tempPath = std::move(temp);
            r.registered = std::move(registered);
            return;
        }
        const DWORD err = ::GetLastError();
        if (err != ERROR_FILE_EXISTS && err != ERROR_ALREADY_EXISTS) fail(name, err);
    }
    fail(name, ERROR_FILE_EXISTS);
}

// The whole content of an open file, read by offsets: its position stays
// where it was, for writes that go on after.
ByteBuffer readWhole(HANDLE file, const std::string& name) {
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file, &size))
        throw Error(FileError::Unreadable, {.file = name, .cause = describeWindowsError(::GetLastError())});
    ByteBuffer bytes;
    try {
        bytes.grow(static_cast<std::size_t>(size.QuadPart));  // not cleared: the reads fill it
    } catch (const std::bad_alloc&) {
        throw Error(FileError::Unreadable, {.file = name, .cause = describeSystemError(ENOMEM)});
    }
    const LARGE_INTEGER zero{};
    LARGE_INTEGER position{};
    const bool positioned = ::SetFilePointerEx(file, zero, &position, FILE_CURRENT);
    for (std::size_t done = 0; done < bytes.size();) {
        const std::size_t left = bytes.size() - done;
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(done & 0xFFFFFFFFu);
        at.OffsetHigh = static_cast<DWORD>(static_cast<std::uint64_t>(done) >> 32);
        DWORD got = 0;
        if (!::ReadFile(file, bytes.data() + done, left < kChunk ? static_cast<DWORD>(left) : kChunk, &got, &at))
            throw Error(FileError::Unreadable, {.file = name, .cause = describeWindowsError(::GetLastError())});
        if (got == 0) throw Error(FileError::Unreadable, {.file = name, .cause = describeSystemError(EIO)});
        done += got;
    }
    if (positioned) ::SetFilePointerEx(file, position, nullptr, FILE_BEGIN);
    return bytes;
}

}  // namespace

AtomicFile::AtomicFile(fs::path target)
    : target_(std::move(target)), name_(displayPath(target_)), state_(std::make_unique<Replacement>()) {
    if (isDeviceName(target_)) fail(name_, kNotRegularFile);
    state_->finalPath = followLink(target_, ::GetFileAttributesW(target_.c_str()), name_);
    const DWORD existing = checkTarget(state_->finalPath, name_);
    createTemporary(*state_, existing, name_);
}

AtomicFile::~AtomicFile() = default;

void AtomicFile::write(std::string_view bytes) {
    while (!bytes.empty()) {
        DWORD done = 0;
        const DWORD want = bytes.size() < kChunk ? static_cast<DWORD>(bytes.size()) : kChunk;
        if (!::WriteFile(state_->file.get(), bytes.data(), want, &done, nullptr)) fail(name_, ::GetLastError());
        bytes.remove_prefix(done);
    }
}

void AtomicFile::writeAt(std::uint64_t offset, std::string_view bytes) {
    // An offset of its own, as pwrite: the position later writes continue from stays where it was.
    while (!bytes.empty()) {
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(offset & 0xFFFFFFFFu);
        at.OffsetHigh = static_cast<DWORD>(offset >> 32);
        const LARGE_INTEGER zero{};
        LARGE_INTEGER position{};
        if (!::SetFilePointerEx(state_->file.get(), zero, &position, FILE_CURRENT)) fail(name_, ::GetLastError());
        DWORD done = 0;
        const DWORD want = bytes.size() < kChunk ? static_cast<DWORD>(bytes.size()) : kChunk;
        const bool written = ::WriteFile(state_->file.get(), bytes.data(), want, &done, &at);
        const DWORD err = written ? ERROR_SUCCESS : ::GetLastError();
        ::SetFilePointerEx(state_->file.get(), position, nullptr, FILE_BEGIN);
        if (!written) fail(name_, err);
        bytes.remove_prefix(done);
        offset += done;
    }
}

ByteBuffer AtomicFile::readBack() const { return readWhole(state_->file.get(), name_); }

PreparedFile AtomicFile::prepare() && {
    // The content reaches the disk before the name does.
    if (!::FlushFileBuffers(state_->file.get())) fail(name_, ::GetLastError());
    if (!::CloseHandle(state_->file.release())) fail(name_, ::GetLastError());
    return PreparedFile(target_, name_, std::move(state_));
}

void AtomicFile::commit() { std::move(*this).prepare().commit(); }

PreparedFile::PreparedFile(fs::path target, std::string name, std::unique_ptr<Replacement> state) noexcept
    : target_(std::move(target)), name_(std::move(name)), state_(std::move(state)) {}

PreparedFile::PreparedFile(PreparedFile&& other) noexcept = default;
PreparedFile& PreparedFile::operator=(PreparedFile&& other) noexcept = default;
PreparedFile::~PreparedFile() = default;

ByteBuffer PreparedFile::readBack() const {
    OpenedFile in = openRegularFile(state_->tempPath, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                    OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN);
    if (in.error != ERROR_SUCCESS)
        throw Error(FileError::Unreadable, {.file = name_, .cause = openErrorCause(in.error)});
    return readWhole(in.file.get(), name_);
}

void PreparedFile::commit() {
    if (!state_) return;  // moved from: the file it held is another object's now
    Replacement& r = *state_;
    // Windows renames over no file that is open without FILE_SHARE_DELETE:
    // the store lets go of its own holds on a table just before this, and
    // another program's brief hold is waited out.
    DWORD err = ERROR_SUCCESS;
    {
        const CleanupPause pause;
        err = moveReplacing(r.tempPath, r.finalPath);
    }
    if (err != ERROR_SUCCESS) {
        r.discard();
        fail(name_, err);
    }
    r.registered.release();
    r.tempPath.clear();
}

fs::path PreparedFile::temporaryPath() const { return state_->tempPath; }
fs::path PreparedFile::finalPath() const { return state_->finalPath; }

void PreparedFile::handOver() noexcept {
    state_->registered.release();
    state_->tempPath.clear();
}

}  // namespace tht
