// A commit that a run which died left at any point is finished or undone by
// the next run, never left part old, part new.
#include <gtest/gtest.h>

#include "platform/error.h"
#include "platform/files.h"
#include "store/commit_journal.h"
#include "support/temp_dir.h"

namespace tht {
namespace {

namespace fs = std::filesystem;

// Three tables; the third is new to the folder, so nothing was kept aside for it.
struct Commit {
    test::TempDir dir;
    CommitJournal journal;
    const std::vector<std::string> targets = {"ASIGT.DBF", "AULAT.DBF", "PROFT.DBF"};

    const fs::path kept = dir / "copias" / "2026-12-11 12.30.05";

    // done renames complete; with halfway, the next table is kept aside but not yet replaced.
    // A commit that keeps what it replaces puts the old tables in a set
    // folder, and moves an old index there after the renames.
    Commit(CommitJournal::Direction direction, std::size_t done, bool halfway, bool keep = false) {
        journal.direction = direction;
        if (keep) journal.kept = kept;
        const auto relative = [&](const fs::path& p) { return p.lexically_relative(dir.path()).string(); };
        for (std::size_t i = 0; i < targets.size(); ++i) {
            const bool hadOld = i < 2;
            const fs::path aside = keep ? kept / targets[i] : dir / (".tht-0000001" + std::to_string(i) + ".tmp");
            CommitJournal::Rename r{dir / (".tht-0000000" + std::to_string(i) + ".tmp"), dir / targets[i],
                                    hadOld ? aside : fs::path()};
            const bool renamed = i < done;
            const bool isAside = hadOld && (renamed || (halfway && i == done));
            if (!renamed) dir.write(r.temporary.filename().string(), "new" + std::to_string(i));
            if (isAside) dir.write(relative(r.aside), "old" + std::to_string(i));
            if (renamed) dir.write(targets[i], "new" + std::to_string(i));
            else if (hadOld && !isAside) dir.write(targets[i], "old" + std::to_string(i));
            journal.renames.push_back(std::move(r));
        }
        if (keep) {
            CommitJournal::Rename index{{}, dir / "ASIGT.MDX", kept / "ASIGT.MDX"};
            dir.write(relative(done == targets.size() && halfway ? index.aside : index.target), "index");
            journal.renames.push_back(std::move(index));
        }
        writeCommitJournal(dir.path(), journal);
    }

    std::vector<std::string> contents() const {
        std::vector<std::string> out;
        for (const std::string& t : targets) out.push_back(fs::exists(dir / t) ? test::readBytes(dir / t) : "-");
        return out;
    }
    std::size_t files() const {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()));
    }
};

TEST(CommitJournal, AnInterruptedCommitIsFinishedOrUndoneFromWhereverItStopped) {
    const std::vector<std::string> allNew = {"new0", "new1", "new2"};
    const std::vector<std::string> allOld = {"old0", "old1", "-"};
    for (auto direction : {CommitJournal::Direction::Forward, CommitJournal::Direction::Back})
        for (std::size_t done = 0; done <= 3; ++done)
            for (bool halfway : {false, true}) {
                if (halfway && done >= 2) continue;  // the third had no old table to keep aside
                SCOPED_TRACE(testing::Message() << (direction == CommitJournal::Direction::Forward ? "forward" : "back")
                                                << ", " << done << " done" << (halfway ? ", one halfway" : ""));
                Commit c(direction, done, halfway);
                const bool forward = direction == CommitJournal::Direction::Forward;
                EXPECT_EQ(recoverInterruptedCommit(c.dir.path()), forward ? Recovery::Finished : Recovery::Undone);
                EXPECT_EQ(c.contents(), forward ? allNew : allOld);
                // Nothing of ours is left: no journal, no table kept aside, no new content.
                EXPECT_EQ(c.files(), forward ? 3u : 2u);
                EXPECT_EQ(recoverInterruptedCommit(c.dir.path()), Recovery::None);
            }
}

TEST(CommitJournal, AnInterruptedCommitThatKeepsTheOldSetLeavesItWholeOrNotAtAll) {
    const std::vector<std::string> allNew = {"new0", "new1", "new2"};
    const std::vector<std::string> allOld = {"old0", "old1", "-"};
    for (auto direction : {CommitJournal::Direction::Forward, CommitJournal::Direction::Back})
        for (std::size_t done = 0; done <= 3; ++done)
            for (bool halfway : {false, true}) {
                if (halfway && done == 2) continue;  // the third had no old table to keep aside
                SCOPED_TRACE(testing::Message() << (direction == CommitJournal::Direction::Forward ? "forward" : "back")
                                                << ", " << done << " done" << (halfway ? ", one halfway" : ""));
                Commit c(direction, done, halfway, true);
                // Read back as written: the set's paths stay under the folder.
                EXPECT_EQ(readCommitJournal(c.dir.path())->kept, c.kept);
                const bool forward = direction == CommitJournal::Direction::Forward;
                EXPECT_EQ(recoverInterruptedCommit(c.dir.path()), forward ? Recovery::Finished : Recovery::Undone);
                EXPECT_EQ(c.contents(), forward ? allNew : allOld);
                if (forward) {
                    EXPECT_EQ(test::readBytes(c.kept / "ASIGT.DBF"), "old0");
                    EXPECT_EQ(test::readBytes(c.kept / "AULAT.DBF"), "old1");
                    EXPECT_EQ(test::readBytes(c.kept / "ASIGT.MDX"), "index");
                    EXPECT_FALSE(fs::exists(c.dir / "ASIGT.MDX"));
                } else {
                    EXPECT_FALSE(fs::exists(c.kept));
                    EXPECT_EQ(test::readBytes(c.dir / "ASIGT.MDX"), "index");
                }
                // Nothing else of ours: the tables, the index when undone, and the sets' folder when made.
                EXPECT_EQ(c.files() - (fs::exists(c.dir / "copias") ? 1 : 0), 3u);
                EXPECT_EQ(recoverInterruptedCommit(c.dir.path()), Recovery::None);
            }
}

TEST(CommitJournal, AJournalThatIsNotOursStopsTheRunAndIsKept) {
    test::TempDir dir;
    const fs::path journal = dir.write(std::string(kCommitJournalFile), "something else\n");
    try {
        recoverInterruptedCommit(dir.path());
        ADD_FAILURE() << "a journal not ours was read";
    } catch (const Error& e) {
        EXPECT_EQ(e.kindOf<FileError>(), FileError::Unreadable);
        EXPECT_EQ(e.context().file, displayPath(journal));
    }
    EXPECT_TRUE(fs::exists(journal));
}

}  // namespace
}  // namespace tht
