// Any bytes opened as a table: every record walked, every field read as every
// kind. A tht::Error is the expected answer to a damaged file;
// anything else (a crash, a sanitizer report, another exception) is a finding.
#include <cstddef>
#include <cstdint>
#include <fstream>

#include "fuzz/scratch.h"
#include "platform/error.h"
#include "store/table.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tht;
    const fuzz::Scratch& scratch = fuzz::Scratch::get();
    {
        std::ofstream out(scratch.path() / "FUZZ.DBF", std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    try {
        Table table = Table::open(scratch.path(), "FUZZ", Access::Shared, true);
        const std::size_t fields = table.fieldCount();
        std::string text;
        for (table.first(); !table.eof(); table.next()) {
            for (std::size_t i = 0; i < fields; ++i) {
                const FieldId f{i};
                table.readString(f, text);
                try { (void)table.readInteger(f); } catch (const Error&) {}
                try { (void)table.readFloat(f); } catch (const Error&) {}
                try { (void)table.readBoolean(f); } catch (const Error&) {}
            }
        }
        table.close();
    } catch (const Error&) {
    }
    return 0;
}
