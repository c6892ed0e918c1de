#pragma once
// The window's arguments from the whole command line, as the calling product
// writes it: blanks separate arguments, a stretch in double quotes may hold
// blanks, and the quotes themselves are dropped ("" is an empty argument).
#include <string>
#include <string_view>
#include <vector>

namespace tht {

// Every argument, the program's own name first.
std::vector<std::string> splitCommandLine(std::string_view line);

// The arguments after the program's own name.
std::vector<std::string> commandLineArguments(std::string_view line);

}  // namespace tht
