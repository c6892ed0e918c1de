#pragma once
// Other programs, run from a test: the command line under test, and the
// independent tools of the machine that runs the tests (Python's dbfread,
// GDAL), also when the test itself is a Windows program under Wine.
#include <filesystem>
#include <string>
#include <vector>

namespace tht::test {

struct ProgramResult {
    int code = -1;  // the exit code; -1 when the program did not end by itself
    std::string out, err;
};

// Runs program with these arguments, no shell between, and captures its
// standard output and error (through files in scratch).
ProgramResult runProgram(const std::filesystem::path& program, const std::vector<std::string>& args,
                         const std::filesystem::path& scratch);

// Runs a command of the host's shell (/bin/sh) and gives its standard output;
// status is 0 when it succeeded.
std::string runHostCommand(const std::string& command, int& status);

// A path as the host's programs name it.
std::string hostPath(const std::filesystem::path& p);

}  // namespace tht::test
