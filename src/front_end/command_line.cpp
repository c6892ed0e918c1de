#include "front_end/command_line.h"

namespace tht {

std::vector<std::string> splitCommandLine(std::string_view line) {
    std::vector<std::string> arguments;
    std::string current;
    bool quoted = false;
    bool started = false;  // a pair of quotes alone still makes an argument
    for (const char c : line) {
        if (c == '"') {
            quoted = !quoted;
            started = true;
        } else if (!quoted && (c == ' ' || c == '\t')) {
            if (started) arguments.push_back(std::move(current));
            current.clear();
            started = false;
        } else {
            current += c;
            started = true;
        }
    }
    if (started) arguments.push_back(std::move(current));
    return arguments;
}

std::vector<std::string> commandLineArguments(std::string_view line) {
    std::vector<std::string> arguments = splitCommandLine(line);
    if (!arguments.empty()) arguments.erase(arguments.begin());
    return arguments;
}

}  // namespace tht
