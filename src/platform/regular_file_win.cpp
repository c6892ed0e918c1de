#include "platform/regular_file_win.h"

#include <cerrno>

#include "platform/error.h"
#include "platform/wide_text.h"

namespace tht {

OpenedFile openRegularFile(const std::filesystem::path& path, DWORD access, DWORD share, DWORD disposition,
                           DWORD flags) {
    OpenedFile f;
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        f.error = ERROR_DIRECTORY;
        return f;
    }
    f.file.reset(::CreateFileW(path.c_str(), access, share, nullptr, disposition, flags, nullptr));
    if (!f.file) {
        f.error = ::GetLastError();
        return f;
    }
    if (::GetFileType(f.file.get()) != FILE_TYPE_DISK) {
        f.file.reset();
        f.error = kNotRegularFile;
    }
    return f;
}

std::string openErrorCause(DWORD error) {
    if (error == kNotRegularFile) return notRegularFileCause();
    if (error == ERROR_DIRECTORY) return describeSystemError(EISDIR);
    return describeWindowsError(error);
}

}  // namespace tht
