// Files through the wide-character API, so that any folder name works
// ("C:\Colegio Peña\TUXA"). NTFS already ignores letter case; the lookup over
// the folder's entries stays for folders that do not.
#include <windows.h>

#include <cerrno>
#include <limits>
#include <random>

#include "platform/error.h"
#include "platform/files.h"
#include "platform/wide_text.h"

namespace tht {
namespace {

HANDLE handleOf(NativeFile f) { return reinterpret_cast<HANDLE>(f); }
NativeFile fileOf(HANDLE h) { return reinterpret_cast<NativeFile>(h); }

DWORD attributesOf(const fs::path& p) { return ::GetFileAttributesW(p.c_str()); }

bool isFolder(DWORD attributes) {
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

constexpr DWORD kChunk = 1u << 30;  // one ReadFile or WriteFile call at most

}  // namespace

bool fileExists(const fs::path& p) {
    const DWORD a = attributesOf(p);
    return a != INVALID_FILE_ATTRIBUTES && !isFolder(a);
}

bool folderExists(const fs::path& p) { return isFolder(attributesOf(p)); }

void removeFileQuietly(const fs::path& p) noexcept { ::DeleteFileW(p.c_str()); }

InputFile::InputFile(const fs::path& p) : name_(displayPath(p)) {
    if (isFolder(attributesOf(p)))
        throw Error(ErrorKind::FileUnreadable, {.file = name_, .cause = describeSystemError(EISDIR)});
    HANDLE h = ::CreateFileW(p.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        throw Error(ErrorKind::FileUnreadable, {.file = name_, .cause = describeWindowsError(::GetLastError())});
    fd_ = fileOf(h);
}

InputFile::~InputFile() {
    if (fd_ != kNoFile) ::CloseHandle(handleOf(fd_));
}

std::size_t InputFile::read(char* buf, std::size_t n) {
    DWORD got = 0;
    const DWORD want = n < kChunk ? static_cast<DWORD>(n) : kChunk;
    if (!::ReadFile(handleOf(fd_), buf, want, &got, nullptr))
        throw Error(ErrorKind::FileUnreadable, {.file = name_, .cause = describeWindowsError(::GetLastError())});
    return got;
}

AtomicFile::AtomicFile(fs::path target) : target_(std::move(target)), name_(displayPath(target_)) {
    std::random_device rd;
    const fs::path folder = target_.has_parent_path() ? target_.parent_path() : fs::path(".");
    DWORD err = ERROR_FILE_EXISTS;
    for (int attempt = 0; attempt < 100 && err == ERROR_FILE_EXISTS; ++attempt) {
        std::wstring name = L".";
        name += target_.filename().wstring();
        name += L'.';
        name += std::to_wstring(rd() % 1000000);
        name += L".tmp";
        temp_ = folder / name;
        HANDLE h = ::CreateFileW(temp_.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            fd_ = fileOf(h);
            return;
        }
        err = ::GetLastError();
    }
    fail(static_cast<int>(err));
}

AtomicFile::~AtomicFile() {
    if (fd_ != kNoFile) {
        ::CloseHandle(handleOf(fd_));
        ::DeleteFileW(temp_.c_str());
    }
}

void AtomicFile::fail(int code) {
    throw Error(ErrorKind::FileUnwritable, {.file = name_, .cause = describeWindowsError(static_cast<DWORD>(code))});
}

void AtomicFile::write(std::string_view bytes) {
    while (!bytes.empty()) {
        DWORD done = 0;
        const DWORD want = bytes.size() < kChunk ? static_cast<DWORD>(bytes.size()) : kChunk;
        if (!::WriteFile(handleOf(fd_), bytes.data(), want, &done, nullptr))
            fail(static_cast<int>(::GetLastError()));
        bytes.remove_prefix(done);
    }
}

void AtomicFile::commit() {
    // The content reaches the disk before the name does: a power cut leaves
    // the old file or the new one, never a named file with missing blocks.
    const bool flushed = ::FlushFileBuffers(handleOf(fd_));
    DWORD err = flushed ? ERROR_SUCCESS : ::GetLastError();
    if (!::CloseHandle(handleOf(fd_)) && err == ERROR_SUCCESS) err = ::GetLastError();
    fd_ = kNoFile;
    if (err == ERROR_SUCCESS &&
        !::MoveFileExW(temp_.c_str(), target_.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        err = ::GetLastError();
    if (err != ERROR_SUCCESS) {
        ::DeleteFileW(temp_.c_str());
        fail(static_cast<int>(err));
    }
}

// Windows renames over no file that is open, whatever its share mode: our
// own hold on the old table goes first.
void AtomicFile::commitReleasing(std::vector<LockedFile>& heldTarget) {
    heldTarget.clear();
    commit();
}

}  // namespace tht
