#include "store/table_layout.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>

#include "base/ascii.h"
#include "base/little_endian.h"
#include "base/messages.h"
#include "store/table_error.h"
#include "store/field_codec.h"
#include "store/language_driver.h"

namespace tht {
namespace {

constexpr std::size_t kClassicHeader = 32;
constexpr std::size_t kClassicDescriptor = 32;
constexpr std::size_t kDBase7Header = 68;
constexpr std::size_t kDBase7Descriptor = 48;
constexpr char kFieldListEnd = 0x0D;
constexpr char kEndOfFile = 0x1A;

unsigned byteAt(std::string_view b, std::size_t i) { return static_cast<unsigned char>(b[i]); }

bool knownVersion(std::uint8_t v) {
    static constexpr std::uint8_t known[] = {0x02, 0x03, 0x04, 0x05, 0x30, 0x31, 0x32, 0x43,
                                             0x63, 0x83, 0x8B, 0x8C, 0x8E, 0xCB, 0xF5, 0xFB};
    return std::find(std::begin(known), std::end(known), v) != std::end(known);
}

Dialect dialectOf(std::uint8_t v) {
    if (v == 0x04 || v == 0x8C) return Dialect::DBase7;
    if (v == 0x30 || v == 0x31 || v == 0x32) return Dialect::VisualFoxPro;
    return Dialect::Classic;
}

// A NUL-terminated, space-padded name.
std::string nameAt(std::string_view b) {
    b = b.substr(0, b.find('\0'));
    while (!b.empty() && b.back() == ' ') b.remove_suffix(1);
    return std::string(b);
}

}  // namespace

TableLayout parseTableHeader(std::string_view file, const std::string& displayPath) {
    auto damaged = [&](std::string cause) {
        return Error(TableError::Damaged, {.table = displayPath, .cause = std::move(cause)});
    };
    if (file.size() < kClassicHeader)
        throw damaged(msg::cause::headerIncomplete(file.size()));

    TableLayout t;
    t.version = static_cast<std::uint8_t>(file[0]);
    if (!knownVersion(t.version)) throw damaged(msg::cause::notADbaseTable(t.version));
    t.dialect = dialectOf(t.version);
    const bool dBase7 = t.dialect == Dialect::DBase7;
    const std::size_t fixedHeader = dBase7 ? kDBase7Header : kClassicHeader;
    const std::size_t descriptorSize = dBase7 ? kDBase7Descriptor : kClassicDescriptor;
    if (file.size() < fixedHeader)
        throw damaged(msg::cause::headerIncomplete(file.size()));

    t.recordCount = le::get32(file, 4);
    t.headerLength = le::get16(file, 8);
    t.recordLength = le::get16(file, 10);
    if (t.headerLength > file.size())
        throw damaged(msg::cause::headerBeyondFile(t.headerLength, file.size()));

    // Find the end of the field list before building anything from it, so a
    // file without one costs a scan and no allocation.
    std::size_t end = fixedHeader;
    while (end < file.size() && file[end] != kFieldListEnd) end += descriptorSize;
    if (end >= file.size()) throw damaged(std::string(msg::cause::kNoFieldListEnd));
    if (end + 1 > t.headerLength)
        throw damaged(msg::cause::headerLengthMismatch(t.headerLength, end + 1));

    std::size_t offset = 1;  // after the deletion flag
    t.fields.reserve((end - fixedHeader) / descriptorSize);
    for (std::size_t pos = fixedHeader; pos < end; pos += descriptorSize) {
        const std::string_view d = file.substr(pos, descriptorSize);
        FieldLayout f;
        f.name = nameAt(d.substr(0, dBase7 ? 32 : 11));
        const std::size_t typeAt = dBase7 ? 32 : 11;
        f.type = ascii::upper(d[typeAt]);
        f.width = byteAt(d, typeAt + (dBase7 ? 1 : 5));
        f.decimals = static_cast<int>(byteAt(d, typeAt + (dBase7 ? 2 : 6)));
        if (f.type == 'C') {
            // FoxPro and Clipper keep the high byte of a wide text field here.
            f.width += static_cast<std::size_t>(f.decimals) << 8;
            f.decimals = 0;
        }
        f.hidden = f.type == '0';
        const FieldCodec& codec = fieldCodec(f.type, t.dialect);
        if (codec.fixedWidth != 0 && f.width != codec.fixedWidth)
            throw damaged(msg::cause::fieldWidthWrong(f.name, f.type, static_cast<unsigned>(f.width), static_cast<unsigned>(codec.fixedWidth)));
        f.offset = offset;
        offset += f.width;
        t.fields.push_back(std::move(f));
    }
    if (t.recordLength != offset)
        throw damaged(msg::cause::recordLengthMismatch(t.recordLength, offset));

    const std::uint64_t needed = std::uint64_t{t.headerLength} + t.recordCount * t.recordLength;
    if (needed > file.size())
        throw damaged(msg::cause::recordsBeyondFile(t.recordCount, t.recordLength, file.size()));
    // Every record starts with its deletion flag, and the end-of-file byte
    // follows the last one: anything else means the header does not say
    // where the records start, and every field would be read shifted.
    for (std::uint64_t i = 0; i < t.recordCount; ++i) {
        const char flag = file[t.headerLength + i * t.recordLength];
        if (flag != ' ' && flag != '*') throw damaged(std::string(msg::cause::kRecordsMisplaced));
    }
    if (t.recordCount > 0 && needed == file.size() && file[needed - 1] == kEndOfFile)
        throw damaged(std::string(msg::cause::kRecordsMisplaced));

    const auto driverId = static_cast<std::uint8_t>(file[29]);
    t.codePageName = std::string(dBase7 ? codePageOfDriverName(nameAt(file.substr(32, 32)), driverId)
                                        : codePageOfDriverId(driverId));
    return t;
}

std::string recordShape(const TableLayout& t) {
    std::string shape = std::to_string(static_cast<int>(t.dialect)) + ' ' + t.codePageName;
    for (const FieldLayout& f : t.fields)
        shape += ' ' + f.name + ':' + f.type + ':' + std::to_string(f.width) + ':' + std::to_string(f.decimals) + ':' +
                 std::to_string(f.offset) + (f.hidden ? ":h" : "");
    return shape;
}

NewTable buildTableHeader(const std::vector<FieldDef>& defs, TableLevel level) {
    if (defs.empty() || defs.size() > 255) throw std::invalid_argument("a table needs 1 to 255 fields");
    const bool dBase7 = level == TableLevel::DBase7;
    NewTable out;
    TableLayout& t = out.layout;
    t.version = dBase7 ? 0x04 : 0x03;
    t.dialect = dBase7 ? Dialect::DBase7 : Dialect::Classic;
    t.codePageName = "windows-1252";
    const std::size_t fixedHeader = dBase7 ? kDBase7Header : kClassicHeader;
    const std::size_t descriptorSize = dBase7 ? kDBase7Descriptor : kClassicDescriptor;

    std::size_t offset = 1;
    for (const FieldDef& def : defs) {
        FieldLayout f;
        if (def.name.empty() || def.name.size() > 10) throw std::invalid_argument("field name length: " + def.name);
        for (char c : def.name) {
            const bool ok = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
            if (!ok) throw std::invalid_argument("field name characters: " + def.name);
            f.name.push_back(ascii::upper(c));
        }
        for (const FieldLayout& earlier : t.fields)
            if (earlier.name == f.name) throw std::invalid_argument("field name twice: " + def.name);
        switch (def.type) {
        case FieldType::String:
            if (def.width < 1 || def.width > 254) throw std::invalid_argument("string width of " + def.name);
            f.type = 'C';
            f.width = static_cast<std::size_t>(def.width);
            break;
        case FieldType::Integer:
            f.type = dBase7 ? 'I' : 'N';
            f.width = dBase7 ? 4 : 11;
            break;
        case FieldType::Float:
            f.type = dBase7 ? 'O' : 'N';
            f.width = dBase7 ? 8 : 20;
            f.decimals = dBase7 ? 0 : 4;
            break;
        case FieldType::Boolean:
            f.type = 'L';
            f.width = 1;
            break;
        }
        f.offset = offset;
        offset += f.width;
        t.fields.push_back(std::move(f));
    }
    t.recordLength = offset;
    t.headerLength = fixedHeader + descriptorSize * t.fields.size() + 1;

    std::string& h = out.header;
    h.assign(t.headerLength, '\0');
    h[0] = static_cast<char>(t.version);
    le::put16(&h[8], static_cast<std::uint16_t>(t.headerLength));
    le::put16(&h[10], static_cast<std::uint16_t>(t.recordLength));
    h[29] = static_cast<char>(kWrittenLanguageDriver);
    if (dBase7) h.replace(32, kWrittenLanguageDriverName.size(), kWrittenLanguageDriverName);
    std::size_t pos = fixedHeader;
    for (const FieldLayout& f : t.fields) {
        h.replace(pos, f.name.size(), f.name);
        const std::size_t typeAt = dBase7 ? 32 : 11;
        h[pos + typeAt] = f.type;
        h[pos + typeAt + (dBase7 ? 1 : 5)] = static_cast<char>(f.width);
        h[pos + typeAt + (dBase7 ? 2 : 6)] = static_cast<char>(f.decimals);
        pos += descriptorSize;
    }
    h[pos] = kFieldListEnd;
    return out;
}

void stampTableHeader(char* header, std::uint64_t recordCount, int year, int month, int day) {
    header[1] = static_cast<char>(std::clamp(year - 1900, 0, 255));
    header[2] = static_cast<char>(month);
    header[3] = static_cast<char>(day);
    le::put32(header + 4, static_cast<std::uint32_t>(recordCount));
}

}  // namespace tht
