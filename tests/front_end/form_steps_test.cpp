// What a press of the window's controls does, through a view that records
// what either toolkit would show: the order of boxes, buttons and closing,
// and the errors of a help or viewer that cannot open.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "front_end/form_steps.h"
#include "platform/files.h"
#include "store/kept_sets.h"
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
    bool undoAnswer = false;     // the user presses "Deshacer la exportación" when offered
    ProblemsAnswer offerReport(const FrontEnd::Click::Problems& problems) override {
        events.push_back(problems.undoOffered ? "problems, undo offered" : "problems");
        if (problems.undoOffered && undoAnswer) return ProblemsAnswer::UndoExport;
        return problems.reportWritten && openAnswer ? ProblemsAnswer::OpenReport : ProblemsAnswer::Close;
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

// The example school with its planted drops left out: a run with nothing to tell.
void cleanSchool(const std::filesystem::path& tuxa) {
    for (const auto& [name, dropped] : {std::pair<std::string, std::set<int>>{"tuxa_prof.txt", {27}},
                                        {"tuxa_asignatgrupo.txt", {34, 83, 100, 184}}}) {
        std::istringstream in(readFileBytes(tuxa / name));
        std::string kept, line;
        for (int number = 1; std::getline(in, line); ++number)
            if (!dropped.contains(number)) kept += line + "\n";
        std::ofstream(tuxa / name, std::ios::binary) << kept;
    }
}

// A teacher file that lost most of its lines: the export warns of a big change.
void mostTeachersGone(const std::filesystem::path& tuxa) {
    std::istringstream in(readFileBytes(tuxa / "tuxa_prof.txt"));
    std::string kept, line;
    for (int number = 1; std::getline(in, line) && number <= 10; ++number) kept += line + "\n";
    std::ofstream(tuxa / "tuxa_prof.txt", std::ios::binary) << kept;
}

std::map<std::string, std::string> horalinaTables(const std::filesystem::path& htemp) {
    std::map<std::string, std::string> tables;
    for (const auto& entry : std::filesystem::directory_iterator(htemp))
        if (entry.path().extension() == ".DBF" && entry.path().filename() != "SOLUC.DBF")
            tables[entry.path().filename().string()] = readFileBytes(entry.path());
    return tables;
}

TEST(FormSteps, TheUndoIsOfferedOnlyAfterAnExportThatReplacedASetAndHasSomethingToTell) {
    struct Case {
        const char* name;
        bool firstRun;  // an export before the one looked at, so that it replaces a set
        FrontEnd::Direction direction;
        void (*change)(const std::filesystem::path& tuxa);
        bool problemsBox, undoOffered;
    };
    const Case cases[] = {
        {"a first export, with drops, kept nothing", false, FrontEnd::Direction::Export, nullptr, true, false},
        {"a second export with drops", true, FrontEnd::Direction::Export, nullptr, true, true},
        {"a second export with a big change", true, FrontEnd::Direction::Export, mostTeachersGone, true, true},
        {"a clean second export", true, FrontEnd::Direction::Export, cleanSchool, false, false},
        {"an import that replaced a timetable", true, FrontEnd::Direction::Import, nullptr, false, false},
    };
    for (const Case& c : cases) {
        School s;
        std::filesystem::copy(std::filesystem::path(THT_SOURCE_DIR) / "examples" / "horalina" / "SOLUC.DBF",
                              s.f.htemp / "SOLUC.DBF");
        if (c.firstRun) {
            FrontEnd first({}, {s.f.htemp, s.f.dir / "Horalina.ini", s.f.ctx.clock});
            ASSERT_FALSE(first.run(FrontEnd::Direction::Export, s.view.folder, s.f.sink).error) << c.name;
            FrontEnd again({}, {s.f.htemp, s.f.dir / "Horalina.ini", s.f.ctx.clock});  // the timetable kept too
            if (c.direction == FrontEnd::Direction::Import) {
                ASSERT_FALSE(again.run(FrontEnd::Direction::Import, s.view.folder, s.f.sink).error) << c.name;
            }
        }
        if (c.change) c.change(s.f.tuxa);
        FrontEnd model({}, {s.f.htemp, s.f.dir / "Horalina.ini", s.f.ctx.clock});
        const FrontEnd::Click click = model.run(c.direction, s.view.folder, s.f.sink);
        ASSERT_FALSE(click.error) << c.name << ": " << click.errorText();
        if (c.direction == FrontEnd::Direction::Export) {
            EXPECT_EQ(click.problems.has_value(), c.problemsBox) << c.name;
        }
        EXPECT_EQ(click.problems && click.problems->undoOffered, c.undoOffered) << c.name;
        if (c.undoOffered) {
            EXPECT_NE(click.problems->text.find(msg::report::kUndoOffer), std::string::npos) << click.problems->text;
        }
    }
}

TEST(FormSteps, UndoingAnExportStartedAsHoralinaStartsItBringsBackTheSetAndLeavesStatusZero) {
    School s;
    {
        FrontEnd first({}, {s.f.htemp, s.f.dir / "Horalina.ini", s.f.ctx.clock});
        ASSERT_FALSE(first.run(FrontEnd::Direction::Export, s.view.folder, s.f.sink).error);
    }
    const auto before = horalinaTables(s.f.htemp);
    mostTeachersGone(s.f.tuxa);
    s.view.undoAnswer = true;
    const std::filesystem::path ini = s.f.dir / "Horalina.ini";
    FrontEnd model({"exportar", "x"}, {s.f.htemp, ini, s.f.ctx.clock});
    FormSteps steps(model, s.view);
    steps.press(Action::Export);
    ASSERT_EQ(s.view.events.size(), 10u) << ::testing::PrintToString(s.view.events);
    EXPECT_EQ(s.view.events[5], "problems, undo offered");
    EXPECT_EQ(s.view.events[6], "busy");
    EXPECT_EQ(s.view.events[7], "idle");
    EXPECT_TRUE(s.view.events[8].starts_with("box: Exportación deshecha")) << s.view.events[8];
    EXPECT_EQ(s.view.events[9], "close");
    steps.closing();
    EXPECT_EQ(horalinaTables(s.f.htemp), before);
    EXPECT_EQ(model.status(), 0);
    EXPECT_NE(readFileBytes(ini).find("Transformado=0"), std::string::npos) << readFileBytes(ini);
    // The export undone is kept in turn: the undo can itself be undone with `restaurar`.
    EXPECT_EQ(listKeptSets(s.f.htemp).size(), 2u);
    // Offered once: a second undo has nothing to do.
    EXPECT_FALSE(model.undo().error);
    EXPECT_EQ(listKeptSets(s.f.htemp).size(), 2u);
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
