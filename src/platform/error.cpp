#include "platform/error.h"

#include <cerrno>

#include "base/messages.h"

namespace tht {

std::string describe(FileError kind, const ErrorContext& c) {
    switch (kind) {
    case FileError::Unreadable: return msg::fileUnreadable(c.file, c.cause);
    case FileError::Unwritable: return msg::fileUnwritable(c.file, c.cause);
    case FileError::CodePageUnknown: return msg::codePageUnknown(c.value);
    }
    return msg::internalError(c.cause);
}

std::string describeSystemError(int errnum) {
    namespace cause = msg::cause;
    switch (errnum) {
    case ENOENT: return std::string(cause::kNotFound);
    case EACCES:
    case EPERM: return std::string(cause::kPermissionDenied);
    case EISDIR: return std::string(cause::kIsFolder);
    case ENOSPC: return std::string(cause::kDiskFull);
    case EFBIG: return std::string(cause::kFileTooLarge);
    case EROFS: return std::string(cause::kReadOnlyFileSystem);
    case ENOTDIR: return std::string(cause::kNotAFolder);
    case EIO: return std::string(cause::kInputOutput);
#ifdef EDQUOT
    case EDQUOT: return std::string(cause::kQuotaExceeded);
#endif
    default: return cause::systemError(errnum);
    }
}

}  // namespace tht
