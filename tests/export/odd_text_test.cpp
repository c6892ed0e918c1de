// What looked odd in a TUXA file's text is said, with its count and the
// physical line of the first, and no NUL reaches a table.
#include <gtest/gtest.h>

#include "export/steps.h"
#include "export/value_error.h"
#include "platform/error.h"
#include "support/tuxa_builder.h"

namespace tht {
namespace {

using test::line;

// s with its first `from` after `after` replaced by `to`.
std::string replaced(std::string s, std::string_view after, std::string_view from, std::string_view to) {
    const auto at = s.find(from, s.find(after));
    return s.replace(at, from.size(), to);
}

TEST(OddText, IsSaidWithItsCountAndFirstLine) {
    const std::string groups = test::tuxaFile("TUXA_GRUPOS.TXT", {line({{2, "1EXOA"}, {15, "ESO"}})});
    const std::string teachers = test::tuxaFile(
        "TUXA_PROF.TXT", {line({{2, "AB1"}, {6, "Ana"}}), line({{2, "CD"}, {6, "Otro"}}), line({{2, "ab1"}, {6, "Eva"}})});
    const std::string sessions = test::tuxaFile("TUXA_SESIONES.TXT", {line({{5, "P1"}, {9, "L"}, {10, "0800"}, {14, "0900"}})});
    const struct {
        const char* why;
        const char* file;
        std::string bytes;
        TableReport (*step)(const ExportContext&);
        std::vector<std::string> warnings;  // each found in one warning
        std::vector<std::int64_t> dropped;  // line numbers of the drops
        const char* table;
        const char* field;
        std::string firstValue;
    } cases[] = {
        {"a NUL in a line-read file reads as a space", "tuxa_grupo.txt", replaced(groups, "1EXOA", "X", std::string(1, '\0')),
         ExportarGrupos, {"tuxa_grupo.txt tiene 1 carácter nulo en la línea 2: se han leído como espacios"}, {},
         "GRUPOST", "ABREV", "1E OA"},
        {"lone CRs join lines, and later numbers count them", "tuxa_prof.txt", replaced(teachers, "Ana", "\r\n", "\r"),
         ExportarProfesores, {"tuxa_prof.txt tiene 1 retorno de carro suelto en la línea 2"}, {4}, "PROFT", "ABREV",
         "AB1"},
        {"two lone CRs", "tuxa_prof.txt", replaced(replaced(teachers, "Ana", "\r\n", "\r"), "Otro", "\r\n", "\r"),
         ExportarProfesores, {"2 retornos de carro sueltos (el primero en la línea 2)"}, {}, "PROFT", "ABREV", "AB1"},
        {"a NUL ends a whole-read file's text", "tuxa_sesiones.txt", replaced(sessions, "0900", "\r\n9", std::string("\r\n\0", 3)),
         ExportarSesiones, {"tuxa_sesiones.txt tiene 1 carácter nulo en la línea 3: el texto termina ahí", "línea final"},
         {}, "DIASHORAST", "HORADESDE", "08:00"},
        {"a UTF-8 file with a character the tables cannot hold", "tuxa_prof.txt",
         replaced(teachers, "Otro", "O", "\xC5\x81"), ExportarProfesores,
         {"tuxa_prof.txt está guardado en UTF-8",
          "tuxa_prof.txt tiene 1 carácter en la línea 3 que no cabe en la página de códigos windows-1252"},
         {4}, "PROFT", "ABREV", "AB1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        test::RunFixture f;
        f.ctx.guessUtf8 = true;
        f.writeTuxa(c.file, c.bytes);
        const TableReport report = f.step(c.step);
        for (const auto& w : c.warnings) {
            bool found = false;
            for (const auto& given : report.warnings) found = found || given.find(w) != std::string::npos;
            EXPECT_TRUE(found) << w << "\n" << testing::PrintToString(report.warnings);
        }
        std::vector<std::int64_t> dropped;
        for (const auto& d : report.drops) dropped.insert(dropped.end(), d.firstNumbers.begin(), d.firstNumbers.end());
        EXPECT_EQ(dropped, c.dropped);
        EXPECT_EQ(f.rows(c.table, {c.field}).at(0).at(0), c.firstValue);
    }
}

TEST(OddText, ATimeANulCutShortSaysSo) {
    test::RunFixture f;
    f.writeTuxa("tuxa_sesiones.txt",
                replaced(test::tuxaFile("TUXA_SESIONES.TXT", {line({{5, "P1"}, {9, "L"}, {10, "0800"}, {14, "0900"}})}),
                         "0800", "09", std::string(1, '\0')));
    try {
        f.step(ExportarSesiones);
        ADD_FAILURE() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.kindOf<TuxaValueError>(), TuxaValueError::TimeCutAtNul);
        EXPECT_EQ(e.context().line, 2);
        EXPECT_NE(std::string(e.what()).find("tuxa_sesiones.txt"), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("carácter nulo"), std::string::npos) << e.what();
    }
}

}  // namespace
}  // namespace tht
