#include "platform/commit_renames.h"

#include <windows.h>

#include "platform/error.h"
#include "platform/files.h"
#include "platform/win/regular_file.h"
#include "platform/win/signal_cleanup.h"

namespace tht {
namespace {

void move(const std::filesystem::path& from, const std::filesystem::path& to, const std::filesystem::path& named) {
    const DWORD err = moveReplacing(from, to);
    if (err != ERROR_SUCCESS)
        throw Error(FileError::Unwritable, {.file = displayPath(named), .cause = openErrorCause(err)});
}

}  // namespace

void renameReplacing(const std::filesystem::path& from, const std::filesystem::path& to) { move(from, to, to); }

void keepAside(const std::filesystem::path& file, const std::filesystem::path& aside) { move(file, aside, file); }

void flushFolder(const std::filesystem::path&) noexcept {}

// The console handler removes our temporary files and ends the process; it
// waits for this hold. Not a CleanupPause: the commit writes its journal and
// hands its files over meanwhile, which takes the registry's lock alone.
struct StopSignalsHeld::Saved {
    CommitHold hold;
};

StopSignalsHeld::StopSignalsHeld() : saved_(std::make_unique<Saved>()) {}
StopSignalsHeld::~StopSignalsHeld() = default;

}  // namespace tht
