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
            // A first export into an empty folder replaced nothing: there is nothing to go back to.
            const bool undoable = direction == Direction::Export && end.keptSet && !end.keptSet->empty();
            if (undoable) {
                undoSet_ = end.keptSet;
                folder_ = folder;
                text += "\n" + std::string(msg::report::kUndoOffer);
            }
            click.problems = Click::Problems{std::move(text), end.reportFile, !end.reportWarning, undoable};
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

namespace {

// The restore's own messages ("Proceso finalizado") are kept for the one box that tells the undo.
class CollectingSink final : public MessageSink {
public:
    void show(const std::string& message) override { text += (text.empty() ? "" : "\n") + message; }
    std::string text;
};

}  // namespace

FrontEnd::UndoEnd FrontEnd::undo() {
    UndoEnd undone;
    if (!undoSet_) return undone;
    CollectingSink messages;
    const RunEnd end = driver_.run({.kind = RunKind::Restore,
                                    .folder = folder_,
                                    .messages = &messages,
                                    .restore = {.set = displayPath(undoSet_->filename())}});
    if (end.outcome == RunOutcome::Stopped) {
        undone.error = end.error;
        return undone;
    }
    undoSet_.reset();
    undone.text = end.outcome == RunOutcome::Completed
                      ? msg::report::undone(end.keptSet ? displayPath(*end.keptSet) : std::string())
                      : messages.text;
    if (end.reportWarning) undone.text += "\n" + *end.reportWarning;
    return undone;
}

std::optional<Error> FrontEnd::closing() { return driver_.leaveStatus(); }

}  // namespace tht
