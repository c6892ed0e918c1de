#pragma once
// Tables built byte by byte, as other programs would write them, and tables
// written at test time by Debian's python3-dbf.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace tht::test {

struct RawField {
    std::string name;
    char type;
    int width;
    int decimals = 0;
    std::uint8_t flags = 0;  // Visual FoxPro field flags
};

struct RawTable {
    std::uint8_t version = 0x03;
    std::uint8_t driver = 0x58;
    std::string driverName{};  // dBase 7 only
    std::vector<RawField> fields{};
    std::vector<std::string> records{};  // each with its flag byte
    bool endByte = true;
};

// Header, descriptors, 0x0D, the Visual FoxPro backlink for versions
// 0x30-0x32, records, 0x1A. dBase 7 (0x04, 0x8C) gets its 68-byte header
// and 48-byte descriptors.
std::string dbfBytes(const RawTable& t);

// Little-endian numbers, for record bytes of binary fields.
std::string le32(std::uint32_t v);
std::string le64(std::uint64_t v);
std::string be32(std::uint32_t v);
std::string be64(std::uint64_t v);

// Runs a Python program with /usr/bin/python3 in `folder`; fails the test
// with its output when it fails.
void runPython(const std::filesystem::path& folder, const std::string& program);

// `ogrinfo -ro -al` of a table; fails the test when GDAL's ogrinfo is missing
// or rejects the table.
std::string ogrinfo(const std::filesystem::path& table);

}  // namespace tht::test
