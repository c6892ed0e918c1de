#pragma once
#include <iosfwd>
#include <string>
#include <vector>

namespace tht {

// The whole command line: parses the arguments, runs, prints, and gives the
// exit code (0 done with status 1, 1 done with status -1, 2 stopped, 64 usage).
// The arguments are UTF-8, the program's name first.
int runCommandLine(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

}  // namespace tht
