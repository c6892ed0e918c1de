#include "front_end/form_steps.h"

#include "base/messages.h"
#include "platform/error.h"
#include "platform/files.h"

namespace tht::form {

void FormSteps::press(Action action) {
    switch (action) {
        case Action::Export: run(FrontEnd::Direction::Export); break;
        case Action::Import: run(FrontEnd::Direction::Import); break;
        case Action::Close: view_.closeWindow(); break;
        case Action::Help: showHelp(std::nullopt); break;
        case Action::None: break;
    }
}

void FormSteps::run(FrontEnd::Direction direction) {
    const std::string folder = view_.chosenFolder();
    view_.setBusy(true);
    const FrontEnd::Click click = model_.run(direction, folder, sink_);  // throws nothing
    view_.setBusy(false);
    if (click.error) {
        // The user may mend the cause and press the button again.
        view_.showBox(Box::Error, click.errorText());
        return;
    }
    for (const Control& c : kControls)
        if (c.action == Action::Export || c.action == Action::Import) view_.setEnabled(c.id, model_.transfersEnabled());
    // What the run dropped or warned about is told before the window may close.
    if (click.problems) tellProblems(*click.problems);
    if (click.closeWindow) view_.closeWindow();
}

void FormSteps::tellProblems(const FrontEnd::Click::Problems& problems) {
    const ProblemsAnswer answer = view_.offerReport(problems);
    if (answer == ProblemsAnswer::UndoExport && problems.undoOffered) return undoExport();
    if (answer != ProblemsAnswer::OpenReport || !problems.reportWritten) return;
    bool opened = false;
    try {
        opened = view_.openReport(problems.report);
    } catch (const Error&) {
        opened = false;
    }
    if (!opened)
        view_.showBox(Box::Error, msg::report::notOpened(displayPath(problems.report), std::string(msg::report::kNoViewer)));
}

void FormSteps::undoExport() {
    view_.setBusy(true);
    const FrontEnd::UndoEnd undone = model_.undo();  // throws nothing
    view_.setBusy(false);
    if (undone.error)
        view_.showBox(Box::Error, undone.error->what());
    else if (!undone.text.empty())
        view_.showBox(Box::Message, undone.text);
}

void FormSteps::helpFor(const Control* focus) { showHelp(helpContextOf(focus)); }

void FormSteps::showHelp(std::optional<int> context) {
    std::optional<std::string> problem;
    try {
        problem = view_.openHelp(context);
    } catch (const Error& e) {
        problem = e.what();
    }
    if (problem) view_.showBox(Box::Error, *problem);
}

void FormSteps::closing() {
    if (const auto problem = model_.closing()) view_.showBox(Box::Error, problem->what());
}

}  // namespace tht::form
