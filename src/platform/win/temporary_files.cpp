// The sweep of temporary files that a run which died (killed, or a power cut)
// left behind.
#include <windows.h>

#include <memory>

#include "platform/temporary_files.h"
#include "platform/wide_text.h"

namespace tht {
namespace {

using SystemTime = std::chrono::system_clock::time_point;

// FILETIME counts 100 ns from 1601; the system clock counts from 1970.
SystemTime toSystemTime(const FILETIME& t) {
    constexpr long long kFrom1601To1970 = 116444736000000000LL;
    const long long ticks = (static_cast<long long>(t.dwHighDateTime) << 32 | t.dwLowDateTime) - kFrom1601To1970;
    return SystemTime(std::chrono::duration_cast<std::chrono::system_clock::duration>(
        std::chrono::duration<long long, std::ratio<1, 10000000>>(ticks)));
}

// When this process started; when the system does not tell, the earliest
// time, so that nothing is removed.
SystemTime processStart() {
    FILETIME created{}, exited{}, kernel{}, user{};
    if (!::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user)) return SystemTime::min();
    return toSystemTime(created);
}

}  // namespace

std::size_t removeStaleTemporaries(const std::filesystem::path& folder, SystemTime changedBefore) {
    WIN32_FIND_DATAW entry{};
    HANDLE found = ::FindFirstFileExW((folder / L".tht-*.tmp").c_str(), FindExInfoBasic, &entry,
                                      FindExSearchNameMatch, nullptr, 0);
    if (found == INVALID_HANDLE_VALUE) return 0;
    const std::unique_ptr<void, BOOL (*)(HANDLE)> listing(found, ::FindClose);
    std::size_t removed = 0;
    do {
        if (!isTemporaryName(narrow(entry.cFileName))) continue;
        if (entry.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) continue;
        if (toSystemTime(entry.ftLastWriteTime) >= changedBefore) continue;
        if (::DeleteFileW((folder / entry.cFileName).c_str())) ++removed;
    } while (::FindNextFileW(listing.get(), &entry));
    return removed;
}

std::size_t removeStaleTemporaries(const std::filesystem::path& folder) {
    return removeStaleTemporaries(folder, processStart());
}

}  // namespace tht
