#pragma once
// What pressing a control of the window does, for either toolkit: the run and
// what follows it (the error box, the buttons, the problems and the report,
// closing), closing, and the help for the control with the focus.
#include "front_end/form.h"
#include "front_end/form_view.h"
#include "front_end/front_end.h"
#include "run/message_sink.h"

namespace tht::form {

class FormSteps {
public:
    FormSteps(FrontEnd& model, FormView& view) : model_(model), view_(view), sink_(view) {}

    // The button of that action was pressed.
    void press(Action action);
    // F1: the help for the control with the focus (null: none of the table's).
    void helpFor(const Control* focus);
    // The window is closing, whatever closes it: command-line mode leaves
    // its status. The window closes all the same: one that could not would
    // leave the calling product waiting for ever.
    void closing();

private:
    // A run's messages become plain boxes.
    class BoxSink final : public MessageSink {
    public:
        explicit BoxSink(FormView& view) : view_(view) {}
        void show(const std::string& message) override { view_.showBox(Box::Message, message); }

    private:
        FormView& view_;
    };

    void run(FrontEnd::Direction direction);
    void tellProblems(const FrontEnd::Click::Problems& problems);
    void undoExport();
    void showHelp(std::optional<int> context);

    FrontEnd& model_;
    FormView& view_;
    BoxSink sink_;
};

}  // namespace tht::form
