#include "store/table_layout.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>

#include "platform/error.h"
#include "store/field_codec.h"
#include "store/language_driver.h"

namespace tht {
namespace {

constexpr std::size_t kClassicHeader = 32;
constexpr std::size_t kClassicDescriptor = 32;
constexpr std::size_t kDBase7Header = 68;
constexpr std::size_t kDBase7Descriptor = 48;
constexpr char kFieldListEnd = 0x0D;

unsigned byteAt(std::string_view b, std::size_t i) { return static_cast<unsigned char>(b[i]); }
unsigned le16(std::string_view b, std::size_t i) { return byteAt(b, i) | byteAt(b, i + 1) << 8; }
std::uint64_t le32(std::string_view b, std::size_t i) {
    return std::uint64_t{le16(b, i)} | std::uint64_t{le16(b, i + 2)} << 16;
}

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

std::string hexByte(unsigned b) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "0x%02X", b & 0xFF);
    return buf;
}

// A NUL-terminated, space-padded name.
std::string nameAt(std::string_view b) {
    b = b.substr(0, b.find('\0'));
    while (!b.empty() && b.back() == ' ') b.remove_suffix(1);
    return std::string(b);
}

char upperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

TableLayout parseTableHeader(std::string_view file, const std::string& displayPath) {
    auto damaged = [&](std::string cause) {
        return Error(ErrorKind::TableDamaged, {.table = displayPath, .cause = std::move(cause)});
    };
    const std::string fileSize = std::to_string(file.size());
    if (file.size() < kClassicHeader)
        throw damaged("la cabecera está incompleta (el archivo tiene " + fileSize + " bytes)");

    TableLayout t;
    t.version = static_cast<std::uint8_t>(file[0]);
    if (!knownVersion(t.version)) throw damaged("no es una tabla dBase (versión " + hexByte(t.version) + ")");
    t.dialect = dialectOf(t.version);
    const bool dBase7 = t.dialect == Dialect::DBase7;
    const std::size_t fixedHeader = dBase7 ? kDBase7Header : kClassicHeader;
    const std::size_t descriptorSize = dBase7 ? kDBase7Descriptor : kClassicDescriptor;
    if (file.size() < fixedHeader)
        throw damaged("la cabecera está incompleta (el archivo tiene " + fileSize + " bytes)");

    t.recordCount = le32(file, 4);
    t.headerLength = le16(file, 8);
    t.recordLength = le16(file, 10);
    if (t.headerLength > file.size())
        throw damaged("la tabla está truncada: la cabecera declara " + std::to_string(t.headerLength) +
                      " bytes y el archivo tiene " + fileSize);

    // Find the end of the field list before building anything from it, so a
    // file without one costs a scan and no allocation.
    std::size_t end = fixedHeader;
    while (end < file.size() && file[end] != kFieldListEnd) end += descriptorSize;
    if (end >= file.size()) throw damaged("falta el byte 0x0D que cierra la lista de campos");
    if (end + 1 > t.headerLength)
        throw damaged("la longitud de la cabecera (" + std::to_string(t.headerLength) +
                      ") no corresponde a los campos (" + std::to_string(end + 1) + ")");

    std::size_t offset = 1;  // after the deletion flag
    t.fields.reserve((end - fixedHeader) / descriptorSize);
    for (std::size_t pos = fixedHeader; pos < end; pos += descriptorSize) {
        const std::string_view d = file.substr(pos, descriptorSize);
        FieldLayout f;
        f.name = nameAt(d.substr(0, dBase7 ? 32 : 11));
        const std::size_t typeAt = dBase7 ? 32 : 11;
        f.type = upperAscii(d[typeAt]);
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
            throw damaged("el campo " + f.name + " de tipo " + std::string(1, f.type) + " tiene " +
                          std::to_string(f.width) + " bytes en lugar de " + std::to_string(codec.fixedWidth));
        f.offset = offset;
        offset += f.width;
        t.fields.push_back(std::move(f));
    }
    if (t.recordLength != offset)
        throw damaged("la longitud de registro (" + std::to_string(t.recordLength) +
                      ") no corresponde a los campos (" + std::to_string(offset) + ")");

    const std::uint64_t needed = std::uint64_t{t.headerLength} + t.recordCount * t.recordLength;
    if (needed > file.size())
        throw damaged("la tabla está truncada: declara " + std::to_string(t.recordCount) + " registros de " +
                      std::to_string(t.recordLength) + " bytes y el archivo tiene " + fileSize + " bytes");

    const auto driverId = static_cast<std::uint8_t>(file[29]);
    t.codePageName = std::string(dBase7 ? codePageOfDriverName(nameAt(file.substr(32, 32)), driverId)
                                        : codePageOfDriverId(driverId));
    return t;
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
            f.name.push_back(upperAscii(c));
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
            f.width = dBase7 ? 8 : (level == TableLevel::DBase3 ? 19 : 20);
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
    h[8] = static_cast<char>(t.headerLength & 0xFF);
    h[9] = static_cast<char>(t.headerLength >> 8);
    h[10] = static_cast<char>(t.recordLength & 0xFF);
    h[11] = static_cast<char>(t.recordLength >> 8);
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
    for (int i = 0; i < 4; ++i) header[4 + i] = static_cast<char>((recordCount >> (8 * i)) & 0xFF);
}

}  // namespace tht
