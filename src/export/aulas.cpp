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
    std::u32string name;
    return exportLines<T>(ctx, tuxa::aulas, [&](std::u32string_view line, SchemaTable<T>& table) {
        name = kNameFirst.view(line);
        name += U' ';
        name += kNameSecond.view(line);
        table.write(T::ABREV, kCode.view(line));
        table.write(T::NOMBRE, name);
        return LineResult::written();
    });
}

}  // namespace tht
