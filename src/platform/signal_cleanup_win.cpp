// The removal of live temporary files when the console ends the process:
// Ctrl-C, Ctrl-Break, the console window closed, the user logging off. The
// handler runs on a thread of its own, so a lock is enough to keep it and a
// rename apart.
#include <windows.h>

#include <map>

#include "platform/signal_cleanup_win.h"
#include "platform/temporary_files.h"

namespace tht {
namespace {

struct Registry {
    SRWLOCK lock = SRWLOCK_INIT;
    unsigned long long next = 1;
    std::map<unsigned long long, std::wstring> paths;
};

// Never destroyed: the handler may still run while the process exits.
Registry& registry() {
    static Registry* r = new Registry;
    return *r;
}

BOOL WINAPI removeLiveTemporaries(DWORD) {
    Registry& r = registry();
    ::AcquireSRWLockExclusive(&r.lock);  // kept: the process ends with it held
    // A file still open for writing is opened with FILE_SHARE_DELETE: it goes
    // when the process ends and closes it.
    for (const auto& [id, path] : r.paths) ::DeleteFileW(path.c_str());
    r.paths.clear();
    return FALSE;  // the default handler ends the process as it would have
}

}  // namespace

RegisteredTemporary::RegisteredTemporary(std::wstring path) {
    Registry& r = registry();
    ::AcquireSRWLockExclusive(&r.lock);
    id_ = r.next++;
    try {
        r.paths.emplace(id_, std::move(path));
    } catch (...) {
        id_ = 0;  // not registered: a later run's stale sweep removes it
    }
    ::ReleaseSRWLockExclusive(&r.lock);
}

RegisteredTemporary::RegisteredTemporary(RegisteredTemporary&& other) noexcept : id_(other.id_) { other.id_ = 0; }

RegisteredTemporary& RegisteredTemporary::operator=(RegisteredTemporary&& other) noexcept {
    if (this != &other) {
        release();
        id_ = other.id_;
        other.id_ = 0;
    }
    return *this;
}

void RegisteredTemporary::release() noexcept {
    if (id_ == 0) return;
    Registry& r = registry();
    ::AcquireSRWLockExclusive(&r.lock);
    r.paths.erase(id_);
    ::ReleaseSRWLockExclusive(&r.lock);
    id_ = 0;
}

CleanupPause::CleanupPause() { ::AcquireSRWLockShared(&registry().lock); }
CleanupPause::~CleanupPause() { ::ReleaseSRWLockShared(&registry().lock); }

void installSignalCleanup() { ::SetConsoleCtrlHandler(removeLiveTemporaries, TRUE); }

}  // namespace tht
