#include <iostream>

#include "cli/cli.h"
#include "platform/process.h"

int main(int argc, char** argv) {
    tht::ignoreFileSizeLimitSignal();
    return tht::runCommandLine(argc, argv, std::cout, std::cerr);
}
