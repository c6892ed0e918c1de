// GRUPOST: one record per data line, with a readable description.
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
    return exportLines<T>(ctx, tuxa::grupos, [&](const auto& line, SchemaTable<T>& table) {
        const std::u32string unit = kUnit(line);
        const std::u32string shift = kShift(line);
        std::u32string level = kLevel(line);
        const std::u32string course = kCourse(line);
        const std::u32string group = unit.empty() ? std::u32string() : unit.substr(unit.size() - 1);
        if (level.empty()) level = U"NIV";
        table.write(T::ABREV, unit);
        table.write(T::TURNO, shift);
        table.write(T::NIVEL, level);
        table.write(T::CURSO, course);
        table.write(T::GRUPO, group);
        table.write(T::MARCO, U"0");
        table.write(T::UNIDAD, unit);
        table.write(T::DESCRIP,
                    U"(" + kDescription(line) + U") " + shift + U" " + level + U" " + course + U" " + group);
        return LineResult::written();
    });
}

}  // namespace tht
