#include "store/commit_journal.h"

#include <cerrno>
#include <sstream>
#include <string_view>

#include "base/messages.h"
#include "platform/atomic_file.h"
#include "platform/commit_renames.h"
#include "platform/error.h"
#include "platform/files.h"
#include "platform/temporary_files.h"
#include "store/kept_sets.h"

namespace tht {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kHeading = "transhoralotuxa commit";
constexpr std::string_view kForward = "forward";
constexpr std::string_view kBack = "back";
constexpr std::string_view kKept = "kept\t";

// "x/" as "x", so that a file's parent compares equal to the folder it is in.
fs::path plainFolder(const fs::path& folder) { return folder.has_filename() ? folder : folder.parent_path(); }

fs::path journalPath(const fs::path& folder) { return folder / std::string(kCommitJournalFile); }

// Names in the folder stay names (and paths under it, the kept set's, stay
// relative), so the journal still holds if the folder is moved or reached by
// another path; a table that was a link elsewhere is named by its full path.
std::string written(const fs::path& given, const fs::path& p) {
    const fs::path folder = plainFolder(given);
    std::string text = displayPath(p);
    fs::path relative = p.filename();
    fs::path parent = p.parent_path();
    for (int depth = 0; depth < 4 && !parent.empty(); ++depth) {
        if (parent == folder) {
            text = displayPath(relative);
            break;
        }
        if (parent == parent.parent_path()) break;
        relative = parent.filename() / relative;
        parent = parent.parent_path();
    }
    if (text.find_first_of("\t\r\n") != std::string::npos)
        throw Error(FileError::Unwritable, {.file = displayPath(p), .cause = describeSystemError(EINVAL)});
    return text;
}

fs::path read(const fs::path& folder, std::string_view text) {
    if (text.empty()) return {};
    const fs::path p = pathFromUtf8(text);
    return p.is_absolute() ? p : folder / p;
}

[[noreturn]] void damaged(const fs::path& folder) {
    throw Error(FileError::Unreadable,
                {.file = displayPath(journalPath(folder)), .cause = std::string(msg::cause::kNotOurJournal)});
}

// Back in the order the renames were done, each from where it stands: the
// new content returns under its temporary name, then the old takes its name.
void putBack(const CommitJournal& journal) {
    for (auto it = journal.renames.rbegin(); it != journal.renames.rend(); ++it) {
        if (!it->temporary.empty() && !fileExists(it->temporary) && fileExists(it->target))
            renameReplacing(it->target, it->temporary);
        if (!it->aside.empty() && fileExists(it->aside)) renameReplacing(it->aside, it->target);
        // A second name of the same file is left where a rename finds nothing to do.
        if (!it->aside.empty()) removeFileQuietly(it->aside);
    }
}

}  // namespace

std::vector<fs::path> CommitJournal::files() const {
    std::vector<fs::path> all;
    for (const Rename& r : renames) {
        if (!r.temporary.empty()) all.push_back(r.temporary);
        if (!r.aside.empty()) all.push_back(r.aside);
    }
    return all;
}

void writeCommitJournal(const fs::path& folder, const CommitJournal& journal) {
    std::string text(kHeading);
    text += '\n';
    text += journal.direction == CommitJournal::Direction::Forward ? kForward : kBack;
    text += '\n';
    if (!journal.kept.empty()) text += std::string(kKept) + written(folder, journal.kept) + '\n';
    for (const CommitJournal::Rename& r : journal.renames) {
        text += written(folder, r.temporary) + '\t' + written(folder, r.target) + '\t';
        if (!r.aside.empty()) text += written(folder, r.aside);
        text += '\n';
    }
    AtomicFile out(journalPath(folder));
    out.write(text);
    out.commit();  // on the disk, and its name too, before it returns
}

std::optional<CommitJournal> readCommitJournal(const fs::path& folder) {
    const fs::path path = journalPath(folder);
    if (!fileExists(path)) return std::nullopt;
    std::istringstream in(readFileBytes(path));
    std::string line;
    if (!std::getline(in, line) || line != kHeading) damaged(folder);
    CommitJournal journal;
    if (!std::getline(in, line) || (line != kForward && line != kBack)) damaged(folder);
    journal.direction = line == kForward ? CommitJournal::Direction::Forward : CommitJournal::Direction::Back;
    while (std::getline(in, line)) {
        if (line.starts_with(kKept) && journal.renames.empty() && journal.kept.empty()) {
            journal.kept = read(folder, std::string_view(line).substr(kKept.size()));
            if (journal.kept.empty()) damaged(folder);
            continue;
        }
        const auto first = line.find('\t');
        const auto second = first == line.npos ? line.npos : line.find('\t', first + 1);
        // A target only going aside has no new content, but has its aside.
        if (second == line.npos || second == first + 1 || (first == 0 && second + 1 == line.size()))
            damaged(folder);
        const std::string_view view(line);
        journal.renames.push_back({read(folder, view.substr(0, first)),
                                   read(folder, view.substr(first + 1, second - first - 1)),
                                   read(folder, view.substr(second + 1))});
    }
    return journal;
}

