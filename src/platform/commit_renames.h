#pragma once
// The file operations of a commit that replaces several files as one: each
// either done or not when the process dies, so that a journal can later
// finish the commit or undo it; and the console's stop signals held off
// while it runs.
#include <filesystem>
#include <memory>

namespace tht {

// Renames from over to, replacing to. On Windows a rename that another
// program's open handle refuses (a virus scanner or an indexer looking at a
// file just written) is tried again for a few seconds before it fails.
// Throws Error(FileError::Unwritable) naming to.
void renameReplacing(const std::filesystem::path& from, const std::filesystem::path& to);

// Afterwards aside holds file's present content, whether file still does or
// not (a second name for it where the file system allows, else a rename).
// Throws Error(FileError::Unwritable) naming file.
void keepAside(const std::filesystem::path& file, const std::filesystem::path& aside);

// Makes the renames done in folder durable; a folder that cannot be flushed
// is left as it is (Windows writes each rename through at once).
void flushFolder(const std::filesystem::path& folder) noexcept;

// While one lives, SIGINT, SIGTERM and SIGHUP (Ctrl-C, Ctrl-Break and the
// console closed on Windows) wait: one that came meanwhile takes effect as it
// goes, once the files are all old or all new again.
class StopSignalsHeld {
public:
    StopSignalsHeld();
    ~StopSignalsHeld();
    StopSignalsHeld(const StopSignalsHeld&) = delete;
    StopSignalsHeld& operator=(const StopSignalsHeld&) = delete;

private:
    struct Saved;
    std::unique_ptr<Saved> saved_;
};

}  // namespace tht
