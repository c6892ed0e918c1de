#include "core/front_end.h"

#include "base/ascii.h"
#include "base/messages.h"
#include "core/ini_file.h"
#include "core/run_report.h"
#include "export/export_run.h"
#include "import/import_run.h"
#include "platform/files.h"
#include "platform/locations.h"

namespace tht {

StartMode startMode(const std::vector<std::string>& arguments) {
    StartMode start;
    if (arguments.size() != 2) return start;
    start.mode = InvocationMode::CommandLine;
    std::string direction = arguments.front();
    for (char& c : direction) c = ascii::lower(c);
    if (direction == "importar") start.panels = Panels::ImportOnly;
    if (direction == "exportar") start.panels = Panels::ExportOnly;
    return start;
}

FrontEnd::FrontEnd(const std::vector<std::string>& arguments, Settings settings)
    : start_(startMode(arguments)), settings_(std::move(settings)) {}

FrontEnd::Click FrontEnd::run(Direction direction, const std::string& folder, MessageSink& messages) {
    Click click;
    // A click that reaches a disabled button (a key, a message from outside)
    // must not start a second run over the tables the first one left.
    if (!transfersEnabled_) return click;
    // Horalina reads the status once we end: whatever stops us from here on
    // (a kill, a power cut) must leave it 0, not an earlier run's 1. A file
    // we cannot write now would lose the true outcome too: nothing is done.
    if (commandLineMode()) {
        try {
            writeStatus(0);
        } catch (const Error& e) {
            click.error = e;
            return click;
        }
    }
    dirTxt_ = makeDirTxt(folder);
    std::filesystem::path htemp = settings_.htemp;
    try {
        if (htemp.empty()) htemp = horalinaDataFolder();
    } catch (const Error& e) {  // nothing tells where Horalina's tables are: the run cannot start
        click.error = e;
        return click;
    }
    const RunContext ctx = RunContext::forFolder(folder, htemp, start_.mode, messages, settings_.clock);
    const RunResult result = direction == Direction::Export ? exportar(ctx) : importar(ctx);
    if (result.status) status_ = *result.status;
    const std::filesystem::path reportFile = defaultReportPath(htemp);
    const std::optional<std::string> reportWarning = saveRunReport(
        reportFile, formatRunReport({.kind = direction == Direction::Export ? RunKind::Export : RunKind::Import,
                                     .tuxaFolder = folder,
                                     .horalinaFolder = displayPath(htemp),
                                     .when = ctx.clock()},
                                    result));
    if (result.outcome == RunOutcome::Stopped) {
        // The user may fix the cause and press the button again.
        click.error = result.error;
        click.reportWarning = reportWarning;
        return click;
    }
    if (result.outcome == RunOutcome::Completed) {
        transfersEnabled_ = false;
        RunProblems problems = problemsOf(result);
        if (reportWarning) ++problems.warnings;
        if (problems.any()) {
            std::string text = msg::report::problems(problems.dropped, problems.warnings, displayPath(reportFile));
            if (reportWarning) text += "\n" + *reportWarning;
            click.problems = Click::Problems{std::move(text), reportFile, !reportWarning};
        }
    }
    click.closeWindow = commandLineMode();
    return click;
}

std::string FrontEnd::Click::errorText() const {
    std::string text = error ? std::string(error->what()) : std::string();
    if (reportWarning) text += (text.empty() ? "" : "\n\n") + *reportWarning;
    return text;
}

void FrontEnd::closing() const {
    if (!commandLineMode()) return;
    writeStatus(status_);
}

void FrontEnd::writeStatus(int status) const {
    writeIniValue(settings_.iniFile, kStatusSection, kStatusKey, std::to_string(status));
}

}  // namespace tht
