#pragma once
// One run from start to finish, the same for the command line and both
// windows: the status file set to 0 before anything is touched, Horalina's
// folder found, the direction run, its report left, the outcome mapped to the
// status and the exit code, and any exception turned into the one error the
// user is told. The front ends only show what it gives back.
#include <exception>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "run/message_sink.h"
#include "run/run_context.h"
#include "run/restore_run.h"
#include "run/run_report.h"
#include "platform/clock.h"
#include "platform/error.h"

namespace tht {

// What went wrong outside the rules of every layer below.
enum class DriverError {
    Internal,  // cause: what an unexpected exception said
};
std::string describe(DriverError kind, const ErrorContext& c);

// What the user is told of an exception: an Error as it stands, anything else
// as "Error interno del programa" with what it said.
Error userError(const std::exception& e);

// The exit codes of a run, for the command line.
inline constexpr int kExitDone = 0;      // completed with status 1; a check with nothing to tell
inline constexpr int kExitProblems = 1;  // completed with status -1; a check with something to tell
inline constexpr int kExitStopped = 2;   // stopped, or never started

struct RunOrder {
    RunKind kind = RunKind::Export;
    std::string folder;  // the TUXA folder as the user gave it, UTF-8
    MessageSink* messages = nullptr;
    // Where the report goes; empty: INFORME_TRANSHORALOTUXA.TXT in Horalina's data folder.
    std::filesystem::path reportFile{};
    // The report is given back as text and saved nowhere (a check without a file of its own).
    bool reportBack = false;
    RestoreOrder restore{};  // what a restore brings back
};

struct RunEnd {
    // Stopped too when the run could not start: see error.
    RunOutcome outcome = RunOutcome::Stopped;
    std::optional<Error> error;        // why the run stopped or could not start
    std::vector<TableReport> reports;  // what each table got: the summary's lines
    std::string reportText;            // the report, when given back
    std::filesystem::path reportFile;  // where the report was to be left; empty: given back, or no run
    std::optional<std::string> reportWarning;  // why the report could not be left
    RunProblems problems;  // dropped lines and warnings, the report's own warning counted
    // Where the run kept the set it replaced; empty: nothing was there. Nothing: it kept none.
    std::optional<std::filesystem::path> keptSet;
    std::optional<Error> statusError;  // the final status could not be left (runOnce only)
    int exitCode = kExitStopped;
};

class RunDriver {
public:
    struct Settings {
        InvocationMode mode = InvocationMode::Interactive;
        std::filesystem::path htemp{};       // Horalina's data folder; empty: the platform's, found at each run
        std::filesystem::path statusFile{};  // where the status is left for Horalina; empty: nowhere
        Clock clock = systemLocalTime;
    };

    explicit RunDriver(Settings settings) : settings_(std::move(settings)) {}

    // EstadoTransformacion: 0 at creation, then what the runs made of it.
    int status() const noexcept { return status_; }

    // One run. With a status file, 0 goes in first: whatever stops us from
    // there on (a kill, a power cut) leaves 0, never an earlier run's 1, and a
    // file we cannot write stops the run before any table is touched.
    // Throws nothing.
    RunEnd run(const RunOrder& order);

    // The run of a process that makes one: run, then leaveStatus. A status
    // that cannot be left is statusError, and the run counts as stopped.
    RunEnd runOnce(const RunOrder& order);

    // Writes the status into the status file, unless it is already what this
    // driver last left there. Throws nothing.
    std::optional<Error> leaveStatus();

private:
    void writeStatus(int status);  // throws Error

    Settings settings_;
    int status_ = 0;
    std::optional<int> statusLeft_;  // what the status file holds from us
};

}  // namespace tht
