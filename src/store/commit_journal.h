#pragma once
// The journal of a commit that replaces several tables as one. It is on the
// disk before the first rename and names every rename of the commit, and the
// name each old table is kept under until the commit is through; so a run
// that died midway (killed, a power cut) leaves enough for the next run to
// finish the commit or undo it, and the set of tables is never part old,
// part new.
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/clock.h"

namespace tht {

// Kept in Horalina's data folder, beside the lock file.
inline constexpr std::string_view kCommitJournalFile = ".transhoralotuxa.journal";

struct CommitJournal {
    struct Rename {
        // the new content, until it takes its name; empty: nothing replaces
        // the target, which only goes aside (an old index kept with its table)
        std::filesystem::path temporary;
        std::filesystem::path target;
        std::filesystem::path aside;      // the old content meanwhile; empty when there was none
    };
    enum class Direction { Forward, Back };

    Direction direction = Direction::Forward;
    std::vector<Rename> renames;
    // The set folder the old content is kept in once the commit is through
    // (see kept_sets.h); the asides in it stay there. Empty: nothing is kept.
    std::filesystem::path kept{};

    // Every file the journal names: none of them is a stale temporary.
    std::vector<std::filesystem::path> files() const;
};

// Writes the journal to the disk, replacing any. Throws Error(FileError::Unwritable).
void writeCommitJournal(const std::filesystem::path& folder, const CommitJournal& journal);
// The journal left in folder, if any. Throws Error(FileError::Unreadable)
// when it cannot be read or is not ours.
std::optional<CommitJournal> readCommitJournal(const std::filesystem::path& folder);

// Carries out the journal's renames from where they stand, then flushes the
// folder, removes the old tables kept aside (but those of the kept set) and
// the journal. When a rename
// fails, every rename is undone and the error thrown.
void finishCommit(const std::filesystem::path& folder, CommitJournal journal);
// Puts every old table back and removes the new content, the journal and
// the kept set's folder when nothing is left in it.
void undoCommit(const std::filesystem::path& folder, CommitJournal journal);

// What a run found of a commit that an earlier run left unfinished.
enum class Recovery { None, Finished, Undone };
// Called by every run once it holds the folder's lock, before anything else
// there. A journal going forward is finished (every new table is complete
// on the disk before the journal is written), one being undone is undone.
// Throws Error when that fails: the journal stays for the next run.
Recovery recoverInterruptedCommit(const std::filesystem::path& folder);

}  // namespace tht

namespace tht {

class PreparedFile;

// What a commit keeps of the files it replaces (see kept_sets.h).
struct Keeping {
    LocalDateTime when;  // names the set
    // Files of the folder that go into the set although nothing replaces
    // them: an old index, another spelling of a replaced name.
    std::vector<std::filesystem::path> alsoKept{};
    // Files that go with a set when there is one (the report that described
    // it), but make none on their own.
    std::vector<std::filesystem::path> companions{};
};

// The prepared files take their names together, as one commit journaled in
// folder. With keeping, what they replace is moved into a new kept set, the
// oldest sets beyond the limit are removed, and the set's folder is returned;
// empty when nothing was replaced (and without keeping). Throws
// Error(FileError::Unwritable) when the commit fails: it is then undone.
std::filesystem::path commitFiles(const std::filesystem::path& folder, std::vector<PreparedFile*> files,
                                  const Keeping* keeping = nullptr);

}  // namespace tht
