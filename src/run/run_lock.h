#pragma once
// One run at a time on Horalina's data folder: an export holds it alone, an
// import shares it with other imports. Two exports into one folder would
// leave tables of two schools; an import beside an export would resolve codes
// against a half-made set.
#include <filesystem>
#include <optional>
#include <vector>

#include "platform/locked_file.h"
#include "run/report.h"
#include "platform/error.h"
#include "platform/files.h"
#include "store/commit_journal.h"

namespace tht {

enum class RunError {
    FolderBusy,  // file: Horalina's data folder, held by another run
    NothingKept,     // file: the kept sets' folder (or a set) with nothing to restore
    KeptSetUnknown,  // file: the kept sets' folder; value: the set's name asked for
};
std::string describe(RunError kind, const ErrorContext& c);

// The lock file we keep in the folder; it stays there between runs.
inline constexpr std::string_view kRunLockFile = ".transhoralotuxa.lock";

class RunLock {
public:
    enum class Use { Alone, Shared };
    // Holds the folder until destroyed; a folder that does not exist holds
    // nothing (no run can write there either). Throws Error(RunError::FolderBusy).
    // A commit that a run which died left unfinished there is finished or
    // undone first, whatever the use: no run reads or writes a mixed set.
    static RunLock take(const std::filesystem::path& folder, Use use);

    // What was done about such a commit, for the run's summary.
    Recovery recovered() const noexcept { return recovered_; }

private:
    explicit RunLock(std::optional<LockedFile> lock) : lock_(std::move(lock)) {}
    std::optional<LockedFile> lock_;
    Recovery recovered_ = Recovery::None;
};

struct RunContext;
// What was done about a commit a run which died left unfinished, as a warning
// of its own in the run's summary, under Horalina's data folder.
void noteRecovery(const RunContext& ctx, Recovery recovered, std::vector<TableReport>& reports);
// The same under another folder of the run (the TUXA folder, for the timetable).
void noteRecovery(const std::filesystem::path& folder, Recovery recovered, std::vector<TableReport>& reports);

}  // namespace tht
