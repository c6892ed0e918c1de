// What a press of the window's controls does, through a view that records
// what either toolkit would show: the order of boxes, buttons and closing,
// and the errors of a help or viewer that cannot open.
#include <gtest/gtest.h>

#include <filesystem>

#include "front_end/form_steps.h"
#include "support/temp_dir.h"
#include "support/tuxa_builder.h"

namespace tht::form {
namespace {

class RecordingView final : public FormView {
public:
    std::string folder;
    bool openAnswer = true;      // what the user answers in the problems box
    bool viewerThrows = false;   // the system has no viewer: an Error, as on Windows
    bool helpThrows = false;
    std::vector<std::string> events;  // what the window was asked, in order

    std::string chosenFolder() override { return folder; }
    void setBusy(bool busy) override { events.push_back(busy ? "busy" : "idle"); }
    void showBox(Box kind, const std::string& text) override {
        events.push_back((kind == Box::Error ? "error: " : "box: ") + text);
    }
    bool offerReport(const FrontEnd::Click::Problems& problems) override {
        events.push_back("problems");
        return problems.reportWritten && openAnswer;
    }
    bool openReport(const std::filesystem::path& report) override {
        events.push_back("open " + report.filename().string());
        if (viewerThrows) throw Error(FileError::Unreadable, {.file = report.string(), .cause = "sin visor"});
        return true;
    }
    std::optional<std::string> openHelp(std::optional<int> context) override {
        events.push_back(context ? "help " + std::to_string(*context) : "help contents");
        if (helpThrows) throw Error(FileError::Unreadable, {.file = "TUXA.chm", .cause = "sin ayuda"});
        return std::nullopt;
    }
    void setEnabled(ControlId id, bool enabled) override {
        events.push_back(std::string(control(id).name) + (enabled ? " on" : " off"));
    }
    void closeWindow() override { events.push_back("close"); }
};

struct School {
    test::RunFixture f;
    RecordingView view;
    School() {
        std::filesystem::remove_all(f.tuxa);
        std::filesystem::copy(std::filesystem::path(THT_SOURCE_DIR) / "examples" / "escuela", f.tuxa);
        view.folder = f.tuxa.string();
    }
};

TEST(FormSteps, ACompletedRunDisablesTheButtonsAndTellsItsProblemsBeforeClosing) {
    for (const bool viewerThrows : {false, true}) {
        School s;
        s.view.viewerThrows = viewerThrows;
        FrontEnd model({"exportar", "x"}, {s.f.htemp, s.f.dir / "Horalina.ini", s.f.ctx.clock});
        FormSteps steps(model, s.view);
        steps.press(Action::Export);
        std::vector<std::string> expected = {"busy", "box: Proceso finalizado", "idle", "BExportar off",
                                             "BImportar off", "problems", "open INFORME_TRANSHORALOTUXA.TXT"};
        if (viewerThrows)
            expected.push_back(msg::report::notOpened(displayPath(s.f.htemp / "INFORME_TRANSHORALOTUXA.TXT"),
                                                      std::string(msg::report::kNoViewer))
                                   .insert(0, "error: "));
        expected.push_back("close");
        EXPECT_EQ(s.view.events, expected) << viewerThrows;
    }
}

TEST(FormSteps, AStoppedRunShowsItsErrorAndLeavesTheButtonsAndTheWindow) {
    School s;
    s.f.dir.write("not-a-folder", "x");
    FrontEnd model({"exportar", "x"}, {s.f.dir / "not-a-folder", s.f.dir / "Horalina.ini", s.f.ctx.clock});
    FormSteps steps(model, s.view);
    steps.press(Action::Export);
    ASSERT_EQ(s.view.events.size(), 3u);
    EXPECT_EQ(s.view.events[1], "idle");
    EXPECT_TRUE(s.view.events[2].starts_with("error: ")) << s.view.events[2];
    EXPECT_NE(s.view.events[2].find("not-a-folder"), std::string::npos) << s.view.events[2];
}

TEST(FormSteps, HelpAsksForTheFocusedControlsContextAndReportsWhatStopsIt) {
    School s;
    FrontEnd model({}, {s.f.htemp, s.f.dir / "Horalina.ini", s.f.ctx.clock});
    FormSteps steps(model, s.view);
    steps.press(Action::Help);
    steps.helpFor(find("Label3"));  // no context of its own: its panel's
    steps.helpFor(find("Label5"));  // nor has its panel: the window's
    steps.helpFor(nullptr);
    s.view.helpThrows = true;
    steps.helpFor(find("BClose"));
    ASSERT_EQ(s.view.events.size(), 6u);
    EXPECT_EQ(std::vector(s.view.events.begin(), s.view.events.begin() + 5),
              (std::vector<std::string>{"help contents", "help 3", "help 3", "help 3", "help 3"}));
    EXPECT_TRUE(s.view.events[5].starts_with("error: ")) << s.view.events[5];
    EXPECT_NE(s.view.events[5].find("TUXA.chm"), std::string::npos) << s.view.events[5];
}

}  // namespace
}  // namespace tht::form
