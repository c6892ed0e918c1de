#include <iostream>

#include "cli/cli.h"

int main(int argc, char** argv) { return tht::runCommandLine(argc, argv, std::cout, std::cerr); }
