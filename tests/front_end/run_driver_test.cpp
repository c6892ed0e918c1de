// The run driver's own duties, below every front end: the status file first
// and last, and what becomes of an exception. The directions' outcomes and
// exit codes are the command line's and the windows' tests.
#include <gtest/gtest.h>

#include <stdexcept>

#include "front_end/ini_file.h"
#include "front_end/run_driver.h"
#include "support/temp_dir.h"
#include "support/tuxa_builder.h"

namespace tht {
namespace {

RunOrder exportOf(const std::filesystem::path& folder, MessageSink& messages) {
    RunOrder order;
    order.folder = folder.string();
    order.messages = &messages;
    return order;
}

TEST(RunDriver, AnExceptionBecomesOneErrorForTheUser) {
    const Error folder(FileError::DataFolderUnknown, {});
    EXPECT_TRUE(userError(folder).is(FileError::DataFolderUnknown));
    EXPECT_EQ(std::string(userError(folder).what()), folder.what());

    const Error internal = userError(std::length_error("vector::reserve"));
    EXPECT_TRUE(internal.is(DriverError::Internal));
    EXPECT_EQ(std::string(internal.what()), "Error interno del programa: vector::reserve");
}

// Messages that cannot be shown: the run stops as a run that failed, with the status 0 it left first.
class FailingSink final : public MessageSink {
public:
    void show(const std::string&) override { throw std::runtime_error("pantalla perdida"); }
};

TEST(RunDriver, ARunThatThrowsStopsWithAnInternalError) {
    test::RunFixture f;
    const auto ini = f.dir / "Horalina.ini";
    FailingSink sink;
    RunDriver driver({.mode = InvocationMode::CommandLine, .htemp = f.htemp, .statusFile = ini, .clock = f.ctx.clock});
    const RunEnd end = driver.runOnce(exportOf(f.dir / "none", sink));
    ASSERT_TRUE(end.error);
    EXPECT_EQ(std::string(end.error->what()), "Error interno del programa: pantalla perdida");
    EXPECT_EQ(end.outcome, RunOutcome::Stopped);
    EXPECT_EQ(end.exitCode, kExitStopped);
    EXPECT_EQ(test::readBytes(ini), "[Transformadores]\r\nTransformado=0\r\n");
}

TEST(RunDriver, AStatusFileThatRefusesTheFirstZeroStopsTheRunAndIsToldOnce) {
    test::RunFixture f;
    const auto ini = f.dir / "Horalina.ini";
    std::filesystem::create_directories(ini);  // a folder where the file should be
    RunDriver driver({.mode = InvocationMode::CommandLine, .htemp = f.htemp, .statusFile = ini, .clock = f.ctx.clock});
    const RunEnd end = driver.runOnce(exportOf(f.tuxa, f.sink));
    ASSERT_TRUE(end.error);
    EXPECT_TRUE(end.error->is(IniError::Unwritable));
    EXPECT_FALSE(end.statusError);
    EXPECT_EQ(end.exitCode, kExitStopped);
    EXPECT_TRUE(f.sink.messages.empty());
    EXPECT_TRUE(std::filesystem::is_empty(f.htemp));
}

TEST(RunDriver, AStatusThatCannotBeLeftAtTheEndStopsTheExitCode) {
    test::RunFixture f;
    const auto ini = f.dir / "Horalina.ini";
    // The file goes while the run works: 0 went in, the outcome cannot follow.
    const Clock clockThatLosesTheFile = [&] {
        std::filesystem::remove(ini);
        std::filesystem::create_directories(ini);
        return f.ctx.clock();
    };
    RunDriver driver(
        {.mode = InvocationMode::CommandLine, .htemp = f.htemp, .statusFile = ini, .clock = clockThatLosesTheFile});
    const RunEnd end = driver.runOnce(exportOf(f.tuxa, f.sink));
    EXPECT_EQ(end.outcome, RunOutcome::Completed);
    EXPECT_FALSE(end.error);
    ASSERT_TRUE(end.statusError);
    EXPECT_TRUE(end.statusError->is(IniError::Unwritable));
    EXPECT_EQ(end.exitCode, kExitStopped);
    EXPECT_EQ(driver.status(), -1);
}

}  // namespace
}  // namespace tht
