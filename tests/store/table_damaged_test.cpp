// Damaged files give TableDamaged naming the file and the cause: never a
// crash, an out-of-range read or an allocation sized by a header we have not
// checked (the sanitizer build runs these).
#include <gtest/gtest.h>

#include <functional>

#include "platform/error.h"
#include "store/table.h"
#include "support/temp_dir.h"
#include "dbf_fixture.h"

namespace tht {
namespace {

using namespace std::string_literals;

std::string goodTable() {
    test::RawTable raw;
    raw.fields = {{"COD", 'C', 4}, {"N", 'N', 11}, {"I", 'I', 4}};
    raw.records = {" abcd          1"s + test::le32(7), " efgh          2"s + test::le32(8)};
    return test::dbfBytes(raw);  // header 129 bytes, records of 20
}

void setLe(std::string& s, std::size_t at, std::uint64_t v, int n) {
    for (int i = 0; i < n; ++i) s[at + static_cast<std::size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

TEST(TableDamaged, EachDamageIsReportedWithItsCause) {
    const std::string good = goodTable();
    ASSERT_EQ(good.size(), 129u + 2 * 20 + 1);
    const struct {
        const char* what;
        std::function<std::string()> bytes;
        const char* cause;  // a part of the cause
    } cases[] = {
        {"empty file", [] { return ""s; }, "cabecera está incompleta"},
        {"header cut short", [&] { return good.substr(0, 20); }, "cabecera está incompleta"},
        {"text file", [] { return "Esto no es una tabla dBase, es un texto."s; }, "versión 0x45"},
        {"dBase 7 header cut short", [&] { auto s = good.substr(0, 50); s[0] = 0x04; return s; }, "incompleta"},
        {"header longer than the file", [&] { auto s = good.substr(0, 100); return s; }, "truncada"},
        {"header length too small", [&] { auto s = good; setLe(s, 8, 97, 2); return s; }, "longitud de la cabecera"},
        {"no terminator", [&] { auto s = good.substr(0, 128); setLe(s, 8, 128, 2); setLe(s, 4, 0, 4); return s; },
         "0x0D"},
        {"record length too long", [&] { auto s = good; setLe(s, 10, 21, 2); return s; }, "longitud de registro"},
        {"record length too short", [&] { auto s = good; setLe(s, 10, 19, 2); return s; }, "longitud de registro"},
        {"last record cut short", [&] { return good.substr(0, good.size() - 5); }, "truncada"},
        {"records missing", [&] { auto s = good; setLe(s, 4, 3, 4); return s; }, "truncada"},
        {"huge record count", [&] { auto s = good; setLe(s, 4, 0xFFFFFFFF, 4); return s; }, "4294967295 registros"},
        {"huge header length", [&] { auto s = good; setLe(s, 8, 0xFFFF, 2); return s; }, "truncada"},
        {"binary field of the wrong width",
         [&] { auto s = good; s[32 * 3 + 16] = 2; setLe(s, 10, 18, 2); return s; }, "el campo I de tipo I tiene 2"},
    };
    test::TempDir dir;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto path = dir.write("ROTA.DBF", c.bytes());
        try {
            Table::open(dir.path(), "ROTA", Access::Exclusive);
            ADD_FAILURE() << "opened";
        } catch (const Error& e) {
            EXPECT_EQ(e.kindOf<TableError>(), TableError::Damaged);
            EXPECT_EQ(e.context().table, path.string());
            EXPECT_NE(e.context().cause.find(c.cause), std::string::npos) << e.context().cause;
            EXPECT_EQ(std::string(e.what()).rfind("La tabla " + path.string() + " está dañada: ", 0), 0u) << e.what();
        }
    }
}

// Every prefix of a good table, and every single-byte change of its header,
// either opens and reads or fails with TableDamaged.
TEST(TableDamaged, NoCutOrFlippedByteCrashesTheReader) {
    const std::string good = goodTable();
    test::TempDir dir;
    auto tryOpen = [&](const std::string& bytes) {
        dir.write("X.DBF", bytes);
        try {
            Table t = Table::open(dir.path(), "X", Access::Exclusive);
            for (; !t.eof(); t.next())
                for (const char* f : {"COD", "N", "I"}) try {
                        const FieldId id = t.field(f);
                        t.readString(id);
                        t.readInteger(id);
                    } catch (const Error& e) {
                        // A changed byte may rename a field or spoil a value.
                        const auto kind = e.kindOf<TableError>();
                        EXPECT_TRUE(kind == TableError::FieldMissing || kind == TableError::FieldValue) << e.what();
                    }
        } catch (const Error& e) {
            EXPECT_EQ(e.kindOf<TableError>(), TableError::Damaged) << e.what();
        }
    };
    for (std::size_t n = 0; n < good.size(); ++n) tryOpen(good.substr(0, n));
    for (std::size_t i = 0; i < 129; ++i)
        for (unsigned char v : {0x00, 0x0D, 0x20, 0x7F, 0xFF}) {
            std::string bytes = good;
            bytes[i] = static_cast<char>(v);
            tryOpen(bytes);
        }
}

TEST(TableDamaged, AMissingTableNamesItsPath) {
    test::TempDir dir;
    for (auto [folder, name] : {std::pair{dir.path(), "SOLUC"}, std::pair{dir / "nada", "SOLUC.DBF"}}) {
        try {
            Table::open(folder, name, Access::Exclusive);
            ADD_FAILURE() << "opened";
        } catch (const Error& e) {
            EXPECT_EQ(e.kindOf<TableError>(), TableError::Missing);
            EXPECT_EQ(e.context().table, (folder / "SOLUC.DBF").string());
            EXPECT_EQ(std::string(e.what()), "No existe la tabla " + (folder / "SOLUC.DBF").string());
        }
    }
    std::filesystem::create_directory(dir / "SOLUC.DBF");  // a folder is no table
    EXPECT_THROW(Table::open(dir.path(), "SOLUC", Access::Exclusive), Error);
    for (const char* bad : {"../SOLUC", "", "a/b"}) EXPECT_THROW(Table::open(dir.path(), bad, Access::Shared), Error);
}

}  // namespace
}  // namespace tht
