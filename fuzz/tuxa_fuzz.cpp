// Any bytes read as a TUXA file both ways, every line tested and sliced.
#include <cstddef>
#include <cstdint>
#include <memory>

#include <optional>

#include "platform/byte_io.h"
#include "charset/byte_map.h"
#include "charset/codepage.h"
#include "platform/code_pages.h"
#include "text/line_reader.h"
#include "text/record.h"
#include "text/tuxa_files.h"
#include "text/whole_file.h"

namespace {

void visit(std::u32string_view line) {
    for (std::size_t column : {1, 2, 9, 22, 52, 172})
        for (std::size_t width : {1, 4, 20, 150}) (void)tht::rawSlice(line, column, width);
}

// The same line as the bytes of a single-byte code page.
void visit(std::string_view line, const tht::ByteMap& map) {
    for (const tht::TuxaFile* file : tht::tuxa::all) (void)tht::isDataLine(line, file->tag);
    for (std::size_t column : {1, 2, 9, 22, 52, 172})
        for (std::size_t width : {1, 4, 20, 150}) {
            std::string out;
            map.append(tht::Column{column, width}(line), out);
        }
    std::string whole;
    (void)map.append(line, whole);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    static const tht::CodePage utf8 = tht::openCodePage("UTF-8");
    for (const tht::CodePage* cp : {&tht::windows1252(), &utf8}) {
        tht::LineReader reader(std::make_unique<tht::MemorySource>(bytes), *cp);
        for (std::u32string line; reader.next(line);) visit(line);
        const tht::TextLines lines = tht::TextLines::fromBytes(bytes, *cp);
        std::u32string line;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            lines.line(i, line);
            visit(line);
        }
        static const std::optional<tht::ByteMap> map = tht::ByteMap::between(
            tht::windows1252(), tht::windows1252());
        if (!cp->isSingleByte()) continue;
        tht::LineReader byteReader(std::make_unique<tht::MemorySource>(bytes), *cp);
        for (std::string_view bytesLine; byteReader.next(bytesLine);) visit(bytesLine, *map);
        if (lines.heldAsCodePageBytes())
            for (std::size_t i = 0; i < lines.size(); ++i) visit(lines.lineBytes(i), *map);
    }
    return 0;
}
