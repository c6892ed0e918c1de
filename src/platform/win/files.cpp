// Files through the wide-character API, so that any folder name works
// ("C:\Colegio Peña\TUXA"). NTFS already ignores letter case; the lookup over
// the folder's entries stays for folders that do not.
#include <windows.h>

#include <cerrno>
#include <limits>

#include "platform/error.h"
#include "platform/files.h"
#include "platform/win/regular_file.h"
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
    OpenedFile f = openRegularFile(p, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                   OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN);
    LARGE_INTEGER size{};
    if (f.error == ERROR_SUCCESS && !::GetFileSizeEx(f.file.get(), &size)) f.error = ::GetLastError();
    if (f.error != ERROR_SUCCESS) throw Error(FileError::Unreadable, {.file = name_, .cause = openErrorCause(f.error)});
    fd_ = fileOf(f.file.release());
    size_ = left_ = static_cast<std::uint64_t>(size.QuadPart);
}

InputFile::~InputFile() {
    if (fd_ != kNoFile) ::CloseHandle(handleOf(fd_));
}

std::size_t InputFile::read(char* buf, std::size_t n) {
    if (n > left_) n = static_cast<std::size_t>(left_);
    if (n == 0) return 0;
    DWORD got = 0;
    const DWORD want = n < kChunk ? static_cast<DWORD>(n) : kChunk;
    if (!::ReadFile(handleOf(fd_), buf, want, &got, nullptr))
        throw Error(FileError::Unreadable, {.file = name_, .cause = describeWindowsError(::GetLastError())});
    left_ -= got;
    return got;
}

}  // namespace tht
