#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <cerrno>
#include <fstream>
#include <functional>
#include <vector>

#include "platform/error.h"
#include "platform/atomic_file.h"
#include "platform/files.h"
#include "platform/locked_file.h"
#include "support/temp_dir.h"

namespace tht {
namespace {

namespace fs = std::filesystem;

TEST(Files, PresenceTestsTellFilesFromFolders) {
    test::TempDir dir;
    dir.write("a.txt", "x");
    std::filesystem::create_directory(dir / "sub");
    EXPECT_TRUE(fileExists(dir / "a.txt"));
    EXPECT_FALSE(fileExists(dir / "sub"));
    EXPECT_FALSE(fileExists(dir / "none"));
    EXPECT_TRUE(folderExists(dir / "sub"));
    EXPECT_FALSE(folderExists(dir / "a.txt"));
    EXPECT_FALSE(folderExists(dir / "none"));
#ifndef _WIN32  // links to folders need a privilege on Windows
    std::filesystem::create_directory_symlink(dir / "sub", dir / "link");
    EXPECT_TRUE(folderExists(dir / "link"));
#endif
}

TEST(Files, LookupIgnoresCaseButPrefersTheExactName) {
    test::TempDir dir;
    dir.write("TUXA_PROF.TXT", "upper");
    EXPECT_EQ(findEntry(dir.path(), "other.txt"), std::nullopt);
    EXPECT_EQ(resolveEntry(dir.path(), "other.txt"), dir / "other.txt");
#ifdef _WIN32
    // The file system ignores case itself: the name as asked reaches the file.
    EXPECT_EQ(findEntry(dir.path(), "tuxa_prof.txt"), dir / "tuxa_prof.txt");
    EXPECT_EQ(test::readBytes(dir / "tuxa_prof.txt"), "upper");
    EXPECT_EQ(findCaseVariants(dir.path(), "Tuxa_Prof.Txt"), std::vector{dir / "TUXA_PROF.TXT"});
#else
    EXPECT_EQ(findEntry(dir.path(), "tuxa_prof.txt"), dir / "TUXA_PROF.TXT");
    dir.write("tuxa_prof.txt", "lower");
    EXPECT_EQ(findEntry(dir.path(), "tuxa_prof.txt"), dir / "tuxa_prof.txt");
    EXPECT_EQ(findCaseVariants(dir.path(), "Tuxa_Prof.Txt").size(), 2u);
#endif
}

TEST(Files, AtomicFileReplacesOnlyOnCommit) {
    test::TempDir dir;
    const auto target = dir.write("out.txt", "old");
    {
        AtomicFile f(target);
        f.write("new");
    }
    EXPECT_EQ(test::readBytes(target), "old");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
    {
        AtomicFile f(target);
        f.write("new");
        f.commit();
    }
    EXPECT_EQ(test::readBytes(target), "new");
}

TEST(Files, AtomicFileInAFolderWeCannotWriteIsAnError) {
#ifdef _WIN32
    GTEST_SKIP() << "folder permissions are POSIX modes here; Windows has access lists";
#else
    if (geteuid() == 0) GTEST_SKIP() << "needs a user other than root: root writes in any folder";
#endif
    test::TempDir dir;
    std::filesystem::permissions(dir.path(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    EXPECT_THROW(AtomicFile(dir / "x"), Error);
}

TEST(ByteBuffer, GrowsKeepingItsBytes) {
    ByteBuffer b("head");
    std::string expected = "head";
    for (int i = 0; i < 20000; ++i) {  // past several doublings and the large-page size
        const std::string piece = std::to_string(i) + std::string(97, char('a' + i % 26));
        b.append(piece);
        expected += piece;
    }
    EXPECT_EQ(std::string_view(b), expected);
    b.resize(3);
    b.resize(5);
    EXPECT_EQ(std::string_view(b), std::string_view("hea\0\0", 5));
    ByteBuffer moved = std::move(b);
    EXPECT_EQ(moved.size(), 5u);
    EXPECT_TRUE(b.empty());
}

TEST(Files, ExclusiveLockKeepsOutASecondOpen) {
    test::TempDir dir;
    const auto p = dir.write("T.DBF", "x");
    auto first = LockedFile::open(p, LockedFile::Mode::Exclusive);
    ASSERT_TRUE(first);
    EXPECT_FALSE(LockedFile::open(p, LockedFile::Mode::Exclusive));
    EXPECT_FALSE(LockedFile::open(p, LockedFile::Mode::Shared));
    first.reset();
    auto shared1 = LockedFile::open(p, LockedFile::Mode::Shared);
    auto shared2 = LockedFile::open(p, LockedFile::Mode::Shared);
    EXPECT_TRUE(shared1 && shared2);
    EXPECT_EQ(std::string_view(shared1->readAll()), "x");
}

TEST(Files, OnlyRegularFilesAreOpenedAndNoneIsWaitedFor) {
#ifndef _WIN32
    ::alarm(60);  // an open that waits for a FIFO's writer would hang the suite: end it instead
#endif
    test::TempDir dir;
    struct Kind {
        const char* what;
        std::function<void(const fs::path&)> make;
        std::string cause;
    };
    const std::vector<Kind> kinds = {
#ifndef _WIN32
        {"fifo", [](const fs::path& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0644), 0); }, notRegularFileCause()},
        {"zero", [](const fs::path& p) { fs::create_symlink("/dev/zero", p); }, notRegularFileCause()},
#endif
        {"folder", [](const fs::path& p) { fs::create_directory(p); }, describeSystemError(EISDIR)},
    };
    const struct {
        const char* what;
        std::function<void(const fs::path&)> open;
    } opens[] = {
        {"InputFile", [](const fs::path& p) { InputFile f(p); }},
        {"readFileBytes", [](const fs::path& p) { readFileBytes(p); }},
        {"shared lock", [](const fs::path& p) { LockedFile::open(p, LockedFile::Mode::Shared); }},
        {"exclusive lock", [](const fs::path& p) { LockedFile::open(p, LockedFile::Mode::Exclusive); }},
        {"lock created when missing",
         [](const fs::path& p) { LockedFile::open(p, LockedFile::Mode::Exclusive, LockedFile::IfMissing::Create); }},
        {"AtomicFile", [](const fs::path& p) { AtomicFile f(p); }},
    };
    for (const auto& kind : kinds) {
        for (const auto& open : opens) {
            const fs::path p = dir / (std::string(kind.what) + " " + open.what);
            kind.make(p);
            try {
                open.open(p);
                ADD_FAILURE() << open.what << " opened a " << kind.what;
            } catch (const Error& e) {
                EXPECT_EQ(e.context().file, displayPath(p)) << open.what << ", " << kind.what;
                EXPECT_EQ(e.context().cause, kind.cause) << open.what << ", " << kind.what;
            }
        }
    }
#ifndef _WIN32
    ::alarm(0);
#endif
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), std::ssize(kinds) * std::ssize(opens))
        << "a temporary file was left";
}