void finishCommit(const fs::path& folder, CommitJournal journal) {
    try {
        if (!journal.kept.empty()) {
            std::error_code ec;
            fs::create_directories(journal.kept, ec);
            if (ec)
                throw Error(FileError::Unwritable, {.file = displayPath(journal.kept),
                                                    .cause = describeSystemError(ec.default_error_condition().value())});
        }
        for (const CommitJournal::Rename& r : journal.renames) {
            if (r.temporary.empty()) {
                if (fileExists(r.target) && !fileExists(r.aside)) renameReplacing(r.target, r.aside);
                continue;
            }
            if (!fileExists(r.temporary)) continue;  // renamed already
            if (!r.aside.empty() && !fileExists(r.aside) && fileExists(r.target)) keepAside(r.target, r.aside);
            renameReplacing(r.temporary, r.target);
        }
    } catch (const Error&) {
        // Told first, so a run that dies while undoing is undone by the next one.
        try {
            journal.direction = CommitJournal::Direction::Back;
            writeCommitJournal(folder, journal);
            undoCommit(folder, std::move(journal));
        } catch (const Error&) {
            // The journal stays: the next run finishes or undoes the commit.
        }
        throw;
    }
    flushFolder(folder);
    if (!journal.kept.empty()) flushFolder(journal.kept);
    for (const CommitJournal::Rename& r : journal.renames)
        if (!r.aside.empty() && (journal.kept.empty() || r.aside.parent_path() != journal.kept))
            removeFileQuietly(r.aside);
    removeFileQuietly(journalPath(folder));
}

void undoCommit(const fs::path& folder, CommitJournal journal) {
    putBack(journal);
    flushFolder(folder);
    // The journal goes before the new content: a journal without it would
    // read as a commit done, and be undone again over the old tables.
    removeFileQuietly(journalPath(folder));
    for (const CommitJournal::Rename& r : journal.renames)
        if (!r.temporary.empty()) removeFileQuietly(r.temporary);
    if (!journal.kept.empty()) {
        std::error_code ec;
        fs::remove(journal.kept, ec);  // only when empty: a set's files are never removed here
    }
}

Recovery recoverInterruptedCommit(const fs::path& folder) {
    std::optional<CommitJournal> journal = readCommitJournal(folder);
    if (!journal) return Recovery::None;
    if (journal->direction == CommitJournal::Direction::Back) {
        undoCommit(folder, std::move(*journal));
        return Recovery::Undone;
    }
    try {
        finishCommit(folder, std::move(*journal));
    } catch (const Error&) {
        // finishCommit undid it; if even that failed, the journal says so.
        if (fileExists(journalPath(folder))) throw;
        return Recovery::Undone;
    }
    return Recovery::Finished;
}

}  // namespace tht

namespace tht {

fs::path commitFiles(const fs::path& given, std::vector<PreparedFile*> files, const Keeping* keeping) {
    if (files.empty()) return {};
    const fs::path folder = plainFolder(given);
    CommitJournal journal;
    const fs::path set = keeping ? newKeptSetFolder(folder, keeping->when) : fs::path();
    bool keepsAny = false;
    for (PreparedFile* file : files) {
        CommitJournal::Rename r{file->temporaryPath(), file->finalPath(), {}};
        if (fileExists(r.target)) {
            // A target that is a link elsewhere keeps its old content beside it, as before.
            const bool kept = keeping && r.target.parent_path() == folder;
            r.aside = kept ? set / r.target.filename() : r.target.parent_path() / unusedTemporaryName(r.target.parent_path());
            keepsAny = keepsAny || kept;
        }
        journal.renames.push_back(std::move(r));
    }
    if (keeping) {
        const auto goesAside = [&](const fs::path& p) {
            if (!fileExists(p)) return false;
            for (const CommitJournal::Rename& r : journal.renames)
                if (r.target == p || r.aside == set / p.filename()) return false;
            journal.renames.push_back({{}, p, set / p.filename()});
            return true;
        };
        for (const fs::path& p : keeping->alsoKept) keepsAny = goesAside(p) || keepsAny;
        if (keepsAny) {
            for (const fs::path& p : keeping->companions) goesAside(p);
            journal.kept = set;
        }
    }
    {
        // A signal now would remove new files the journal names as complete.
        const StopSignalsHeld held;
        try {
            writeCommitJournal(folder, journal);
        } catch (const Error&) {
            removeFileQuietly(journalPath(folder));  // no rename was done
            throw;
        }
        for (PreparedFile* file : files) file->handOver();  // the journal's now
        finishCommit(folder, journal);
    }
    if (journal.kept.empty()) return {};
    pruneKeptSets(folder, journal.kept);
    return journal.kept;
}

}  // namespace tht
