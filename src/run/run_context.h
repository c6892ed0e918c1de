#pragma once
// What a run takes (the TUXA folder, Horalina's data folder, how the program
// was started, where messages go, the clock, the TUXA code page) and what it
// returns (how it ended, the status for "Horalina.ini", what each table got).
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/code_pages.h"
#include "run/message_sink.h"
#include "run/report.h"
#include "platform/clock.h"
#include "charset/codepage.h"
#include "platform/error.h"

namespace tht {

// How the program was started: by hand, or by Horalina with exactly two
// arguments (the ModoEjecucion 2 of the old system).
enum class InvocationMode { Interactive, CommandLine };

struct RunContext {
    std::string dirTxt;           // the TUXA folder followed by the separator
    std::filesystem::path htemp;  // Horalina's data folder
    InvocationMode mode = InvocationMode::Interactive;
    MessageSink* messages = nullptr;
    Clock clock = systemLocalTime;
    const CodePage* codePage = &systemCodePage();  // of the TUXA files and TUXA_HORARIO.TXT
    // A TUXA file that is UTF-8 is read as such, unless TUXA_CODEPAGE names the page.
    bool guessUtf8 = !systemCodePageIsNamed();
    // What a commit replaces is kept (kept_sets.h); a check, which replaces nothing real, keeps nothing.
    bool keepReplaced = true;

    // The one way a front end makes a context: dirTxt from the folder, the rest as given.
    static RunContext forFolder(const std::string& folder, std::filesystem::path htemp, InvocationMode mode,
                                MessageSink& messages, Clock clock = systemLocalTime);

    void show(std::string_view message) const { messages->show(std::string(message)); }
    std::filesystem::path tuxaPath(std::string_view fileName) const;
};

// dirTxt for a folder: the folder text followed by the separator, appended
// even when the text already ends in one.
std::string makeDirTxt(const std::string& folder);

enum class RunOutcome {
    FolderMissing,  // "No existe la carpeta" was shown
    Completed,      // "Proceso finalizado" was shown
    Stopped,        // an error stopped the run: see RunResult::error
};

struct RunResult {
    RunOutcome outcome = RunOutcome::Completed;
    // What the result status (EstadoTransformacion) becomes; nothing: it keeps its value.
    std::optional<int> status;
    std::vector<TableReport> reports;  // what each table got, also when the run stopped
    std::optional<Error> error;        // why a run stopped
    // Where the commit kept what it replaced; an empty path: there was nothing
    // to keep. Nothing: the run kept nothing (it stopped, or it keeps nothing).
    std::optional<std::filesystem::path> keptSet;
    std::optional<std::filesystem::path> restoredSet;  // the kept set a restore brought back
};

// A run whose TUXA folder does not exist ends before anything else: the
// window's "No existe la carpeta", and in command-line mode the status that
// direction leaves. Nothing when the folder is there.
std::optional<RunResult> missingTuxaFolder(const RunContext& ctx, int commandLineStatus);

}  // namespace tht
