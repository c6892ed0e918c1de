#include "front_end/front_end.h"

#include "base/ascii.h"
#include "base/messages.h"
#include "platform/files.h"

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

namespace {

RunDriver::Settings driverSettings(const StartMode& start, FrontEnd::Settings settings) {
    // Only a window that Horalina started tells it the status.
    const bool toldToHoralina = start.mode == InvocationMode::CommandLine;
    return {.mode = start.mode,
            .htemp = std::move(settings.htemp),
            .statusFile = toldToHoralina ? std::move(settings.iniFile) : std::filesystem::path(),
            .clock = std::move(settings.clock)};
}

}  // namespace

FrontEnd::FrontEnd(const std::vector<std::string>& arguments, Settings settings)
    : start_(startMode(arguments)), driver_(driverSettings(start_, std::move(settings))) {}

FrontEnd::Click FrontEnd::run(Direction direction, const std::string& folder, MessageSink& messages) {
    Click click;
    // A click that reaches a disabled button (a key, a message from outside)
    // must not start a second run over the tables the first one left.
    if (!transfersEnabled_) return click;
    dirTxt_ = makeDirTxt(folder);
    const RunEnd end = driver_.run(
        {.kind = direction == Direction::Export ? RunKind::Export : RunKind::Import, .folder = folder, .messages = &messages});
    if (end.outcome == RunOutcome::Stopped) {
        // The user may fix the cause and press the button again.
        click.error = end.error;
        click.reportWarning = end.reportWarning;
        return click;
    }
    if (end.outcome == RunOutcome::Completed) {
        transfersEnabled_ = false;
        if (end.problems.any()) {
            std::string text =
                msg::report::problems(end.problems.dropped, end.problems.warnings, displayPath(end.reportFile));
            if (end.reportWarning) text += "\n" + *end.reportWarning;
            click.problems = Click::Problems{std::move(text), end.reportFile, !end.reportWarning};
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

std::optional<Error> FrontEnd::closing() { return driver_.leaveStatus(); }

}  // namespace tht