TEST(Files, AFileIsReadUpToTheSizeItHadWhenOpened) {
    test::TempDir dir;
    const auto p = dir.write("growing.txt", "12345");
    InputFile in(p);
    std::ofstream(p, std::ios::app) << "67890";
    std::string got(16, '\0');
    std::size_t n = 0;
    for (std::size_t k; (k = in.read(got.data() + n, got.size() - n)) > 0;) n += k;
    EXPECT_EQ(got.substr(0, n), "12345");
    EXPECT_EQ(readFileBytes(p), "1234567890");
}

TEST(Files, LockFileIsCreatedWhenMissingOnlyWhenAsked) {
    test::TempDir dir;
    const auto p = dir / "run.lock";
    try {
        LockedFile::open(p, LockedFile::Mode::Exclusive);
        ADD_FAILURE() << "a missing file was opened";
    } catch (const Error& e) {
        EXPECT_EQ(e.context().cause, describeSystemError(ENOENT));
    }
    EXPECT_FALSE(fs::exists(p));
    auto held = LockedFile::open(p, LockedFile::Mode::Exclusive, LockedFile::IfMissing::Create);
    ASSERT_TRUE(held);
    EXPECT_TRUE(fs::is_regular_file(p));
    EXPECT_FALSE(LockedFile::open(p, LockedFile::Mode::Shared, LockedFile::IfMissing::Create));
    held.reset();
    auto first = LockedFile::open(p, LockedFile::Mode::Shared, LockedFile::IfMissing::Create);
    auto second = LockedFile::open(p, LockedFile::Mode::Shared, LockedFile::IfMissing::Create);
    EXPECT_TRUE(first && second);
    EXPECT_FALSE(LockedFile::open(p, LockedFile::Mode::Exclusive, LockedFile::IfMissing::Create));
}

}  // namespace
}  // namespace tht
