// transhoralotuxa.exe: the window Horalina starts. Reads the command line,
// shows the main window and runs the message loop until it closes.
#include <windows.h>

#include <commctrl.h>

#include "base/messages.h"
#include "front_end/command_line.h"
#include "front_end/form.h"
#include "front_end/ini_file.h"
#include "front_end/run_driver.h"
#include "platform/locations.h"
#include "platform/temporary_files.h"
#include "platform/wide_text.h"
#include "win/main_form.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    tht::installSignalCleanup();
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);

    const std::filesystem::path beside = tht::executablePath().parent_path();
    tht::win::FormOptions options;
    // The command line whole, split as the calling product writes it.
    options.arguments = tht::commandLineArguments(tht::narrow(::GetCommandLineW()));
    options.iniFile = tht::statusFolder(beside) / tht::kSettingsFileName;
    options.helpFile = beside / tht::form::kHelpFile;
    try {
        tht::win::MainForm form(instance, std::move(options));
        MSG message;
        while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
            if (form.takeKey(message)) continue;
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
    } catch (const std::exception& e) {  // the window itself failed: a run reports its own errors
        ::MessageBoxW(nullptr, tht::widen(tht::userError(e).what()).c_str(),
                      tht::widen(tht::msg::window::kApplicationTitle).c_str(), MB_OK | MB_ICONERROR);
        return 1;
    }
    return 0;
}
