// Removal of live temporary files when SIGINT, SIGTERM or SIGHUP ends the
// process.
//
// This is process-wide state by necessity: a signal handler can reach nothing
// else. It is kept to a fixed table of places written before the handler may
// read them; the handler only loads atomics and calls unlinkat and raise,
// which are safe in a handler (no allocation, no lock, no path building).
#include "platform/posix/signal_cleanup.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <utility>

#include "platform/temporary_files.h"

namespace tht {
namespace {

constexpr int kFree = -1;
constexpr int kClaimed = -2;  // taken, its name being written

struct Place {
    std::atomic<int> folder{kFree};  // the folder's descriptor once the name is complete
    char name[kTemporaryNameLength + 1] = {};
};
static_assert(std::atomic<int>::is_always_lock_free);

// A run holds a handful of temporaries at once (the six tables of an export,
// the timetable, the settings file); beyond this a temporary is left to the
// stale sweep of the next run.
constexpr int kPlaces = 64;
Place places[kPlaces];

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

extern "C" void removeLiveTemporaries(int signal) {
    const int saved = errno;
    for (Place& p : places) {
        const int folder = p.folder.load(std::memory_order_acquire);
        if (folder >= 0) ::unlinkat(folder, p.name, 0);
    }
    errno = saved;
    // The handler was installed with SA_RESETHAND: the signal, blocked while
    // we are here, ends the process with its default action once we return.
    ::raise(signal);
}

}  // namespace

RegisteredTemporary::RegisteredTemporary(int folderFd, const char* name) noexcept {
    if (std::strlen(name) > kTemporaryNameLength) return;
    for (int i = 0; i < kPlaces; ++i) {
        int expected = kFree;
        if (!places[i].folder.compare_exchange_strong(expected, kClaimed, std::memory_order_acquire)) continue;
        std::strcpy(places[i].name, name);
        places[i].folder.store(folderFd, std::memory_order_release);
        slot_ = i;
        return;
    }
}

RegisteredTemporary::RegisteredTemporary(RegisteredTemporary&& other) noexcept
    : slot_(std::exchange(other.slot_, -1)) {}

RegisteredTemporary& RegisteredTemporary::operator=(RegisteredTemporary&& other) noexcept {
    if (this != &other) {
        release();
        slot_ = std::exchange(other.slot_, -1);
    }
    return *this;
}

void RegisteredTemporary::release() noexcept {
    if (slot_ < 0) return;
    places[slot_].folder.store(kFree, std::memory_order_release);
    slot_ = -1;
}

void installSignalCleanup() {
    struct sigaction action {};
    action.sa_handler = removeLiveTemporaries;
    action.sa_flags = SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    for (int s : kSignals) sigaddset(&action.sa_mask, s);
    for (int s : kSignals) {
        struct sigaction current {};
        if (::sigaction(s, nullptr, &current) == 0 && current.sa_handler == SIG_IGN) continue;
        ::sigaction(s, &action, nullptr);
    }
}

}  // namespace tht
