// PROFT: one record per teacher code, the first line of a code deciding.
#include "export/export_step.h"
#include "export/step_support.h"
#include "export/steps.h"

namespace tht {
namespace {

constexpr Column kCode{2, 4};
constexpr Column kName{6, 90};
constexpr Column kDepartment{96, 50};

}  // namespace

TableReport ExportarProfesores(const ExportContext& ctx) {
    using T = horalina::Proft;
    CodeList codes;
    return exportLines<T>(ctx, tuxa::profesores, [&](const DataLine& line, SchemaTable<T>& table) {
        const std::string_view code = kCode(line);
        if (codes.contains(code))
            return LineResult::dropped(code.empty() ? msg::drop::kEmptyTeacherRepeated : msg::drop::kTeacherRepeated,
                                       msg::report::labelled(msg::report::kTeacher, valueText(code)));
        codes.add(code);
        table.write(T::ABREV, code);
        table.write(T::NOMBRE, kName(line));
        table.write(T::DEPART, kDepartment(line));
        return LineResult::written();
    });
}

}  // namespace tht
