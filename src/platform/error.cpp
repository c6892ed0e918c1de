#include "platform/error.h"

#include <cerrno>

#include "base/messages.h"

namespace tht {

std::string describe(FileError kind, const ErrorContext& c) {
    switch (kind) {
    case FileError::Unreadable: return msg::fileUnreadable(c.file, c.cause);
    case FileError::Unwritable: return msg::fileUnwritable(c.file, c.cause);
    case FileError::CodePageUnknown: return msg::codePageUnknown(c.value);
    case FileError::DataFolderUnknown: return msg::dataFolderUnknown();
    case FileError::FolderUnreadable: return msg::folderUnreadable(c.file, c.cause);
    case FileError::StateFolderUnknown: return msg::stateFolderUnknown();
    case FileError::StateFolderUncreatable: return msg::stateFolderUncreatable(c.file, c.cause);
    }
    return msg::internalError(c.cause);
}

std::string describeSystemError(int errnum) {
    namespace cause = msg::cause;
    const std::string_view text = [errnum]() -> std::string_view {
        switch (errnum) {
        case ENOENT: return cause::kNotFound;
        case EACCES:
        case EPERM: return cause::kPermissionDenied;
        case EISDIR: return cause::kIsFolder;
        case ENOSPC: return cause::kDiskFull;
        case EFBIG: return cause::kFileTooLarge;
        case EROFS: return cause::kReadOnlyFileSystem;
        case ENOTDIR: return cause::kNotAFolder;
        case EIO: return cause::kInputOutput;
#ifdef EDQUOT
        case EDQUOT: return cause::kQuotaExceeded;
#endif
        case ENAMETOOLONG: return cause::kNameTooLong;
#ifdef ELOOP
        case ELOOP: return cause::kTooManyLinks;
#endif
        case EMFILE:
        case ENFILE: return cause::kTooManyOpenFiles;
        case ENXIO:
        case ENODEV: return cause::kDeviceMissing;
        case ENOMEM: return cause::kOutOfMemory;
        case EBUSY:
#ifdef ETXTBSY
        case ETXTBSY:
#endif
            return cause::kBusy;
        case EEXIST: return cause::kExists;
        case ENOTEMPTY: return cause::kFolderNotEmpty;
        case EXDEV: return cause::kOtherFileSystem;
        case EINVAL: return cause::kInvalidOperation;
        case EAGAIN: return cause::kTryAgain;
        case EINTR: return cause::kInterrupted;
#ifdef EOVERFLOW
        case EOVERFLOW: return cause::kFileTooLarge;
#endif
#ifdef ENOLCK
        case ENOLCK: return cause::kNoLocks;
#endif
#ifdef ESTALE
        case ESTALE: return cause::kStale;
#endif
#ifdef ENOTSUP
        case ENOTSUP: return cause::kNotSupported;
#endif
#ifdef EMLINK
        case EMLINK: return cause::kTooManyHardLinks;
#endif
        case ENOSYS: return cause::kSystemNotSupported;
        case EBADF: return cause::kNotOpen;
        case EPIPE: return cause::kConnectionClosed;
        default: return {};
        }
    }();
    return text.empty() ? cause::systemError(errnum) : std::string(text);
}

std::string notRegularFileCause() { return std::string(msg::cause::kNotRegularFile); }

}  // namespace tht
