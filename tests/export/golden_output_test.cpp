// The tables and timetable, byte for byte, must be what earlier builds gave:
// the schools' digests were printed by tests/export/golden_digests.py, the
// odd bytes' by a build that carried text as characters and as bytes and
// found the two equal.
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>

#include "base/messages.h"
#include "run/report.h"
#include "charset/byte_map.h"
#include "charset/codepage.h"
#include "platform/code_pages.h"
#include "support/processes.h"
#include "support/tuxa_builder.h"

namespace tht {
namespace {

namespace fs = std::filesystem;

constexpr const char* kTables[] = {"ASIGNOMT", "PROFT", "AULAT", "GRUPOST", "ASIGT", "DIASHORAST"};

std::uint64_t fnv1a(std::string_view bytes) {
    std::uint64_t h = 0xcbf29ce484222325ull;
    for (unsigned char b : bytes) h = (h ^ b) * 0x100000001b3ull;
    return h;
}

// Dates masked as golden_digests.py masks them.
std::string maskedTable(std::string bytes) {
    bytes.replace(1, 3, 3, '\0');
    return bytes;
}

std::string maskedTimetable(const std::string& bytes) {
    const std::size_t bom = bytes.starts_with("\xEF\xBB\xBF") ? 3 : 0;
    std::vector<std::string> lines;
    for (std::size_t at = bom;;) {
        const std::size_t end = bytes.find("\r\n", at);
        lines.push_back(bytes.substr(at, end == std::string::npos ? std::string::npos : end - at));
        if (end == std::string::npos) break;
        at = end + 2;
    }
    for (std::string* line : {&lines.front(), &lines[lines.size() - 2]}) line->replace(59, 12, 12, '#');
    std::string out = bytes.substr(0, bom);
    for (std::size_t i = 0; i < lines.size(); ++i) out += (i ? "\r\n" : "") + lines[i];
    return out;
}

// The cp1252 TUXA files of `school` recoded to `page`, exported, and imported
// with the school's SOLUC.DBF: the six tables and the timetable, by name.
std::map<std::string, std::string> exportAndImport(const fs::path& school, const CodePage& page) {
    test::RunFixture f;
    f.ctx.codePage = &page;
    for (const auto& entry : fs::directory_iterator(school)) {
        const std::string name = entry.path().filename().string();
        if (!name.ends_with(".txt") && !name.ends_with(".TXT")) continue;
        f.writeTuxa(name, page.encode(windows1252().decode(test::readBytes(entry.path()))));
    }
    std::map<std::string, std::string> files;
    EXPECT_EQ(f.exportar(), RunOutcome::Completed);
    fs::copy_file(school / "SOLUC.DBF", f.htemp / "SOLUC.DBF");
    EXPECT_EQ(f.importar(), RunOutcome::Completed);
    for (const char* table : kTables) files[table] = test::readBytes(f.htemp / (std::string(table) + ".DBF"));
    files["TUXA_HORARIO.TXT"] = test::readBytes(f.tuxa / "TUXA_HORARIO.TXT");
    return files;
}

struct Golden {
    const char* school;
    const char* page;
    std::uint64_t digests[7];  // the six tables in kTables' order, then the timetable
};

const Golden kGolden[] = {
    {"escuela", "windows-1252", {0xa968e376ae613e27ull, 0xf14fe9fe3c47963dull, 0xb3983018e2f8d0fcull, 0x41a04e74d110a732ull, 0xabcf5f75bc1e20e4ull, 0xa8e6e1c1a9b5d013ull, 0x76e7f1d1e291d1e4ull}},
    {"escuela", "ISO-8859-15", {0xa968e376ae613e27ull, 0xf14fe9fe3c47963dull, 0xb3983018e2f8d0fcull, 0x41a04e74d110a732ull, 0xabcf5f75bc1e20e4ull, 0xa8e6e1c1a9b5d013ull, 0x76e7f1d1e291d1e4ull}},
    {"escuela", "UTF-8", {0xa968e376ae613e27ull, 0xf14fe9fe3c47963dull, 0xb3983018e2f8d0fcull, 0x41a04e74d110a732ull, 0xabcf5f75bc1e20e4ull, 0xa8e6e1c1a9b5d013ull, 0x0e8a0fe66c25e501ull}},
    {"distrito-acentos", "windows-1252", {0x31639acb82395d8eull, 0x9e3b14cba9e9a6f8ull, 0x3ef4ff64b3cdeef0ull, 0x76c8b06fb3953da4ull, 0x650ea2c3268c12f1ull, 0x9faa218ecaca5465ull, 0xce5b7830a85eba3cull}},
    {"distrito-acentos", "ISO-8859-15", {0x31639acb82395d8eull, 0x9e3b14cba9e9a6f8ull, 0x3ef4ff64b3cdeef0ull, 0x76c8b06fb3953da4ull, 0x650ea2c3268c12f1ull, 0x9faa218ecaca5465ull, 0xce5b7830a85eba3cull}},
    {"distrito-acentos", "UTF-8", {0x31639acb82395d8eull, 0x9e3b14cba9e9a6f8ull, 0x3ef4ff64b3cdeef0ull, 0x76c8b06fb3953da4ull, 0x650ea2c3268c12f1ull, 0x9faa218ecaca5465ull, 0xcfb51c317d999dcdull}},
    {"distrito-tercio", "windows-1252", {0xda2e213653fc9a8full, 0x59ed41cf7104c9f5ull, 0xf04d5fd0a33c3decull, 0xfbcd1cdc73ac9fc5ull, 0x650ea2c3268c12f1ull, 0x9faa218ecaca5465ull, 0xce5b7830a85eba3cull}},
    {"distrito-tercio", "ISO-8859-15", {0xda2e213653fc9a8full, 0x59ed41cf7104c9f5ull, 0xf04d5fd0a33c3decull, 0xfbcd1cdc73ac9fc5ull, 0x650ea2c3268c12f1ull, 0x9faa218ecaca5465ull, 0xce5b7830a85eba3cull}},
    {"distrito-tercio", "UTF-8", {0xda2e213653fc9a8full, 0x59ed41cf7104c9f5ull, 0xf04d5fd0a33c3decull, 0xfbcd1cdc73ac9fc5ull, 0x650ea2c3268c12f1ull, 0x9faa218ecaca5465ull, 0xcfb51c317d999dcdull}},
};

// The schools as golden_digests.py makes them: the example, and two districts
// of 12 schools from the benchmark's generator, every name accented or a third.
fs::path school(const test::TempDir& dir, const std::string& name) {
    const fs::path root(THT_SOURCE_DIR);
    const fs::path folder = dir / name;
    if (fs::exists(folder)) return folder;
    if (name == "escuela") {
        fs::copy(root / "examples" / "escuela", folder);
        fs::copy_file(root / "examples" / "horalina" / "SOLUC.DBF", folder / "SOLUC.DBF");
        return folder;
    }
    const std::string accents = name == "distrito-acentos" ? "all" : "third";
    // The generator is the host's Python, also when this test is a Windows program under Wine.
    const std::string command = "/usr/bin/python3 '" + test::hostPath(root / "bench" / "generate_district.py") +
                                "' --schools 12 --accents " + accents + " '" + test::hostPath(folder) + "'";
    int status = -1;
    test::runHostCommand(command, status);
    EXPECT_EQ(status, 0) << command;
    return folder;
}

TEST(GoldenOutput, SchoolsGiveWhatEarlierBuildsGave) {
    test::TempDir dir;
    for (const Golden& g : kGolden) {
        SCOPED_TRACE(std::string(g.school) + " in " + g.page);
        const CodePage page = openCodePage(g.page);
        const fs::path folder = school(dir, g.school);
        const auto files = exportAndImport(folder, page);
        std::size_t i = 0;
        for (const auto& name : {"ASIGNOMT", "PROFT", "AULAT", "GRUPOST", "ASIGT", "DIASHORAST", "TUXA_HORARIO.TXT"}) {
            SCOPED_TRACE(name);
            const std::string& file = files.at(name);
            EXPECT_EQ(fnv1a(i < 6 ? maskedTable(file) : maskedTimetable(file)), g.digests[i]);
            ++i;
        }
    }
}

// Raw bytes of the file's code page at 1-based columns, spaces between.
std::string placed(std::initializer_list<std::pair<std::size_t, std::string_view>> fields) {
    std::string line = "1";
    for (const auto& [column, bytes] : fields) {
        if (line.size() < column - 1 + bytes.size()) line.resize(column - 1 + bytes.size(), ' ');
        line.replace(column - 1, bytes.size(), bytes);
    }
    return line;
}

// Lines that a change of text form could get wrong: bytes the code
// page leaves undefined, characters the tables' code page cannot hold (two
// codes that become the same "?" codes, a subject code no assignment finds
// again), a carriage return inside a line, a tag line among the data, a
// file cut short, a NUL, and Ctrl-Z.
void writeOddSchool(const test::RunFixture& f, std::string_view unheld, std::string_view undefined) {
    const std::string alpha(unheld.substr(0, 1)), beta(unheld.substr(1, 1));
    f.writeTuxa("tuxa_asignat.txt",
                test::tuxaFile("TUXA_ASIGNAT.TXT",
                               {placed({{2, "MATES"}, {22, "Matem" + alpha + "ticas" + std::string(undefined)}}),
                                placed({{2, alpha + beta + "C"}, {22, "Griego " + beta}, {172, "7"}}),
                                placed({{2, "LENGUA"}, {22, "Lengua\rCastellana"}})}));
    f.writeTuxa("tuxa_prof.txt", test::tuxaFile("TUXA_PROF.TXT", {placed({{2, alpha + "A"}, {6, "Ana " + beta}}),
                                                                  placed({{2, beta + "A"}, {6, "Otra"}}),
                                                                  placed({{2, " tuxa_prof.txt"}}),
                                                                  placed({{2, "JL"}, {6, std::string(undefined)}})}));
    std::string rooms = test::tuxaFile("TUXA_AULAS.TXT", {placed({{2, "A1"}, {12, "Aula " + alpha}, {82, "Planta"}}),
                                                          placed({{2, "A2" + std::string(undefined)}})});
    rooms.resize(rooms.rfind("9TUXA"));  // no trailer line
    f.writeTuxa("tuxa_aulas.txt", rooms);
    f.writeTuxa("tuxa_grupo.txt", test::tuxaFile("TUXA_GRUPOS.TXT", {placed({{2, "1ESOA"}, {15, "ESO"}, {21, "1"},
                                                                            {24, "1" + beta}, {33, "M"}})}));
    f.writeTuxa("tuxa_asignatgrupo.txt",
                test::tuxaFile("TUXA_ASIGNATGRUPO.TXT", {placed({{2, "1ESOA"}, {12, "MATES"}}),
                                                         placed({{2, "1ESOA"}, {12, alpha + beta + "C"}, {32, "7"}}),
                                                         placed({{2, "1ESOB"}, {12, "MATES"}})}) +
                    "\x1A" + placed({{2, "1ESOA"}, {12, "LENGUA"}}));
    f.writeTuxa("tuxa_asignatcurso.txt", test::tuxaFile("TUXA_ASIGNATCURSO.TXT",
                                                        {placed({{2, "ESO"}, {5, "M"}, {8, "1"}, {24, "MATES"},
                                                                 {44, "4,5"}})}));
    std::string sessions = test::tuxaFile("TUXA_SESIONES.TXT", {placed({{5, "P001"}, {9, "L"}, {10, "0800"}, {14, "0900"}}),
                                                               placed({{5, "P002"}, {9, "M"}, {10, "0800"}, {14, "0900"}})});
    sessions.insert(sessions.find("1   P002"), 1, '\0');
    f.writeTuxa("tuxa_sesiones.txt", sessions);
}

// The six tables that every case below gives: what the tables' code page
// cannot hold is "?" whichever byte it came from. The assignment of "??C"
// finds its subject as ASIGNOMT holds it, as it always did from a UTF-8 file.
constexpr std::uint64_t kOddTables[] = {0xd3bfa5de4970a962ull, 0xae60e4b62a6df44full, 0xf1cc040cf27507b0ull,
                                        0xc1c61a7dd8efa7a1ull, 0xcbd84c023f6b7e8dull, 0xf3924e685d36e7bdull};

TEST(GoldenOutput, OddBytesGiveWhatEarlierBuildsGave) {
    const struct {
        const char* page;
        std::string_view unheld;     // two bytes whose characters the tables' code page cannot hold
        std::string_view undefined;  // a byte the page leaves undefined
        bool warnsOfIt;              // the page reads it as no character at all
    } cases[] = {
        {"ISO-8859-7", "\xE1\xE2", "\xAE", true},    // Greek letters; undefined bytes read as U+FFFD
        {"windows-1253", "\xE1\xE2", "\xD2", true},
        {"windows-1252", "\x81\x8D", "\x90", false},  // undefined bytes read as control characters
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.page);
        const CodePage page = openCodePage(c.page);
        ASSERT_TRUE(ByteMap::between(page, windows1252()).has_value());
        test::RunFixture f;
        f.ctx.codePage = &page;
        writeOddSchool(f, c.unheld, c.undefined);
        ASSERT_EQ(f.exportar(), RunOutcome::Completed);
        for (std::size_t i = 0; i < std::size(kTables); ++i)
            EXPECT_EQ(fnv1a(maskedTable(test::readBytes(f.htemp / (std::string(kTables[i]) + ".DBF")))), kOddTables[i])
                << kTables[i];
        const std::string summary = formatSummary(f.reports);
        EXPECT_NE(summary.find("puede estar incompleto"), std::string::npos) << summary;
        EXPECT_NE(summary.find("carácter nulo en la línea 3"), std::string::npos) << summary;
        EXPECT_EQ(summary.find(" leer con la página de códigos " + std::string(c.page)) != std::string::npos,
                  c.warnsOfIt)
            << summary;
        EXPECT_NE(summary.find("código de profesor repetido"), std::string::npos) << summary;
        EXPECT_NE(summary.find("buscada en ASIGNOMT con «?»"), std::string::npos) << summary;
    }
}

// Two subject codes that differ only in letters windows-1252 lacks are one
// code in the tables: whichever page the files came in, the tables are the
// same, and the report names the line where the second code became the first.
TEST(GoldenOutput, CodesThatBecomeOneAreReported) {
    std::map<std::string, std::string> first;
    for (const char* pageName : {"UTF-8", "windows-1253"}) {
        SCOPED_TRACE(pageName);
        const CodePage page = openCodePage(pageName);
        // A line of characters in the page: fields at 1-based columns counted in characters.
        auto in = [&](std::initializer_list<std::pair<std::size_t, std::u32string_view>> fields) {
            std::u32string line = U"1";
            for (const auto& [column, text] : fields) {
                line.resize(column - 1, U' ');
                line += text;
            }
            return page.encode(line);
        };
        test::RunFixture f;
        f.ctx.codePage = &page;
        f.ctx.guessUtf8 = true;
        f.writeTuxa("tuxa_asignat.txt",
                    test::tuxaFile("TUXA_ASIGNAT.TXT", {in({{2, U"αβC"}, {22, U"Griego"}}),
                                                        in({{2, U"γδC"}, {22, U"Otro"}})}));
        f.writeTuxa("tuxa_grupo.txt", test::tuxaFile("TUXA_GRUPOS.TXT", {placed({{2, "1ESOA"}, {15, "ESO"}})}));
        f.writeTuxa("tuxa_asignatgrupo.txt",
                    test::tuxaFile("TUXA_ASIGNATGRUPO.TXT", {in({{2, U"1ESOA"}, {12, U"αβC"}}),
                                                             in({{2, U"1ESOA"}, {12, U"γδC"}})}));
        ASSERT_EQ(f.exportar(), RunOutcome::Completed);
        EXPECT_EQ(f.rows("ASIGNOMT", {"COD", "CODTUXA"}),
                  (std::vector<std::vector<std::string>>{{"??C", "??C"}, {"??C1", "??C"}}));
        EXPECT_EQ(f.rows("ASIGT", {"CASIG"}), (std::vector<std::vector<std::string>>{{"??C"}, {"??C"}}));
        // The report names the file, the line and the code as the tables hold it.
        auto noted = [&](const char* table, std::string_view reason) -> const DropGroup* {
            for (const TableReport& r : f.reports)
                if (r.table == table)
                    for (const DropGroup& g : r.drops)
                        if (g.reason == reason) return &g;
            return nullptr;
        };
        const DropGroup* merged = noted("ASIGNOMT", msg::drop::kSubjectCodeMerged);
        ASSERT_TRUE(merged);
        EXPECT_EQ(merged->lineFile, "tuxa_asignat.txt");
        EXPECT_EQ(merged->lines, std::vector<std::int64_t>{3});
        EXPECT_NE(merged->value(0).find("??C"), std::string_view::npos) << merged->value(0);
        const DropGroup* unheld = noted("ASIGT", msg::drop::kSubjectCodeUnheld);
        ASSERT_TRUE(unheld);
        EXPECT_EQ(unheld->lines, (std::vector<std::int64_t>{2, 3}));
        std::map<std::string, std::string> tables;
        for (const char* table : kTables)
            if (fs::exists(f.htemp / (std::string(table) + ".DBF")))
                tables[table] = maskedTable(test::readBytes(f.htemp / (std::string(table) + ".DBF")));
        if (first.empty()) first = tables;
        else EXPECT_TRUE(tables == first);
    }
}

}  // namespace
}  // namespace tht
