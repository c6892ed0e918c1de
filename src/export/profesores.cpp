// PROFT: one record per teacher code, the first line of a code deciding.
#include "export/export_step.h"
#include "export/step_support.h"
#include "export/steps.h"

namespace tht {
namespace {

constexpr Column kCode{2, 4};
constexpr Column kName{6, 90};
constexpr Column kDepartment{96, 50};

// The code as the table will hold it: bytes of the tables' code page from a line of bytes.
std::u32string storedCode(const DataLine& line) { return asStored(kCode.view(line)); }
std::string storedCode(const ByteDataLine& line) { return storedBytes(kCode.view(line)); }

}  // namespace

TableReport ExportarProfesores(const ExportContext& ctx) {
    using T = horalina::Proft;
    CodeList codes;
    return exportLines<T>(ctx, tuxa::profesores, [&](const auto& line, SchemaTable<T>& table) {
        const auto code = storedCode(line);
        if (codes.contains(code))
            return LineResult::dropped(code.empty() ? msg::drop::kEmptyTeacherRepeated : msg::drop::kTeacherRepeated,
                                       msg::report::labelled(msg::report::kTeacher, valueText(kCode.view(line))));
        codes.add(code);
        table.write(T::ABREV, storedText(code));
        table.write(T::NOMBRE, kName.view(line));
        table.write(T::DEPART, kDepartment.view(line));
        return LineResult::written();
    });
}

}  // namespace tht
