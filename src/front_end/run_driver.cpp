#include "front_end/run_driver.h"

#include "base/messages.h"
#include "front_end/ini_file.h"
#include "export/check_run.h"
#include "export/export_run.h"
#include "import/import_run.h"
#include "platform/files.h"
#include "platform/locations.h"
#include "run/run_lock.h"

namespace tht {
namespace {

// The one place where an exception stops being an exception: every front end
// gets an error to show, never a crash.
template <class Work>
std::optional<Error> attempt(Work&& work) {
    try {
        work();
        return std::nullopt;
    } catch (const std::exception& e) {
        return userError(e);
    }
}

RunResult runDirection(const RunOrder& order, const RunContext& ctx) {
    switch (order.kind) {
    case RunKind::Restore: return restaurar(ctx, order.restore);
    case RunKind::Export: return exportar(ctx);
    case RunKind::Import: return importar(ctx);
    case RunKind::Check: return comprobar(ctx);
    }
    return exportar(ctx);
}

// A run that did its work exits 0 with status 1 and 1 with status -1; a check
// exits 1 when it has anything to tell or the export would not leave status 1.
int exitCodeOf(RunKind kind, const RunEnd& end, std::optional<int> status) {
    if (end.outcome != RunOutcome::Completed) return kExitStopped;
    if (kind == RunKind::Check) return end.problems.any() || status != 1 ? kExitProblems : kExitDone;
    if (kind == RunKind::Restore) return end.problems.any() ? kExitProblems : kExitDone;  // status 0 by design
    return status == 1 ? kExitDone : kExitProblems;
}

}  // namespace

std::string describe(DriverError kind, const ErrorContext& c) {
    switch (kind) {
    case DriverError::Internal: break;
    }
    return msg::internalError(c.cause);
}

Error userError(const std::exception& e) {
    if (const auto* error = dynamic_cast<const Error*>(&e)) return *error;
    return Error(DriverError::Internal, {.cause = e.what()});
}

RunEnd RunDriver::run(const RunOrder& order) {
    RunEnd end;
    const std::optional<Error> failure = attempt([&] {
        if (!settings_.statusFile.empty()) writeStatus(0);
        // Nothing telling where Horalina's tables are is an error of this run, not of the program.
        const std::filesystem::path htemp = settings_.htemp.empty() ? horalinaDataFolder() : settings_.htemp;
        const RunContext ctx =
            RunContext::forFolder(order.folder, htemp, settings_.mode, *order.messages, settings_.clock);
        RunResult result = runDirection(order, ctx);
        if (result.status) status_ = *result.status;
        end.outcome = result.outcome;
        end.error = result.error;
        end.problems = problemsOf(result);
        end.keptSet = result.keptSet;
        const std::string report = formatRunReport(
            {.kind = order.kind, .tuxaFolder = order.folder, .horalinaFolder = displayPath(htemp), .when = ctx.clock()},
            result);
        // Moved, not copied: a district's reports list hundreds of thousands of drops.
        end.reports = std::move(result.reports);
        // A run refused because another run holds Horalina's folder did
        // nothing there: the folder's report is that other run's to leave.
        const bool refused = result.error && result.error->is(RunError::FolderBusy);
        if (order.reportBack) {
            end.reportText = report;
        } else if (!(refused && order.reportFile.empty())) {
            end.reportFile = order.reportFile.empty() ? defaultReportPath(htemp) : order.reportFile;
            // The run has done its work: a report it could not leave does not undo it.
            end.reportWarning = saveRunReport(end.reportFile, report);
            if (end.reportWarning) ++end.problems.warnings;
        }
        end.exitCode = exitCodeOf(order.kind, end, result.status);
    });
    if (failure) {
        end.outcome = RunOutcome::Stopped;
        end.error = failure;
        end.exitCode = kExitStopped;
    }
    return end;
}

RunEnd RunDriver::runOnce(const RunOrder& order) {
    RunEnd end = run(order);
    // A status file that refused the first 0 is not tried again: the run's error has said so.
    if (!statusLeft_) return end;
    if ((end.statusError = leaveStatus())) end.exitCode = kExitStopped;
    return end;
}

std::optional<Error> RunDriver::leaveStatus() {
    if (settings_.statusFile.empty() || statusLeft_ == status_) return std::nullopt;
    return attempt([&] { writeStatus(status_); });
}

void RunDriver::writeStatus(int status) {
    writeIniValue(settings_.statusFile, kStatusSection, kStatusKey, std::to_string(status));
    statusLeft_ = status;
}

}  // namespace tht
