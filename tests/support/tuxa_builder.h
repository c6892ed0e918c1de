#pragma once
// Small TUXA folders for tests: fixed-column lines placed by 1-based column,
// framed by title and trailer lines, encoded in cp1252.
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "run/run_context.h"
#include "export/steps.h"
#include "support/temp_dir.h"

namespace tht::test {

using Placed = std::pair<std::size_t, std::string_view>;  // column, UTF-8 text

// A line with each text at its column, blanks between; column 1 is "1" unless placed.
std::string line(std::initializer_list<Placed> fields);
// Title line, the data lines, trailer line, each ended by CR LF, in cp1252.
std::string tuxaFile(std::string_view tag, const std::vector<std::string>& dataLines,
                     std::string_view centre = "CENTRO01");

class RecordingSink final : public MessageSink {
public:
    void show(const std::string& message) override { messages.push_back(message); }
    std::vector<std::string> messages;
};

// A TUXA folder and a Horalina folder in a fresh temporary folder, and a run
// context on them.
struct RunFixture {
    RunFixture();
    TempDir dir;
    std::filesystem::path tuxa, htemp;
    RecordingSink sink;
    RunContext ctx;
    int estado = 0;                    // the result status, as the window keeps it across runs
    std::vector<TableReport> reports;  // of the last run

    // A whole run on ctx: its status applied to estado, its reports kept, and
    // the error that stopped it thrown, as a test expects to catch it.
    RunOutcome exportar();
    RunOutcome importar();
    // One export step on ctx, its table given its name when the step ends.
    TableReport step(TableReport (*exportStep)(const ExportContext&));

    void writeTuxa(std::string_view fileName, std::string_view bytes) const;
    // Every record of a table as UTF-8 texts of the named fields, read as strings.
    std::vector<std::vector<std::string>> rows(std::string_view table, std::initializer_list<std::string_view> fields) const;
    std::vector<bool> booleans(std::string_view table, std::string_view field) const;
    std::vector<double> floats(std::string_view table, std::string_view field) const;
    // The field list as the independent reader sees it: NAME:TYPE:LENGTH|...
    std::string fieldNames(std::string_view table) const;
};

}  // namespace tht::test
