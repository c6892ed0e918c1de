#include "store/cell.h"

#include "charset/codepage.h"
#include "platform/code_pages.h"
#include "store/decimal_text.h"

namespace tht {

bool cellToText(const Cell& cell, const CodePage* foreignPage, std::string& out) {
    out.clear();
    switch (cell.kind) {
    case Cell::Kind::Blank: return true;
    case Cell::Kind::Text:
        if (foreignPage) windows1252().encodeAppend(foreignPage->decode(cell.bytes), out);
        else out.assign(cell.bytes);
        return true;
    case Cell::Kind::Number: {
        DecimalNumber n;
        if (!parseDecimal(cell.bytes, n)) return false;
        appendDecimalText(n, out);
        return true;
    }
    case Cell::Kind::Integer: appendIntegerText(cell.integer, out); return true;
    case Cell::Kind::Real: appendShortestText(cell.real, out); return true;
    case Cell::Kind::Currency: appendScaledText(cell.integer, 4, out); return true;
    case Cell::Kind::Boolean: out.push_back(cell.boolean ? 'T' : 'F'); return true;
    case Cell::Kind::Unreadable: return false;
    }
    return false;
}

bool cellToInteger(const Cell& cell, std::int64_t& out) noexcept {
    out = 0;
    switch (cell.kind) {
    case Cell::Kind::Blank: return true;
    case Cell::Kind::Text: {
        const std::string_view t = trimPadding(cell.bytes);
        return t.empty() || parseWholeNumber(t, out);
    }
    case Cell::Kind::Number: {
        DecimalNumber n;
        return parseDecimal(cell.bytes, n) && decimalToInteger(n, out);
    }
    case Cell::Kind::Integer: out = cell.integer; return true;
    case Cell::Kind::Real: {
        DecimalNumber n;
        n.scientific = true;
        n.value = cell.real;
        return decimalToInteger(n, out);
    }
    case Cell::Kind::Currency:
        if (cell.integer % 10000 != 0) return false;
        out = cell.integer / 10000;
        return true;
    case Cell::Kind::Boolean: out = cell.boolean ? 1 : 0; return true;
    case Cell::Kind::Unreadable: return false;
    }
    return false;
}

bool cellToReal(const Cell& cell, double& out) noexcept {
    out = 0;
    DecimalNumber n;
    switch (cell.kind) {
    case Cell::Kind::Blank: return true;
    case Cell::Kind::Text: {
        const std::string_view t = trimPadding(cell.bytes);
        if (t.empty()) return true;
        if (!parseDecimal(t, n)) return false;
        out = n.value;
        return true;
    }
    case Cell::Kind::Number:
        if (!parseDecimal(cell.bytes, n)) return false;
        out = n.value;
        return true;
    case Cell::Kind::Integer: out = static_cast<double>(cell.integer); return true;
    case Cell::Kind::Real: out = cell.real; return true;
    case Cell::Kind::Currency: out = static_cast<double>(cell.integer) / 10000; return true;
    case Cell::Kind::Boolean: out = cell.boolean ? 1 : 0; return true;
    case Cell::Kind::Unreadable: return false;
    }
    return false;
}

bool cellToBoolean(const Cell& cell, bool& out) noexcept {
    out = false;
    switch (cell.kind) {
    case Cell::Kind::Blank: return true;
    case Cell::Kind::Boolean: out = cell.boolean; return true;
    case Cell::Kind::Text: {
        const std::string_view t = trimPadding(cell.bytes);
        if (t.empty()) return true;
        if (t.size() != 1) return false;
        switch (t.front()) {
        case 'T': case 't': case 'Y': case 'y': out = true; return true;
        case 'F': case 'f': case 'N': case 'n': return true;
        default: return false;
        }
    }
    default: {
        double d = 0;
        if (!cellToReal(cell, d)) return false;
        out = d != 0;
        return true;
    }
    }
}

}  // namespace tht
