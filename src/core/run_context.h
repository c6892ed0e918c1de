#pragma once
// What the window holds for a run, without the window: the TUXA folder text,
// the two process-wide values, Horalina's data folder, the message sink and
// the clock.
#include <filesystem>
#include <string>

#include "core/message_sink.h"
#include "platform/clock.h"

namespace tht {

struct RunContext {
    std::string dirTxt;                     // the TUXA folder followed by the separator
    std::filesystem::path htemp;            // Horalina's data folder
    MessageSink* messages = nullptr;
    int* EstadoTransformacion = nullptr;    // the process-wide result status
    int ModoEjecucion = 0;                  // 2 in command-line mode
    Clock clock = systemLocalTime;

    void show(const std::string& message) const { messages->show(message); }
    std::filesystem::path tuxaPath(std::string_view fileName) const;
};

// dirTxt for a folder: the folder text followed by the separator, appended
// even when the text already ends in one.
std::string makeDirTxt(const std::string& folder);

// How a run ended when it did not stop on an error.
enum class RunOutcome {
    FolderMissing,  // "No existe la carpeta" was shown
    Completed,      // "Proceso finalizado" was shown
};

}  // namespace tht
