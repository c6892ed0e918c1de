// What the window does, without a window: the mode and panels from the
// arguments, the status a click leaves, when the window closes itself, and
// what command-line mode writes into "Horalina.ini" on closing.
#include <gtest/gtest.h>

#include "front_end/command_line.h"
#include "front_end/front_end.h"
#include "support/temp_dir.h"
#include "support/tuxa_builder.h"

namespace tht {
namespace {

TEST(FrontEnd, ArgumentsChooseModeAndPanels) {
    const struct {
        std::vector<std::string> arguments;
        InvocationMode mode;
        Panels panels;
    } cases[] = {
        {{}, InvocationMode::Interactive, Panels::Both},
        {{"exportar"}, InvocationMode::Interactive, Panels::Both},
        {{"exportar", "x", "y"}, InvocationMode::Interactive, Panels::Both},
        {{"EXPORTAR", "x"}, InvocationMode::CommandLine, Panels::ExportOnly},
        {{"ImPoRtAr", ""}, InvocationMode::CommandLine, Panels::ImportOnly},
        {{"IMPORTÁR", "x"}, InvocationMode::CommandLine, Panels::Both},
        {{"otra", "x"}, InvocationMode::CommandLine, Panels::Both},
    };
    for (const auto& c : cases) {
        const StartMode start = startMode(c.arguments);
        EXPECT_EQ(start.mode, c.mode) << c.arguments.size();
        EXPECT_EQ(start.panels, c.panels) << c.arguments.size();
    }
}

TEST(FrontEnd, ClicksLeaveStatusButtonsAndClosing) {
    const struct {
        const char* what;
        std::vector<std::string> arguments;
        bool folderExists;
        FrontEnd::Direction direction;
        int status;
        bool enabled, closes;
        std::string ini;  // what closing leaves in the settings file; empty: no file
    } cases[] = {
        {"interactive export", {}, true, FrontEnd::Direction::Export, -1, false, false, ""},
        {"interactive, no folder", {}, false, FrontEnd::Direction::Export, 0, true, false, ""},
        {"command-line export", {"exportar", "x"}, true, FrontEnd::Direction::Export, -1, false, true,
         "[Transformadores]\r\nTransformado=-1\r\n"},
        {"command-line export, no folder", {"exportar", "x"}, false, FrontEnd::Direction::Export, -1, true, true,
         "[Transformadores]\r\nTransformado=-1\r\n"},
        {"command-line import, no folder", {"importar", "x"}, false, FrontEnd::Direction::Import, 0, true, true,
         "[Transformadores]\r\nTransformado=0\r\n"},
    };
    for (const auto& c : cases) {
        test::RunFixture f;
        const auto ini = f.dir / "Horalina.ini";
        FrontEnd model(c.arguments, {f.htemp, ini, f.ctx.clock});
        const std::string folder = c.folderExists ? f.tuxa.string() : (f.dir / "none").string();
        const FrontEnd::Click click = model.run(c.direction, folder, f.sink);
        EXPECT_FALSE(click.error) << c.what;
        EXPECT_EQ(model.status(), c.status) << c.what;
        EXPECT_EQ(model.transfersEnabled(), c.enabled) << c.what;
        EXPECT_EQ(click.closeWindow, c.closes) << c.what;
        EXPECT_EQ(model.dirTxt(), makeDirTxt(folder)) << c.what;
        model.closing();
        EXPECT_EQ(std::filesystem::exists(ini) ? test::readBytes(ini) : std::string(), c.ini) << c.what;
    }
}

TEST(FrontEnd, AStoppedRunReturnsItsErrorAndKeepsTheWindowOpen) {
    test::RunFixture f;
    f.writeTuxa("tuxa_prof.txt", test::tuxaFile("TUXA_PROF.TXT", {}));
    FrontEnd model({"exportar", "x"}, {f.dir / "not-a-folder", f.dir / "Horalina.ini", f.ctx.clock});
    f.dir.write("not-a-folder", "x");
    const FrontEnd::Click click = model.run(FrontEnd::Direction::Export, f.tuxa.string(), f.sink);
    ASSERT_TRUE(click.error);
    EXPECT_FALSE(click.closeWindow);
    EXPECT_TRUE(model.transfersEnabled());
}

TEST(FrontEnd, ASecondClickAfterACompletedRunDoesNothing) {
    test::RunFixture f;
    FrontEnd model({}, {f.htemp, f.dir / "Horalina.ini", f.ctx.clock});
    model.run(FrontEnd::Direction::Export, f.tuxa.string(), f.sink);
    ASSERT_FALSE(model.transfersEnabled());
    const auto shown = f.sink.messages.size();
    const int status = model.status();
    std::filesystem::remove_all(f.htemp);
    const FrontEnd::Click again = model.run(FrontEnd::Direction::Import, (f.dir / "none").string(), f.sink);
    EXPECT_FALSE(again.error);
    EXPECT_FALSE(again.closeWindow);
    EXPECT_EQ(f.sink.messages.size(), shown);
    EXPECT_EQ(model.status(), status);
    EXPECT_FALSE(std::filesystem::exists(f.htemp));
}

// Horalina writes the command line whole; the window splits it itself.
TEST(CommandLine, BlanksSeparateAndQuotesGroup) {
    const struct {
        const char* line;
        std::vector<std::string> arguments;  // after the program's name
    } cases[] = {
        {"transhoralotuxa.exe", {}},
        {"\"C:\\Archivos de programa\\H\\transhoralotuxa.exe\" exportar C:\\HTEMP", {"exportar", "C:\\HTEMP"}},
        {"t.exe   EXPORTAR\t\"C:\\Mis datos\\\" ", {"EXPORTAR", "C:\\Mis datos\\"}},
        {"t.exe exportar \"C:\\Mis datos\\\" --quiet", {"exportar", "C:\\Mis datos\\", "--quiet"}},
        {"t.exe importar \"\"", {"importar", ""}},
        {"t.exe im\"por\"tar x", {"importar", "x"}},
        {"t.exe \"exportar x", {"exportar x"}},  // an unclosed quote runs to the end
        {"t.exe a b c", {"a", "b", "c"}},
        {"t.exe Peña ñ", {"Peña", "ñ"}},
        {"", {}},
    };
    for (const auto& c : cases) EXPECT_EQ(commandLineArguments(c.line), c.arguments) << c.line;
    EXPECT_EQ(splitCommandLine("\"C:\\a b\\t.exe\" x").front(), "C:\\a b\\t.exe");
}

}  // namespace
}  // namespace tht
