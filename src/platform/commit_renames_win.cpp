#include "platform/commit_renames.h"

#include <windows.h>

#include "platform/error.h"
#include "platform/files.h"
#include "platform/regular_file_win.h"
#include "platform/signal_cleanup_win.h"

namespace tht {
namespace {

// How long a rename that another program's handle refuses is tried again.
constexpr DWORD kHeldRetryMs = 5000;
constexpr DWORD kHeldStepMs = 50;

[[noreturn]] void fail(const std::filesystem::path& p, DWORD error) {
    throw Error(FileError::Unwritable, {.file = displayPath(p), .cause = openErrorCause(error)});
}

bool heldByAnother(DWORD error) {
    return error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
}

void move(const std::filesystem::path& from, const std::filesystem::path& to, const std::filesystem::path& named) {
    for (DWORD waited = 0;; waited += kHeldStepMs) {
        if (::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return;
        const DWORD err = ::GetLastError();
        if (!heldByAnother(err) || waited >= kHeldRetryMs) fail(named, err);
        ::Sleep(kHeldStepMs);
    }
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
