#pragma once
#include <iosfwd>

namespace tht {

// The whole command line: parses the arguments, runs, prints, and gives the
// exit code (0 done with status 1, 1 done with status -1, 2 stopped, 64 usage).
int runCommandLine(int argc, char** argv, std::ostream& out, std::ostream& err);

}  // namespace tht
