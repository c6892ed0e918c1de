#include "support/dbfread.h"

#include <gtest/gtest.h>

#include "support/processes.h"

namespace tht::test {

std::string dumpWithDbfread(const std::filesystem::path& table) {
    const std::string script = std::string(THT_SOURCE_DIR) + "/tests/support/dbfdump.py";
    const std::string command = "/usr/bin/python3 '" + script + "' '" + hostPath(table) + "' 2>&1";
    int status = 0;
    std::string out = runHostCommand(command, status);
    if (status != 0) ADD_FAILURE() << "dbfread rejected " << table << ":\n" << out;
    return out;
}

}  // namespace tht::test
