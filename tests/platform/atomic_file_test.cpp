#include <gtest/gtest.h>
#include <limits.h>
#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <cerrno>

#include "platform/error.h"
#include "platform/atomic_file.h"
#include "platform/files.h"
#include "platform/temporary_files.h"
#include "support/temp_dir.h"

namespace tht {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> temporariesIn(const fs::path& folder) {
    std::vector<std::string> found;
    for (const auto& e : fs::directory_iterator(folder))
        if (e.path().filename().string().find("tmp") != std::string::npos) found.push_back(e.path().filename().string());
    return found;
}

#ifndef _WIN32
mode_t modeOf(const fs::path& p) {
    struct stat st {};
    EXPECT_EQ(::stat(p.c_str(), &st), 0);
    return st.st_mode & 07777;
}
#endif

TEST(AtomicFile, WritesUnderOneShortTemporaryNameInTheTargetsFolder) {
    test::TempDir dir;
    const auto target = dir.write("TUXA_HORARIO.TXT", "old");
    for (const bool commit : {false, true}) {
        AtomicFile f(target);
        f.write("new");
        const auto temps = temporariesIn(dir.path());
        ASSERT_EQ(temps.size(), 1u);
        EXPECT_TRUE(isTemporaryName(temps[0])) << temps[0];
        EXPECT_EQ(test::readBytes(dir / temps[0]), "new");
        if (commit) f.commit();
    }
    EXPECT_EQ(temporariesIn(dir.path()), std::vector<std::string>{});
    EXPECT_EQ(test::readBytes(target), "new");
}

TEST(AtomicFile, PreparedFilesTakeTheirNamesOnlyWhenCommitted) {
    test::TempDir dir;
    const auto a = dir.write("A.DBF", "old a");
    const auto b = dir.write("B.DBF", "old b");
    std::vector<PreparedFile> prepared;
    for (const auto& [target, content] : {std::pair{a, "new a"}, std::pair{b, "new b"}}) {
        AtomicFile f(target);
        f.write(content);
        prepared.push_back(std::move(f).prepare());  // moved as the vector grows
    }
    EXPECT_EQ(temporariesIn(dir.path()).size(), 2u);
    EXPECT_EQ(test::readBytes(a), "old a");
    EXPECT_EQ(prepared[0].target(), a);
    for (PreparedFile& p : prepared) p.commit();
    EXPECT_EQ(test::readBytes(a), "new a");
    EXPECT_EQ(test::readBytes(b), "new b");
    EXPECT_EQ(temporariesIn(dir.path()), std::vector<std::string>{});

    {
        AtomicFile f(a);
        f.write("abandoned");
        PreparedFile p = std::move(f).prepare();
        PreparedFile moved = std::move(p);
    }
    EXPECT_EQ(test::readBytes(a), "new a");
    EXPECT_EQ(temporariesIn(dir.path()), std::vector<std::string>{});
}

TEST(AtomicFile, ALinkIsUpdatedThroughNotReplaced) {
#ifdef _WIN32
    GTEST_SKIP() << "symbolic links need a privilege on Windows that a school's user does not have";
#endif
    test::TempDir dir;
    fs::create_directory(dir / "real");
    const struct {
        const char* what;
        std::string linkTo;  // what the link at dir/link holds
        fs::path written;    // the file that must get the new content
    } cases[] = {
        {"absolute", (dir / "real" / "a.ini").string(), dir / "real" / "a.ini"},
        {"relative", "real/b.ini", dir / "real" / "b.ini"},
        {"chain", "chained", dir / "real" / "c.ini"},
        {"dangling", "real/new.ini", dir / "real" / "new.ini"},
    };
    for (const auto& c : cases) {
        const fs::path link = dir / "link";
        fs::remove(link);
        fs::remove(dir / "chained");
        fs::create_symlink(c.linkTo, link);
        if (std::string_view(c.what) == "chain") fs::create_symlink("real/c.ini", dir / "chained");
        if (std::string_view(c.what) != "dangling") dir.write(fs::relative(c.written, dir.path()).string(), "old");
        AtomicFile f(link);
        f.write(c.what);
        f.commit();
        EXPECT_TRUE(fs::is_symlink(link)) << c.what;
        EXPECT_EQ(test::readBytes(c.written), c.what);
        EXPECT_EQ(temporariesIn(dir.path()).size() + temporariesIn(dir / "real").size(), 0u) << c.what;
    }
    fs::remove(dir / "link");
    fs::create_symlink("link", dir / "link");
    try {
        AtomicFile loop(dir / "link");
        ADD_FAILURE() << "a link to itself was written";
    } catch (const Error& e) {
        EXPECT_EQ(e.context().cause, describeSystemError(ELOOP));
    }
}

#ifdef _WIN32
TEST(AtomicFile, KeepsTheAttributesOfTheFileItReplaces) {
    test::TempDir dir;
    for (const DWORD attributes : {DWORD{FILE_ATTRIBUTE_ARCHIVE}, DWORD{FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE}}) {
        const auto target = dir.write("f", "old");
        ASSERT_TRUE(::SetFileAttributesW(target.c_str(), attributes));
        AtomicFile f(target);
        f.write("new");
        f.commit();
        EXPECT_EQ(::GetFileAttributesW(target.c_str()) & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE), attributes);
        EXPECT_EQ(test::readBytes(target), "new");
        ::SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
}
#else
TEST(AtomicFile, KeepsTheModeAndOwnerOfTheFileItReplaces) {
    test::TempDir dir;
    for (const mode_t mode : {0600, 0640, 0664, 0755}) {
        const auto target = dir.write("f", "old");
        fs::permissions(target, static_cast<fs::perms>(mode));
        AtomicFile f(target);
        f.write("new");
        f.commit();
        EXPECT_EQ(modeOf(target), mode);
    }
    const auto fresh = dir / "fresh";
    const mode_t mask = ::umask(022);
    ::umask(mask);
    AtomicFile f(fresh);
    f.commit();
    EXPECT_EQ(modeOf(fresh), 0666 & ~mask);
    if (::geteuid() != 0) return;  // only root can give a file to another owner
    const auto target = dir.write("owned", "old");
    ASSERT_EQ(::chown(target.c_str(), 65534, 65534), 0);
    AtomicFile g(target);
    g.commit();
    struct stat st {};
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, 65534u);
    EXPECT_EQ(st.st_gid, 65534u);
}
#endif

