#include <gtest/gtest.h>
#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <chrono>
#include <optional>

#include "platform/files.h"
#include "platform/atomic_file.h"
#include "platform/temporary_files.h"
#include "support/temp_dir.h"

namespace tht {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

std::vector<std::string> entries(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(TemporaryFiles, NamesAreShortAndUnmistakable) {
    EXPECT_EQ(temporaryName(0xdeadbeef), ".tht-deadbeef.tmp");
    EXPECT_EQ(temporaryName(0), ".tht-00000000.tmp");
    EXPECT_TRUE(isTemporaryName(temporaryName(0x1234abcd)));
    for (const char* other : {".tht-1234567.tmp", ".tht-123456789.tmp", ".tht-1234567g.tmp", ".tht-1234ABCD.tmp",
                              "tht-12345678.tmp", ".tht-12345678.tmpx", ".AULAT.DBF.123456.tmp", "AULAT.DBF"})
        EXPECT_FALSE(isTemporaryName(other)) << other;
}

TEST(TemporaryFiles, StaleSweepRemovesOnlyOldFilesOfOurs) {
    test::TempDir dir;
    const auto now = std::chrono::system_clock::now();
    const auto age = [&](const fs::path& p, std::chrono::seconds ago) {
#ifdef _WIN32  // the C runtime sets no folder's time: the handle of either does
        const auto t = (now - ago).time_since_epoch();  // from 1970; FILETIME counts from 1601
        const auto ticks = std::chrono::duration_cast<std::chrono::duration<long long, std::ratio<1, 10000000>>>(t);
        const long long since1601 = ticks.count() + 116444736000000000LL;
        const FILETIME time{static_cast<DWORD>(since1601), static_cast<DWORD>(since1601 >> 32)};
        HANDLE h = ::CreateFileW(p.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                 OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        EXPECT_TRUE(::SetFileTime(h, nullptr, nullptr, &time));
        ::CloseHandle(h);
#else
        fs::last_write_time(p, std::chrono::file_clock::from_sys(now - ago));
#endif
    };
    age(dir.write(".tht-0000000a.tmp", "dead run"), 3600s);
    dir.write(".tht-0000000b.tmp", "live run");
    age(dir.write(".AULAT.DBF.123456.tmp", "not named as ours"), 3600s);
    age(dir.write(".tht-0000000c.tmpx", "not named as ours"), 3600s);
    age(dir.write("AULAT.DBF", "a table"), 3600s);
    fs::create_directory(dir / ".tht-0000000d.tmp");
    age(dir / ".tht-0000000d.tmp", 3600s);
#ifdef _WIN32  // links need a privilege on Windows: a file stands for the link there
    age(dir.write(".tht-0000000e.tmp", "stands for a link"), 3600s);
    std::vector<std::string> kept{".AULAT.DBF.123456.tmp", ".tht-0000000b.tmp", ".tht-0000000c.tmpx",
                                  ".tht-0000000d.tmp", "AULAT.DBF"};
    EXPECT_EQ(removeStaleTemporaries(dir.path(), now - 60s), 2u);
#else
    // A link of that name is not ours (the link's time is what counts, set below).
    fs::create_symlink("AULAT.DBF", dir / ".tht-0000000e.tmp");
    const auto t = std::chrono::system_clock::to_time_t(now - 3600s);
    const struct timespec times[2] = {{t, 0}, {t, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, (dir / ".tht-0000000e.tmp").c_str(), times, AT_SYMLINK_NOFOLLOW), 0);
    std::vector<std::string> kept{".AULAT.DBF.123456.tmp", ".tht-0000000b.tmp", ".tht-0000000c.tmpx",
                                  ".tht-0000000d.tmp", ".tht-0000000e.tmp", "AULAT.DBF"};
    EXPECT_EQ(removeStaleTemporaries(dir.path(), now - 60s), 1u);
#endif
    EXPECT_EQ(entries(dir.path()), kept);
    // Without a time: those from before this process started.
    age(dir.write(".tht-0000000f.tmp", "dead run"), 3600s);
    EXPECT_EQ(removeStaleTemporaries(dir.path()), 1u);
    EXPECT_TRUE(fs::exists(dir / ".tht-0000000b.tmp"));
    EXPECT_EQ(removeStaleTemporaries(dir / "missing"), 0u);
}

#ifndef _WIN32  // Windows has no signals; its console handler has no test here
TEST(TemporaryFiles, ASignalRemovesLiveTemporariesAndStillEndsTheProcess) {
    const struct {
        int signal;
        bool ignoredAtStart;  // as under nohup: the process goes on
        bool prepared;        // the temporary is complete, waiting for commit
    } cases[] = {
        {SIGTERM, false, false}, {SIGINT, false, false}, {SIGHUP, false, false},
        {SIGTERM, false, true},  {SIGHUP, true, false},
    };
    for (const auto& c : cases) {
        test::TempDir dir;
        const auto target = dir.write("AULAT.DBF", "old");
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            int code = 8;
            {
                if (c.ignoredAtStart) ::signal(c.signal, SIG_IGN);
                installSignalCleanup();
                AtomicFile writing(target);
                writing.write("new");
                AtomicFile other(dir / "PROFT.DBF");
                std::optional<PreparedFile> prepared;
                if (c.prepared) prepared.emplace(std::move(writing).prepare());
                ::raise(c.signal);
                if (entries(dir.path()).size() == 3) code = 7;  // ignored: both still there
            }
            ::_exit(code);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        if (c.ignoredAtStart) {
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 7) << status;
        } else {
            EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == c.signal) << c.signal << " " << status;
        }
        EXPECT_EQ(entries(dir.path()), std::vector<std::string>{"AULAT.DBF"}) << c.signal;
        EXPECT_EQ(test::readBytes(target), "old");
    }
}
#endif

}  // namespace
}  // namespace tht
