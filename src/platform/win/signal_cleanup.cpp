// The removal of live temporary files when the console ends the process:
// Ctrl-C, Ctrl-Break, the console window closed, the user logging off. The
// handler runs on a thread of its own, so a lock is enough to keep it and a
// rename apart.
#include <windows.h>

#include <map>

#include "platform/win/signal_cleanup.h"
#include "platform/temporary_files.h"

namespace tht {
namespace {

struct Registry {
    // Held by a commit while it runs, and by the handler from its start to
    // the end of the process. A lock of its own, not the registry's: the
    // commit registers and releases temporary files while it holds it, and
    // re-entrant, as a commit's own steps may hold it again.
    CRITICAL_SECTION commit;
    SRWLOCK lock = SRWLOCK_INIT;
    unsigned long long next = 1;
    std::map<unsigned long long, std::wstring> paths;
};

// Never destroyed: the handler may still run while the process exits.
Registry& registry() {
    static Registry* r = [] {
        auto* made = new Registry;
        ::InitializeCriticalSection(&made->commit);
        return made;
    }();
    return *r;
}

BOOL WINAPI removeLiveTemporaries(DWORD) {
    Registry& r = registry();
    // Both kept: the process ends with them held, so no commit starts after.
    ::EnterCriticalSection(&r.commit);  // a commit under way ends first
    ::AcquireSRWLockExclusive(&r.lock);
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

CommitHold::CommitHold() { ::EnterCriticalSection(&registry().commit); }
CommitHold::~CommitHold() { ::LeaveCriticalSection(&registry().commit); }

void installSignalCleanup() { ::SetConsoleCtrlHandler(removeLiveTemporaries, TRUE); }

}  // namespace tht
