#include "support/tuxa_builder.h"

#include "export/export_run.h"
#include "import/import_run.h"
#include "charset/codepage.h"
#include "platform/code_pages.h"
#include "support/dbfread.h"
#include "charset/unicode.h"
#include "store/table.h"
#include "support/table_page.h"

namespace tht::test {

std::string line(std::initializer_list<Placed> fields) {
    std::u32string text = U"1";
    for (const auto& [column, utf8] : fields) {
        const std::u32string value = fromUtf8(utf8);
        if (text.size() < column - 1 + value.size()) text.resize(column - 1 + value.size(), U' ');
        text.replace(column - 1, value.size(), value);
    }
    return windows1252().encode(text);
}

std::string tuxaFile(std::string_view tag, const std::vector<std::string>& dataLines, std::string_view centre) {
    std::string frame(tag);
    frame.resize(50, ' ');
    frame += centre;
    std::string out = "0" + frame + "091220241405\r\n";
    for (const auto& l : dataLines) out += l + "\r\n";
    out += "9" + frame + "091220241405" + std::to_string(dataLines.size()) + "\r\n";
    return out;
}

RunFixture::RunFixture()
    : tuxa(dir / "tuxa"),
      htemp(dir / "htemp"),
      ctx(RunContext::forFolder(tuxa.string(), htemp, InvocationMode::Interactive, sink,
                                [] { return LocalDateTime{2024, 12, 9, 14, 5, 0}; })) {
    std::filesystem::create_directories(tuxa);
    std::filesystem::create_directories(htemp);
}

namespace {
RunOutcome applied(RunResult result, int& estado, std::vector<TableReport>& reports) {
    if (result.status) estado = *result.status;
    reports = std::move(result.reports);
    if (result.error) throw *result.error;
    return result.outcome;
}
}  // namespace

RunOutcome RunFixture::exportar() { return applied(tht::exportar(ctx), estado, reports); }
RunOutcome RunFixture::importar() { return applied(tht::importar(ctx), estado, reports); }

TableReport RunFixture::step(TableReport (*exportStep)(const ExportContext&)) {
    TableBatch tables(ctx.htemp);
    TableReport report = exportStep(ExportContext(ctx, tables));
    tables.commit();
    return report;
}

void RunFixture::writeTuxa(std::string_view fileName, std::string_view bytes) const {
    dir.write("tuxa/" + std::string(fileName), bytes);
}

std::vector<std::vector<std::string>> RunFixture::rows(std::string_view table,
                                                       std::initializer_list<std::string_view> fields) const {
    Table t = Table::open(htemp, table, Access::Shared, true);
    std::vector<FieldId> ids;
    for (auto f : fields) ids.push_back(t.field(f));
    std::vector<std::vector<std::string>> out;
    for (t.first(); !t.eof(); t.next()) {
        auto& row = out.emplace_back();
        for (FieldId id : ids) row.push_back(utf8FromCp1252(t.readString(id)));
    }
    t.close();
    return out;
}

}  // namespace tht::test

namespace tht::test {

std::vector<bool> RunFixture::booleans(std::string_view table, std::string_view field) const {
    Table t = Table::open(htemp, table, Access::Shared, true);
    const FieldId id = t.field(field);
    std::vector<bool> out;
    for (t.first(); !t.eof(); t.next()) out.push_back(t.readBoolean(id));
    return out;
}

std::vector<double> RunFixture::floats(std::string_view table, std::string_view field) const {
    Table t = Table::open(htemp, table, Access::Shared, true);
    const FieldId id = t.field(field);
    std::vector<double> out;
    for (t.first(); !t.eof(); t.next()) out.push_back(t.readFloat(id));
    return out;
}

std::string RunFixture::fieldNames(std::string_view table) const {
    const std::string dump = dumpWithDbfread(htemp / (std::string(table) + ".DBF"));
    std::string first = dump.substr(0, dump.find('\n'));
    // NAME:TYPE:LENGTH:DECIMALS -> NAME:TYPE:LENGTH, keeping decimals only when set
    std::string out;
    std::size_t start = 0;
    while (start <= first.size()) {
        std::size_t end = first.find('|', start);
        if (end == std::string::npos) end = first.size();
        std::string item = first.substr(start, end - start);
        if (item.size() >= 2 && item.ends_with(":0")) item.resize(item.size() - 2);
        out += (out.empty() ? "" : "|") + item;
        start = end + 1;
    }
    return out;
}

}  // namespace tht::test
