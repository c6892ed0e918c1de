// GRUPOST: one record per data line, with a readable description.
#include <initializer_list>
#include <string>
#include <string_view>

#include "export/export_step.h"
#include "export/steps.h"

namespace tht {
namespace {

constexpr Column kUnit{2, 10};
constexpr Column kLevel{15, 3};
constexpr Column kCourse{21, 3};
constexpr Column kDescription{24, 10};  // its last column is also the first of the shift
constexpr Column kShift{33, 3};

}  // namespace

TableReport ExportarGrupos(const ExportContext& ctx) {
    using T = horalina::Grupost;
    std::string description;  // reused across lines
    return exportLines<T>(ctx, tuxa::grupos, [&](const DataLine& line, SchemaTable<T>& table) {
        const std::string_view unit = kUnit(line);
        const std::string_view shift = kShift(line);
        const std::string_view level = kLevel(line).empty() ? std::string_view("NIV") : kLevel(line);
        const std::string_view course = kCourse(line);
        const std::string_view group = unit.empty() ? std::string_view() : unit.substr(unit.size() - 1);
        table.write(T::ABREV, unit);
        table.write(T::TURNO, shift);
        table.write(T::NIVEL, level);
        table.write(T::CURSO, course);
        table.write(T::GRUPO, group);
        table.write(T::MARCO, "0");
        table.write(T::UNIDAD, unit);
        description.clear();
        for (const std::string_view part :
             std::initializer_list<std::string_view>{"(", kDescription(line), ") ", shift, " ", level, " ", course, " ", group})
            description += part;
        table.write(T::DESCRIP, description);
        return LineResult::written();
    });
}

}  // namespace tht
