#include "cli/cli.h"
#include "platform/console.h"
#include "platform/process.h"
#include "platform/temporary_files.h"

namespace {

int run(const std::vector<std::string>& arguments) {
    tht::ignoreFileSizeLimitSignal();
    tht::installSignalCleanup();
    tht::StandardStream out(tht::StandardStream::Which::Output);
    tht::StandardStream err(tht::StandardStream::Which::Error);
    return tht::runCommandLine(arguments, out, err);
}

}  // namespace

// Windows hands the arguments over as wide characters only to wmain.
#ifdef _WIN32
int wmain(int argc, wchar_t** argv) { return run(tht::utf8Arguments(argc, argv)); }
#else
int main(int argc, char** argv) { return run(tht::utf8Arguments(argc, argv)); }
#endif
