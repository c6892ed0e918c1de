#pragma once
// What a window's toolkit does for the form: the boxes, the hourglass, the
// buttons' state, the help and the report viewer. The steps that both
// windows share (front_end/form_steps.h) work through it.
#include <filesystem>
#include <optional>
#include <string>

#include "front_end/form.h"
#include "front_end/front_end.h"

namespace tht::form {

enum class Box {
    Message,  // a run's message ("Proceso finalizado", a missing file): no icon
    Error,    // what stopped a run or an action: the error icon
};

// What the user chose in the box that tells a completed run's problems.
enum class ProblemsAnswer { Close, OpenReport, UndoExport };

class FormView {
public:
    virtual ~FormView() = default;

    // The folder the chooser shows, as the system names it.
    virtual std::string chosenFolder() = 0;
    // The hourglass over the window for the length of a run; a box during
    // the run brings the normal cursor back while it waits for a click.
    virtual void setBusy(bool busy) = 0;
    // A modal box headed by the application title.
    virtual void showBox(Box kind, const std::string& text) = 0;
    // Tells a completed run's problems, with a button to open the report when
    // it was written and one to undo the export when problems.undoOffered.
    virtual ProblemsAnswer offerReport(const FrontEnd::Click::Problems& problems) = 0;
    // Opens the report in the system's text viewer; false (or an Error) when it cannot.
    virtual bool openReport(const std::filesystem::path& report) = 0;
    // Shows the help at that context, or at its contents; a problem is an
    // Error, or the text returned.
    virtual std::optional<std::string> openHelp(std::optional<int> context) = 0;
    virtual void setEnabled(ControlId control, bool enabled) = 0;
    // Closes the window, which then calls FormSteps::closing.
    virtual void closeWindow() = 0;
};

}  // namespace tht::form
