// AULAT: one record per data line, the name joined from two columns.
#include "export/export_step.h"
#include "export/steps.h"

namespace tht {
namespace {

constexpr Column kCode{2, 10};
constexpr Column kNameFirst{12, 70};
constexpr Column kNameSecond{82, 100};

}  // namespace

TableReport ExportarAulas(const ExportContext& ctx) {
    using T = horalina::Aulat;
    std::string name;  // reused across lines
    return exportLines<T>(ctx, tuxa::aulas, [&](const DataLine& line, SchemaTable<T>& table) {
        table.write(T::ABREV, kCode(line));
        name.assign(kNameFirst(line)).append(1, ' ').append(kNameSecond(line));
        table.write(T::NOMBRE, name);
        return LineResult::written();
    });
}

}  // namespace tht
