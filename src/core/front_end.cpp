#include "core/front_end.h"

#include "base/ascii.h"
#include "core/ini_file.h"
#include "export/export_run.h"
#include "import/import_run.h"
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
    if (result.outcome == RunOutcome::Stopped) {
        // The user may fix the cause and press the button again.
        click.error = result.error;
        return click;
    }
    if (result.outcome == RunOutcome::Completed) {
        transfersEnabled_ = false;
        click.warnings = allWarnings(result.reports);
    }
    click.closeWindow = commandLineMode();
    return click;
}

void FrontEnd::closing() const {
    if (!commandLineMode()) return;
    writeStatus(status_);
}

void FrontEnd::writeStatus(int status) const {
    writeIniValue(settings_.iniFile, kStatusSection, kStatusKey, std::to_string(status));
}

}  // namespace tht