TEST(AtomicFile, AReadOnlyFileIsRefused) {
    test::TempDir dir;
    const auto target = dir.write("TUXA_HORARIO.TXT", "old");
    fs::permissions(target, fs::perms::owner_read | fs::perms::group_read);
    try {
        AtomicFile f(target);
        ADD_FAILURE() << "a read-only file was opened for replacing";
    } catch (const Error& e) {
        EXPECT_EQ(e.kindOf<FileError>(), FileError::Unwritable);
        EXPECT_EQ(e.context().cause, describeSystemError(EACCES));
    }
    EXPECT_EQ(test::readBytes(target), "old");
    EXPECT_EQ(temporariesIn(dir.path()), std::vector<std::string>{});
    fs::permissions(target, fs::perms::owner_write, fs::perm_options::add);  // so the folder can go
}

TEST(AtomicFile, WorksWhereverTheTargetsPathWorks) {
    // A folder whose path leaves room for the target's name and nothing more:
    // a temporary name longer than the target's would not fit as a path.
    test::TempDir dir;
    const std::string name = "TUXA_HORARIO.TXT";
    const std::size_t wanted = PATH_MAX - 1 - 1 - name.size();  // the folder's length
    std::string folder = dir.path().string();
    while (folder.size() < wanted) {
        const std::size_t left = wanted - folder.size();
        std::size_t k = std::min<std::size_t>(200, left - 1);
        if (left - 1 - k == 1) --k;  // one character left could not make a folder with its separator
        folder.append("/").append(k, 'c');
    }
    fs::create_directories(folder);
    const fs::path target = fs::path(folder) / name;
    ASSERT_EQ(target.string().size(), std::size_t(PATH_MAX - 1));
    for (int round = 0; round < 2; ++round) {
        AtomicFile f(target);
        f.write(std::to_string(round));
        f.commit();
    }
    EXPECT_EQ(test::readBytes(target), "1");
}

}  // namespace
}  // namespace tht
