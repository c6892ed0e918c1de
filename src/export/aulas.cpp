// AULAT: one record per data line, the name joined from two columns.
#include "export/export_step.h"
#include "export/steps.h"

namespace tht {
namespace {

constexpr Column kCode{2, 10};
constexpr Column kNameFirst{12, 70};
constexpr Column kNameSecond{82, 100};

// The two parts of the name with one space between, in a buffer reused across lines.
struct JoinedName {
    std::u32string characters;
    std::string bytes;

    std::u32string_view operator()(std::u32string_view first, std::u32string_view second) {
        characters.assign(first).append(1, U' ').append(second);
        return characters;
    }
    ByteText operator()(const ByteText& first, const ByteText& second) {
        bytes.assign(first.bytes).append(1, ' ').append(second.bytes);
        return {bytes, first.map};
    }
};

}  // namespace

TableReport ExportarAulas(const ExportContext& ctx) {
    using T = horalina::Aulat;
    JoinedName name;
    return exportLines<T>(ctx, tuxa::aulas, [&](const auto& line, SchemaTable<T>& table) {
        table.write(T::ABREV, kCode.view(line));
        table.write(T::NOMBRE, name(kNameFirst.view(line), kNameSecond.view(line)));
        return LineResult::written();
    });
}

}  // namespace tht
