#include <iostream>

#include "cli/cli.h"
#include "platform/process.h"
#include "platform/temporary_files.h"

int main(int argc, char** argv) {
    tht::ignoreFileSizeLimitSignal();
    tht::installSignalCleanup();
    return tht::runCommandLine(argc, argv, std::cout, std::cerr);
}
