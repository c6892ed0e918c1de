// Reading each type letter: liberal, as the writers we know store them.
#include <bit>
#include <cstdio>

#include "store/decimal_text.h"
#include "store/field_coders.h"

namespace tht::codec {

namespace {

void setText(Cell& out, Cell::Kind kind, std::string_view bytes) {
    out.kind = kind;
    out.bytes = bytes;
}

}  // namespace

void decodeCharacter(const FieldLayout&, std::string_view b, Cell& out) {
    setText(out, Cell::Kind::Text, trimTrailingPadding(b));
}

void decodeNumeric(const FieldLayout&, std::string_view b, Cell& out) {
    const std::string_view t = trimPadding(b);
    // Writers mark an overflow with '*'; there is no value to read in it.
    if (t.empty() || t.find_first_not_of('*') == std::string_view::npos) {
        out.kind = Cell::Kind::Blank;
        return;
    }
    setText(out, Cell::Kind::Number, t);
}

void decodeLogical(const FieldLayout&, std::string_view b, Cell& out) {
    switch (b.empty() ? ' ' : b.front()) {
    case 'T': case 't': case 'Y': case 'y':
        out.kind = Cell::Kind::Boolean;
        out.boolean = true;
        return;
    case 'F': case 'f': case 'N': case 'n':
        out.kind = Cell::Kind::Boolean;
        out.boolean = false;
        return;
    case '?': case ' ': case '\0':
        out.kind = Cell::Kind::Blank;
        return;
    default:
        setText(out, Cell::Kind::Unreadable, b.substr(0, 1));
    }
}

void decodeDate(const FieldLayout&, std::string_view b, Cell& out) {
    const std::string_view t = trimPadding(b);
    if (t.empty() || t == "00000000") {
        out.kind = Cell::Kind::Blank;
        return;
    }
    setText(out, Cell::Kind::Text, t);
}

void decodeDBase7Integer(const FieldLayout&, std::string_view b, Cell& out) {
    const auto raw = static_cast<std::uint32_t>(loadBig(b, 4));
    if (raw == 0) {
        out.kind = Cell::Kind::Blank;
        return;
    }
    out.kind = Cell::Kind::Integer;
    out.integer = static_cast<std::int32_t>(raw ^ kSign32);
}

void decodeFoxProInteger(const FieldLayout&, std::string_view b, Cell& out) {
    out.kind = Cell::Kind::Integer;
    out.integer = static_cast<std::int32_t>(static_cast<std::uint32_t>(loadLittle(b, 4)));
}

void decodeDBase7Double(const FieldLayout&, std::string_view b, Cell& out) {
    const std::uint64_t raw = loadBig(b, 8);
    if (raw == 0) {
        out.kind = Cell::Kind::Blank;
        return;
    }
    out.kind = Cell::Kind::Real;
    out.real = std::bit_cast<double>((raw & kSign64) ? raw ^ kSign64 : ~raw);
}

void decodeFoxProDouble(const FieldLayout&, std::string_view b, Cell& out) {
    out.kind = Cell::Kind::Real;
    out.real = std::bit_cast<double>(loadLittle(b, 8));
}

void decodeCurrency(const FieldLayout&, std::string_view b, Cell& out) {
    out.kind = Cell::Kind::Currency;
    out.integer = static_cast<std::int64_t>(loadLittle(b, 8));
}

void decodeDateTime(const FieldLayout&, std::string_view b, Cell& out) {
    const std::int64_t julianDay = static_cast<std::int64_t>(loadLittle(b, 4));
    const std::int64_t millis = static_cast<std::int64_t>(loadLittle(b.substr(4), 4));
    if (julianDay == 0 && millis == 0) {
        out.kind = Cell::Kind::Blank;
        return;
    }
    // Julian day number to the Gregorian calendar (Richards' algorithm).
    const std::int64_t a = julianDay + 32044;
    const std::int64_t c4 = (4 * a + 3) / 146097;
    const std::int64_t c = a - 146097 * c4 / 4;
    const std::int64_t d = (4 * c + 3) / 1461;
    const std::int64_t e = c - 1461 * d / 4;
    const std::int64_t m = (5 * e + 2) / 153;
    const std::int64_t day = e - (153 * m + 2) / 5 + 1;
    const std::int64_t month = m + 3 - 12 * (m / 10);
    const std::int64_t year = 100 * c4 + d - 4800 + m / 10;
    if (year < 1 || year > 9999 || millis >= 86'400'000) {
        setText(out, Cell::Kind::Unreadable, b);
        return;
    }
    const std::int64_t seconds = millis / 1000;
    const int n = std::snprintf(out.own, sizeof out.own, "%04d-%02d-%02d %02d:%02d:%02d", static_cast<int>(year),
                                static_cast<int>(month), static_cast<int>(day), static_cast<int>(seconds / 3600),
                                static_cast<int>(seconds / 60 % 60), static_cast<int>(seconds % 60));
    setText(out, Cell::Kind::Text, std::string_view(out.own, static_cast<std::size_t>(n)));
}

// The block number of a memo in its .DBT/.FPT file: ASCII in dBase, a binary
// number in four-byte Visual FoxPro fields. The memo file is never needed.
void decodeMemo(const FieldLayout& f, std::string_view b, Cell& out) {
    if (f.width == 4) {
        const std::uint64_t block = loadLittle(b, 4);
        out.kind = block == 0 ? Cell::Kind::Blank : Cell::Kind::Integer;
        out.integer = static_cast<std::int64_t>(block);
        return;
    }
    const std::string_view t = trimPadding(b);
    if (t.empty()) {
        out.kind = Cell::Kind::Blank;
        return;
    }
    setText(out, Cell::Kind::Text, t);
}

void decodeUnreadable(const FieldLayout&, std::string_view b, Cell& out) {
    setText(out, Cell::Kind::Unreadable, b);
}

void decodeHidden(const FieldLayout&, std::string_view, Cell& out) { out.kind = Cell::Kind::Blank; }

}  // namespace tht::codec
