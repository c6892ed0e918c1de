#include "dbf_fixture.h"

#include <gtest/gtest.h>

#include <fstream>

#include "support/processes.h"

namespace tht::test {
namespace {

void putLe(std::string& s, std::size_t at, std::uint64_t v, int n) {
    for (int i = 0; i < n; ++i) s[at + static_cast<std::size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

}  // namespace

std::string dbfBytes(const RawTable& t) {
    const bool dBase7 = t.version == 0x04 || t.version == 0x8C;
    const bool foxPro = t.version >= 0x30 && t.version <= 0x32;
    const std::size_t fixed = dBase7 ? 68 : 32;
    const std::size_t desc = dBase7 ? 48 : 32;
    std::size_t recordLength = 1;
    for (const RawField& f : t.fields) recordLength += static_cast<std::size_t>(f.width);
    const std::size_t headerLength = fixed + desc * t.fields.size() + 1 + (foxPro ? 263 : 0);

    std::string h(headerLength, '\0');
    h[0] = static_cast<char>(t.version);
    h[1] = 124;
    h[2] = 5;
    h[3] = 17;
    putLe(h, 4, t.records.size(), 4);
    putLe(h, 8, headerLength, 2);
    putLe(h, 10, recordLength, 2);
    h[29] = static_cast<char>(t.driver);
    if (dBase7) h.replace(32, t.driverName.size(), t.driverName);
    std::size_t pos = fixed;
    std::size_t offset = 1;
    for (const RawField& f : t.fields) {
        h.replace(pos, f.name.size(), f.name);
        const std::size_t type = dBase7 ? 32 : 11;
        h[pos + type] = f.type;
        if (!dBase7) putLe(h, pos + 12, offset, 4);
        h[pos + type + (dBase7 ? 1 : 5)] = static_cast<char>(f.width & 0xFF);
        h[pos + type + (dBase7 ? 2 : 6)] = static_cast<char>(f.type == 'C' ? f.width >> 8 : f.decimals);
        if (foxPro) h[pos + 18] = static_cast<char>(f.flags);
        offset += static_cast<std::size_t>(f.width);
        pos += desc;
    }
    h[pos] = 0x0D;
    for (const std::string& r : t.records) {
        EXPECT_EQ(r.size(), recordLength) << "fixture record of the wrong length";
        h += r;
    }
    if (t.endByte) h += '\x1A';
    return h;
}

std::string le32(std::uint32_t v) {
    std::string s(4, '\0');
    putLe(s, 0, v, 4);
    return s;
}

std::string le64(std::uint64_t v) {
    std::string s(8, '\0');
    putLe(s, 0, v, 8);
    return s;
}

std::string be32(std::uint32_t v) {
    std::string s = le32(v);
    return std::string(s.rbegin(), s.rend());
}

std::string be64(std::uint64_t v) {
    std::string s = le64(v);
    return std::string(s.rbegin(), s.rend());
}

void runPython(const std::filesystem::path& folder, const std::string& program) {
    const auto script = folder / "fixture.py";
    std::ofstream(script) << program;
    int status = 0;
    const std::string out = runHostCommand("cd '" + hostPath(folder) + "' && /usr/bin/python3 fixture.py 2>&1", status);
    std::filesystem::remove(script);
    if (status != 0) ADD_FAILURE() << "python3 failed:\n" << out;
}

std::string ogrinfo(const std::filesystem::path& table) {
    int status = 0;
    runHostCommand("test -x /usr/bin/ogrinfo", status);
    if (status != 0) {
        ADD_FAILURE() << "/usr/bin/ogrinfo is missing: install gdal-bin (scripts/setup.sh does)";
        return {};
    }
    std::string out = runHostCommand("/usr/bin/ogrinfo -ro -al '" + hostPath(table) + "' 2>&1", status);
    if (status != 0) ADD_FAILURE() << "ogrinfo rejected " << table << ":\n" << out;
    return out;
}

}  // namespace tht::test
