#pragma once
// The independent reader: Debian's python3-dbfread run with /usr/bin/python3.
// A table that only our own reader accepts is not done.
#include <filesystem>
#include <string>

namespace tht::test {

// Every record of a table as dbfread sees it, one line per record:
// FIELD=value|FIELD=value... (values of C fields decoded from cp1252, numbers
// as Python prints them, booleans as True/False, None for blanks). The first
// line lists the fields as NAME:TYPE:LENGTH:DECIMALS. Fails the test when
// dbfread rejects the file.
std::string dumpWithDbfread(const std::filesystem::path& table);

}  // namespace tht::test
