// Replacing a table is atomic, and a table held by another program is
// neither read nor replaced.
#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <chrono>
#include <functional>
#include <thread>

#include "platform/error.h"
#include "platform/files.h"
#include "store/table.h"
#include "support/processes.h"
#include "support/temp_dir.h"
#include "dbf_fixture.h"

namespace tht {
namespace {

namespace fs = std::filesystem;

const std::vector<FieldDef> kFields = {{"ABREV", FieldType::String, 10}};

void writeTable(const fs::path& dir, std::string_view name, std::string_view value) {
    Table t = Table::create(dir, name, kFields);
    t.append();
    t.writeString(t.field("ABREV"), value);
    t.post();
    t.close();
}

// The names in a folder. Where the folder ignores letter case (Windows), the
// file system chooses which spelling a replaced file keeps: only the names
// without regard to case are ours to check there.
std::vector<std::string> entries(const fs::path& dir) {
    std::vector<std::string> out;
    for (const auto& e : fs::directory_iterator(dir)) out.push_back(displayPath(e.path().filename()));
#ifdef _WIN32
    for (std::string& name : out) std::transform(name.begin(), name.end(), name.begin(), ::toupper);
#endif
    std::sort(out.begin(), out.end());
    return out;
}

std::vector<std::string> spelled(std::vector<std::string> names) {
#ifdef _WIN32
    for (std::string& name : names) std::transform(name.begin(), name.end(), name.begin(), ::toupper);
#endif
    return names;
}

TEST(TableReplace, AStepThatFailsLeavesTheOldTableAndIndexAsTheyWere) {
    test::TempDir dir;
    writeTable(dir.path(), "GRUPOST", "VIEJO");
    const std::string oldTable = test::readBytes(dir / "GRUPOST.DBF");
    dir.write("GRUPOST.MDX", "old index");
    try {
        Table t = Table::create(dir.path(), "GRUPOST", kFields);
        t.append();
        t.writeString(t.field("ABREV"), "NUEVO");
        t.post();
        throw std::runtime_error("the step stops here");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(test::readBytes(dir / "GRUPOST.DBF"), oldTable);
    EXPECT_EQ(test::readBytes(dir / "GRUPOST.MDX"), "old index");
    EXPECT_EQ(entries(dir.path()), (std::vector<std::string>{"GRUPOST.DBF", "GRUPOST.MDX"}));  // no temporary left
}

TEST(TableReplace, ANormalCloseReplacesTheTableAndRemovesOldSpellingsAndIndexes) {
    test::TempDir dir;
    dir.write("grupost.dbf", "old table, lower case");
    dir.write("Grupost.Mdx", "old index");
    dir.write("GRUPOST.MDX", "old index");
    dir.write("GRUPOSTX.DBF", "another table");
    writeTable(dir.path(), "grupost.dbf", "NUEVO");
    EXPECT_EQ(entries(dir.path()), (std::vector<std::string>{"GRUPOST.DBF", "GRUPOSTX.DBF"}));
    Table t = Table::open(dir.path(), "GRUPOST", Access::Exclusive);
    EXPECT_EQ(t.readString(t.field("ABREV")), "NUEVO");
    EXPECT_EQ(t.name(), "GRUPOST");
    EXPECT_EQ(t.path(), dir / "GRUPOST.DBF");
}

TEST(TableReplace, ATableIsFoundWithoutRegardToCaseAndKeepsItsSpellingWhenChanged) {
    test::TempDir dir;
    writeTable(dir.path(), "AULAT", "A1");
    fs::rename(dir / "AULAT.DBF", dir / "aulat.dbf");
    {
        Table t = Table::open(dir.path(), "AulaT.DBF", Access::Exclusive);
        EXPECT_EQ(t.name(), "AULAT");
        t.append();
        t.writeString(t.field("ABREV"), "A2");
        t.post();
        t.close();
    }
    EXPECT_EQ(entries(dir.path()), spelled({"aulat.dbf"}));
}

TEST(TableReplace, IndependentReadersAcceptAWrittenTable) {
    test::TempDir dir;
    writeTable(dir.path(), "AULAT", "Aula \xF1");
    const std::string gdal = test::ogrinfo(dir / "AULAT.DBF");
    EXPECT_NE(gdal.find("ABREV: String (10.0)"), std::string::npos) << gdal;
    EXPECT_NE(gdal.find("ABREV (String) = Aula ñ"), std::string::npos) << gdal;
    test::runPython(dir.path(), R"(
import dbf
t = dbf.Table('AULAT.DBF')
t.open(dbf.READ_ONLY)
assert t.field_names == ['abrev'], t.field_names
assert [r.abrev.rstrip() for r in t] == ['Aula ñ'], [r.abrev for r in t]
t.close()
)");
}

class TableLock : public ::testing::Test {
protected:
    void SetUp() override { writeTable(dir.path(), "SOLUC", "X"); }

    static void expectInUse(const std::function<void()>& f) {
        try {
            f();
            ADD_FAILURE() << "no error";
        } catch (const Error& e) {
            EXPECT_EQ(e.kindOf<TableError>(), TableError::InUse);
            EXPECT_EQ(std::string(e.what()), "La tabla SOLUC está en uso por otro programa");
        }
    }

    test::TempDir dir;
};

TEST_F(TableLock, ExclusiveUseKeepsOutEveryOtherOpen) {
    Table held = Table::open(dir.path(), "SOLUC", Access::Exclusive);
    expectInUse([&] { Table::open(dir.path(), "SOLUC", Access::Exclusive); });
    expectInUse([&] { Table::open(dir.path(), "soluc.dbf", Access::Shared, true); });
    expectInUse([&] { Table::create(dir.path(), "SOLUC", kFields); });
    held.close();
    EXPECT_NO_THROW(Table::open(dir.path(), "SOLUC", Access::Exclusive).close());
}

TEST_F(TableLock, SharedUseKeepsOutOnlyExclusiveUse) {
    Table a = Table::open(dir.path(), "SOLUC", Access::Shared, true);
    Table b = Table::open(dir.path(), "SOLUC", Access::Shared);
    expectInUse([&] { Table::open(dir.path(), "SOLUC", Access::Exclusive); });
}

TEST_F(TableLock, ATableBeingReplacedIsHeldUntilClose) {
    Table fresh = Table::create(dir.path(), "SOLUC", kFields);
    expectInUse([&] { Table::open(dir.path(), "SOLUC", Access::Shared); });
    fresh.close();
    EXPECT_NO_THROW(Table::open(dir.path(), "SOLUC", Access::Shared).close());
}

#ifdef _WIN32
TEST_F(TableLock, AWindowsProgramHoldingTheTableIsHonoured) {
    // Another program that opens the table sharing nothing, as Horalina does.
    const fs::path ready = dir / "ready";
    test::TempDir scratch;
    std::thread holder([&] {
        test::runProgram(THT_HOLD_FILE, {displayPath(dir / "SOLUC.DBF"), displayPath(ready), displayPath(dir / "release")},
                         scratch.path());
    });
    for (int i = 0; i < 1000 && !fs::exists(ready); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_TRUE(fs::exists(ready));
    expectInUse([&] { Table::open(dir.path(), "SOLUC", Access::Shared, true); });
    expectInUse([&] { Table::create(dir.path(), "SOLUC", kFields); });
    dir.write("release", "");
    holder.join();
    EXPECT_NO_THROW(Table::open(dir.path(), "SOLUC", Access::Exclusive).close());
}
#else
TEST_F(TableLock, AnotherProcessHoldingTheTableGetsTheError) {
    Table held = Table::open(dir.path(), "SOLUC", Access::Exclusive);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        int code = 3;
        try {
            Table::open(dir.path(), "SOLUC", Access::Shared);
            code = 1;
        } catch (const Error& e) {
            code = e.is(TableError::InUse) ? 0 : 2;
        } catch (...) {
        }
        _exit(code);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST_F(TableLock, ALockTakenByAnotherProgramIsHonoured) {
    // Python's lockf is a classic POSIX lock; ours conflict with it.
    const fs::path ready = dir / "ready";
    const fs::path release = dir / "release";
    const std::string program = "import fcntl, os, time\n"
                                "f = open('SOLUC.DBF', 'r+b')\n"
                                "fcntl.lockf(f, fcntl.LOCK_EX)\n"
                                "open('ready', 'w').close()\n"
                                "while not os.path.exists('release'): time.sleep(0.01)\n";
    std::thread holder([&] { test::runPython(dir.path(), program); });
    for (int i = 0; i < 500 && !fs::exists(ready); ++i) usleep(10000);
    ASSERT_TRUE(fs::exists(ready));
    expectInUse([&] { Table::open(dir.path(), "SOLUC", Access::Exclusive); });
    dir.write("release", "");
    holder.join();
    EXPECT_NO_THROW(Table::open(dir.path(), "SOLUC", Access::Exclusive).close());
}
#endif

}  // namespace
}  // namespace tht
