// The sweep of temporary files that a run which died (killed, or a power cut)
// left behind.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "platform/temporary_files.h"
#include "platform/posix/unique_fd.h"

namespace tht {
namespace {

using SystemTime = std::chrono::system_clock::time_point;

SystemTime changeTime(const struct stat& st) {
    return SystemTime(std::chrono::duration_cast<std::chrono::system_clock::duration>(
        std::chrono::seconds(st.st_mtim.tv_sec) + std::chrono::nanoseconds(st.st_mtim.tv_nsec)));
}

// When this process started, from its start in clock ticks after boot; when
// the system does not tell, the earliest time, so that nothing is removed.
SystemTime processStart() {
    std::ifstream in("/proc/self/stat");
    std::string stat((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const auto close = stat.rfind(')');
    const long ticksPerSecond = ::sysconf(_SC_CLK_TCK);
    struct timespec boot {}, real {};
    if (close == std::string::npos || ticksPerSecond <= 0 || ::clock_gettime(CLOCK_BOOTTIME, &boot) != 0 ||
        ::clock_gettime(CLOCK_REALTIME, &real) != 0)
        return SystemTime::min();
    std::istringstream fields(stat.substr(close + 1));
    std::string field;
    for (int i = 3; i <= 22 && fields >> field; ++i) {}  // field 22 is the start time
    unsigned long long ticks = 0;
    try {
        ticks = std::stoull(field);
    } catch (const std::exception&) {
        return SystemTime::min();
    }
    using namespace std::chrono;
    const auto sinceBoot = seconds(boot.tv_sec) + nanoseconds(boot.tv_nsec);
    const auto startedAfterBoot = duration_cast<nanoseconds>(duration<double>(double(ticks) / ticksPerSecond));
    const auto now = seconds(real.tv_sec) + nanoseconds(real.tv_nsec);
    return SystemTime(duration_cast<system_clock::duration>(now - (sinceBoot - startedAfterBoot)));
}

}  // namespace

std::size_t removeStaleTemporaries(const std::filesystem::path& folder, SystemTime changedBefore) {
    UniqueFd opened(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!opened) return 0;
    std::unique_ptr<DIR, int (*)(DIR*)> listing(::fdopendir(opened.get()), ::closedir);
    if (!listing) return 0;
    opened.release();  // closed with the listing
    const int dirFd = ::dirfd(listing.get());
    std::size_t removed = 0;
    while (const dirent* entry = ::readdir(listing.get())) {
        if (!isTemporaryName(entry->d_name)) continue;
        struct stat st {};
        if (::fstatat(dirFd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode)) continue;
        if (changeTime(st) >= changedBefore) continue;
        if (::unlinkat(dirFd, entry->d_name, 0) == 0) ++removed;
    }
    return removed;
}

std::size_t removeStaleTemporaries(const std::filesystem::path& folder) {
    return removeStaleTemporaries(folder, processStart());
}

}  // namespace tht
