#include <gtest/gtest.h>

#include "export/value_error.h"
#include "store/table_error.h"
#include "export/steps.h"
#include "platform/error.h"
#include "support/tuxa_builder.h"
#include "support/restrict_false_positive.h"

namespace tht {
namespace {

using test::line;
using Rows = std::vector<std::vector<std::string>>;

std::string slotLine(std::string_view code, std::string_view day, std::string_view start, std::string_view end) {
    return line({{5, code}, {9, day}, {10, start}, {14, end}});
}

const std::initializer_list<std::string_view> kAllFields = {"DIHO",      "CODDIHO",   "DIA",     "TEXTODIA",
                                                            "HORA",      "TEXTOHOR",  "HORADESDE", "HORAHASTA",
                                                            "MINUTOS",   "MARCO",     "MARCOXML"};

TEST(ExportarSesiones, WorkedExample) {
    test::RunFixture f;
    f.writeTuxa("tuxa_sesiones.txt",
                test::tuxaFile("TUXA_SESIONES.TXT",
                               {slotLine("P001", "L", "0900", "0955"), slotLine("P002", "L", "0800", "0855"),
                                slotLine("P003", "M", "0900", "0955"), slotLine("P004", "X", "1020", "1110"),
                                slotLine("P005", "V", "0800", "0850")}));
    f.step(ExportarSesiones);
    const Rows expected = {
        {"12", "P001", "1", "", "2", "2-09:00-09:55", "09:00", "09:55", "55", "0", ""},
        {"11", "P002", "1", "", "1", "1-08:00-08:55", "08:00", "08:55", "55", "0", ""},
        {"22", "P003", "2", "", "2", "2-09:00-09:55", "09:00", "09:55", "55", "0", ""},
        {"33", "P004", "3", "", "3", "3-10:20-11:10", "10:20", "11:10", "50", "0", ""},
        {"51", "P005", "5", "", "1", "1-08:00-08:50", "08:00", "08:50", "50", "0", ""},
    };
    EXPECT_EQ(f.rows("DIASHORAST", kAllFields), expected);
    EXPECT_EQ(f.fieldNames("DIASHORAST"),
              "DIHO:C:10|CODDIHO:C:10|DIA:C:20|TEXTODIA:C:20|HORA:C:8|TEXTOHOR:C:15|HORADESDE:C:8|HORAHASTA:C:8|"
              "MINUTOS:C:8|MARCO:C:1|MARCOXML:C:10");
}

THT_RESTRICT_FALSE_POSITIVE_BEGIN
TEST(ExportarSesiones, OddDaysTimesAndPeriodsOfTenAndMore) {
    test::RunFixture f;
    std::vector<std::string> lines;
    for (int h = 8; h <= 17; ++h) {
        const std::string start = (h < 10 ? "0" : "") + std::to_string(h) + "00";
        const std::string end = (h < 10 ? "0" : "") + std::to_string(h) + "50";
        lines.push_back(slotLine("S" + std::to_string(h), "X", start, end));
    }
    lines.push_back(slotLine("LOW", "l", "830", "0900"));  // 83:0 sorts after every hh:mm that starts below 8
    lines.push_back(slotLine("NEG", "Q", "1000", "0930"));
    f.writeTuxa("tuxa_sesiones.txt", test::tuxaFile("TUXA_SESIONES.TXT", lines));
    f.step(ExportarSesiones);
    const Rows rows = f.rows("DIASHORAST", {"DIHO", "DIA", "HORA", "TEXTOHOR", "MINUTOS"});
    ASSERT_EQ(rows.size(), 12u);
    EXPECT_EQ(rows[9], (std::vector<std::string>{"310", "3", "10", "10-17:00-17:50", "50"}));
    EXPECT_EQ(rows[10], (std::vector<std::string>{"l11", "l", "11", "11-83:0-09:00", "-4440"}));
    EXPECT_EQ(rows[11], (std::vector<std::string>{"Q3", "Q", "3", "3-10:00-09:30", "-30"}));
}
THT_RESTRICT_FALSE_POSITIVE_END

TEST(ExportarSesiones, ABadTimeStopsAndKeepsThePreviousTable) {
    const struct {
        std::string start, end, rejected;
    } cases[] = {{"0800", "", ":"}, {"08a0", "0900", "a0"}, {"0800", "09x5", "x5"}, {"", "0900", ":"}};
    for (const auto& c : cases) {
        test::RunFixture f;
        const auto dbf = f.dir.write("htemp/DIASHORAST.DBF", "previous");
        f.writeTuxa("tuxa_sesiones.txt", test::tuxaFile("TUXA_SESIONES.TXT", {slotLine("P1", "L", "0800", "0850"),
                                                                              slotLine("P2", "L", c.start, c.end)}));
        try {
            f.step(ExportarSesiones);
            ADD_FAILURE() << "no error for " << c.start << "-" << c.end;
        } catch (const Error& e) {
            EXPECT_EQ(e.kindOf<TuxaValueError>(), TuxaValueError::NotATime);
            EXPECT_EQ(e.context().value, c.rejected);
            EXPECT_EQ(e.context().line, 3);
        }
        EXPECT_EQ(test::readBytes(dbf), "previous");
    }
}

}  // namespace
}  // namespace tht
