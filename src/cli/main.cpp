#include "cli/cli.h"
#include "front_end/command_line.h"
#include "front_end/run_driver.h"
#include "platform/console.h"
#include "platform/process.h"
#include "platform/temporary_files.h"

namespace {

int run(const std::vector<std::string>& arguments) {
    tht::ignoreFileSizeLimitSignal();
    tht::installSignalCleanup();
    tht::StandardStream out(tht::StandardStream::Which::Output);
    tht::StandardStream err(tht::StandardStream::Which::Error);
    try {
        return tht::runCommandLine(arguments, out, err);
    } catch (const std::exception& e) {  // before or after the run: the run reports its own errors
        err << "error: " << tht::userError(e).what() << '\n';
        return tht::kExitStopped;
    }
}

}  // namespace

// Windows' C runtime reads the \" of "C:\Mis datos\" as a quote, leaving a
// folder that cannot exist: no Windows path holds a quote, so the line is
// split as the window splits it, every backslash kept.
#ifdef _WIN32
int wmain(int, wchar_t**) { return run(tht::splitCommandLine(tht::processCommandLine())); }
#else
int main(int argc, char** argv) { return run(tht::utf8Arguments(argc, argv)); }
#endif
