#pragma once
// What the main window does, without a window: the run mode and panels that
// the command line chooses, what each transfer button runs, when the window
// closes itself, and the status that command-line mode leaves in
// "Horalina.ini". The Qt window and the Win32 window are views over it.
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "run/message_sink.h"
#include "run/run_context.h"
#include "front_end/panels.h"
#include "front_end/run_driver.h"
#include "platform/clock.h"
#include "platform/error.h"

namespace tht {

struct StartMode {
    InvocationMode mode = InvocationMode::Interactive;
    Panels panels = Panels::Both;
};

// arguments: the command line without the program itself, UTF-8. Only the
// calling product passes exactly two; the second (the folder it suggests) is
// not read: the user still picks the folder. The direction is compared with
// the letters A to Z lowered and nothing else, so that "ÉXPORTAR" stays
// unlike "exportar" whatever the locale.
StartMode startMode(const std::vector<std::string>& arguments);

class FrontEnd {
public:
    struct Settings {
        std::filesystem::path htemp;    // Horalina's data folder; empty: the platform's, found at each run
        std::filesystem::path iniFile;  // where command-line mode leaves the status
        Clock clock = systemLocalTime;
    };
    enum class Direction { Export, Import };

    FrontEnd(const std::vector<std::string>& arguments, Settings settings);

    const StartMode& start() const noexcept { return start_; }
    bool commandLineMode() const noexcept { return start_.mode == InvocationMode::CommandLine; }
    // EstadoTransformacion: 0 at creation, then what the runs made of it.
    int status() const noexcept { return driver_.status(); }
    // Both transfer buttons: a window carries out one completed run.
    bool transfersEnabled() const noexcept { return transfersEnabled_; }
    const std::string& dirTxt() const noexcept { return dirTxt_; }

    struct Click {
        bool closeWindow = false;       // command-line mode: the run has ended
        std::optional<Error> error;     // the run stopped: shown as an error, the window stays
        // The run stopped and its report could not be written either: told with the error.
        std::optional<std::string> reportWarning;
        // What the error box says: the error, then the report's warning.
        std::string errorText() const;
        // A completed run that dropped something or warned: told before the
        // window closes, with the run report to open.
        struct Problems {
            std::string text;              // how many lines and warnings, and where the report is
            std::filesystem::path report;  // the report file
            bool reportWritten = true;     // false: text says why there is none to open
            bool undoOffered = false;      // an export that replaced a set: it can be brought back
        };
        std::optional<Problems> problems;
    };
    // A transfer button pressed with this folder chosen; messages go to the sink.
    // Once a run has completed, nothing happens. Command-line mode first
    // leaves status 0 in the settings file, and refuses the run if it cannot.
    // Throws nothing: whatever goes wrong is the click's error.
    Click run(Direction direction, const std::string& folder, MessageSink& messages);

    // The export whose problems were told is undone: the set it replaced comes
    // back through the same restore as `restaurar`, and the status becomes 0
    // (Horalina has nothing new to load). Offered once; throws nothing.
    struct UndoEnd {
        std::optional<Error> error;  // the restore stopped: the export's tables stay
        std::string text;            // otherwise what the box says
    };
    UndoEnd undo();

    // The window is closing: command-line mode leaves the status. Gives what
    // kept it from doing so; the window closes all the same.
    std::optional<Error> closing();

private:
    StartMode start_;
    RunDriver driver_;
    bool transfersEnabled_ = true;
    std::string dirTxt_;
    std::string folder_;                            // the TUXA folder of the completed run
    std::optional<std::filesystem::path> undoSet_;  // the set the completed export replaced
};

}  // namespace tht
