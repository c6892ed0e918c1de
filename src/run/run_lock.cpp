#include "run/run_lock.h"

#include "base/messages.h"
#include "platform/locked_file.h"
#include "run/run_context.h"

namespace tht {

std::string describe(RunError kind, const ErrorContext& c) {
    switch (kind) {
    case RunError::FolderBusy: return msg::folderBusy(c.file);
    case RunError::NothingKept: return msg::nothingKept(c.file);
    case RunError::KeptSetUnknown: return msg::keptSetUnknown(c.value, c.file);
    }
    return msg::internalError(c.cause);
}

void noteRecovery(const RunContext& ctx, Recovery recovered, std::vector<TableReport>& reports) {
    noteRecovery(ctx.htemp, recovered, reports);
}

void noteRecovery(const std::filesystem::path& folder, Recovery recovered, std::vector<TableReport>& reports) {
    if (recovered == Recovery::None) return;
    TableReport& r = reports.emplace_back(TableReport{.table = displayPath(folder), .warningsOnly = true});
    r.warnings.emplace_back(recovered == Recovery::Finished ? msg::kInterruptedCommitFinished
                                                            : msg::kInterruptedCommitUndone);
}

RunLock RunLock::take(const std::filesystem::path& folder, Use use) {
    if (!folderExists(folder)) return RunLock(std::nullopt);
    // Only a run that holds the folder alone may finish or undo a commit:
    // one sharing it briefly takes it alone for that.
    if (use == Use::Shared && fileExists(folder / std::string(kCommitJournalFile))) {
        const Recovery recovered = take(folder, Use::Alone).recovered_;  // let go at once
        RunLock shared = take(folder, Use::Shared);
        shared.recovered_ = recovered;
        return shared;
    }
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
    RunLock taken(std::move(lock));
    if (use == Use::Alone) taken.recovered_ = recoverInterruptedCommit(folder);
    return taken;
}

}  // namespace tht
