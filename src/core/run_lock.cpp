#include "core/run_lock.h"

#include "base/messages.h"

namespace tht {

std::string describe(RunError kind, const ErrorContext& c) {
    switch (kind) {
    case RunError::FolderBusy: return msg::folderBusy(c.file);
    }
    return msg::internalError(c.cause);
}

RunLock RunLock::take(const std::filesystem::path& folder, Use use) {
    if (!folderExists(folder)) return RunLock(std::nullopt);
    const auto mode = use == Use::Alone ? LockedFile::Mode::Exclusive : LockedFile::Mode::Shared;
    std::optional<LockedFile> lock;
    try {
        lock = LockedFile::open(folder / std::string(kRunLockFile), mode, LockedFile::IfMissing::Create);
    } catch (const Error&) {
        // A folder where no lock file can be made (read-only, on a CD) is one
        // no export can write to either: an import may read it as it is.
        if (use == Use::Alone) throw;
        return RunLock(std::nullopt);
    }
    if (!lock) throw Error(RunError::FolderBusy, {.file = displayPath(folder)});
    return RunLock(std::move(lock));
}

}  // namespace tht
