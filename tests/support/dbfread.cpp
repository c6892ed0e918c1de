#include "support/dbfread.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>

namespace tht::test {

std::string dumpWithDbfread(const std::filesystem::path& table) {
    const std::string script = std::string(THT_SOURCE_DIR) + "/tests/support/dbfdump.py";
    const std::string command = "/usr/bin/python3 '" + script + "' '" + table.string() + "' 2>&1";
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) {
        ADD_FAILURE() << "cannot run " << command;
        return out;
    }
    std::array<char, 4096> buf;
    for (std::size_t n; (n = fread(buf.data(), 1, buf.size(), pipe)) > 0;) out.append(buf.data(), n);
    const int status = pclose(pipe);
    if (status != 0) ADD_FAILURE() << "dbfread rejected " << table << ":\n" << out;
    return out;
}

}  // namespace tht::test
