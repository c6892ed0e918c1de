// Writing each type letter: one canonical form, and a clear refusal for a
// value that does not fit rather than a field of '*'.
#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

#include "charset/codepage.h"
#include "platform/code_pages.h"
#include "store/decimal_text.h"
#include "store/field_coders.h"

namespace tht::codec {

namespace {

// A written text that must be ASCII to mean anything in a numeric field.
bool isAscii(std::string_view text) noexcept {
    for (char c : text)
        if (static_cast<unsigned char>(c) > 0x7F) return false;
    return true;
}

void fillRight(std::string_view text, std::size_t width, char* dst) {
    std::memset(dst, ' ', width - text.size());
    if (!text.empty()) std::memcpy(dst + (width - text.size()), text.data(), text.size());
}

void fillLeft(std::string_view text, std::size_t width, char* dst) {
    if (!text.empty()) std::memcpy(dst, text.data(), text.size());
    std::memset(dst + text.size(), ' ', width - text.size());
}

// "-0.0000" is how a tiny negative number rounds; dBase writes no sign on zero.
std::string_view dropSignOfZero(std::string_view t) {
    if (!t.empty() && t.front() == '-' && t.find_first_not_of("0.", 1) == std::string_view::npos) t.remove_prefix(1);
    return t;
}

// A text written into a numeric field: blank (spaces only), or a number.
WriteResult numberOfText(std::string_view text, bool& blank, DecimalNumber& n) {
    if (!isAscii(text)) return WriteResult::NotConvertible;
    const std::string_view t = trimPadding(text);
    blank = t.empty();
    if (blank) return WriteResult::Ok;
    return parseDecimal(t, n) ? WriteResult::Ok : WriteResult::NotConvertible;
}

// The written value as an integer; fractional floats round half away from
// zero, as the dBase engine did, but a text must be a whole number.
WriteResult integerOf(const WriteValue& v, bool& blank, std::int64_t& out) {
    blank = false;
    switch (v.kind) {
    case WriteValue::Kind::Integer:
        out = v.integer;
        return WriteResult::Ok;
    case WriteValue::Kind::Boolean:
        out = v.boolean ? 1 : 0;
        return WriteResult::Ok;
    case WriteValue::Kind::Real: {
        if (!std::isfinite(v.real)) return WriteResult::NotConvertible;
        const double r = std::round(v.real);
        if (!(r >= -9223372036854775808.0 && r < 9223372036854775808.0)) return WriteResult::TooWide;
        out = static_cast<std::int64_t>(r);
        return WriteResult::Ok;
    }
    case WriteValue::Kind::Text: {
        DecimalNumber n;
        if (const WriteResult r = numberOfText(v.text, blank, n); r != WriteResult::Ok || blank) return r;
        if (!n.scientific && !n.fraction.empty()) return WriteResult::NotConvertible;
        if (n.scientific && std::trunc(n.value) != n.value) return WriteResult::NotConvertible;
        return decimalToInteger(n, out) ? WriteResult::Ok : WriteResult::TooWide;
    }
    }
    return WriteResult::NotConvertible;
}

WriteResult realOf(const WriteValue& v, bool& blank, double& out) {
    blank = false;
    switch (v.kind) {
    case WriteValue::Kind::Integer:
        out = static_cast<double>(v.integer);
        return WriteResult::Ok;
    case WriteValue::Kind::Boolean:
        out = v.boolean ? 1 : 0;
        return WriteResult::Ok;
    case WriteValue::Kind::Real:
        out = v.real;
        return std::isfinite(out) ? WriteResult::Ok : WriteResult::NotConvertible;
    case WriteValue::Kind::Text: {
        DecimalNumber n;
        if (const WriteResult r = numberOfText(v.text, blank, n); r != WriteResult::Ok || blank) return r;
        out = n.value;
        return std::isfinite(out) ? WriteResult::Ok : WriteResult::TooWide;
    }
    }
    return WriteResult::NotConvertible;
}

}  // namespace

WriteResult encodeCharacter(const FieldLayout& f, const WriteValue& v, const CodePage* foreignPage,
                            std::string& scratch, char* dst) {
    scratch.clear();
    switch (v.kind) {
    case WriteValue::Kind::Text: {
        // Cut to the width without a word: the steps rely on it. The pages
        // of tables are single-byte, so characters and bytes are cut alike.
        const std::string_view text = v.text.substr(0, f.width);
        if (!foreignPage) {
            fillLeft(text, f.width, dst);
            return WriteResult::Ok;
        }
        foreignPage->encodeAppend(windows1252().decode(text), scratch);
        if (scratch.size() > f.width) scratch.resize(f.width);
        break;
    }
    case WriteValue::Kind::Integer: {
        char buf[24];
        auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v.integer);
        scratch.assign(buf, end);
        break;
    }
    case WriteValue::Kind::Real: {
        if (!std::isfinite(v.real)) return WriteResult::NotConvertible;
        char buf[32];
        auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v.real == 0 ? 0.0 : v.real);
        scratch.assign(buf, end);
        break;
    }
    case WriteValue::Kind::Boolean:
        scratch.assign(1, v.boolean ? 'T' : 'F');
        break;
    }
    // A number cut short would be a different number.
    if (scratch.size() > f.width) return WriteResult::TooWide;
    fillLeft(scratch, f.width, dst);
    return WriteResult::Ok;
}

WriteResult encodeNumeric(const FieldLayout& f, const WriteValue& v, const CodePage*, std::string&, char* dst) {
    const auto decimals = static_cast<std::size_t>(f.decimals);
    char buf[640];  // the widest fixed-point double with 255 decimals fits
    std::string_view text;
    DecimalNumber parsed;
    bool exactText = false;
    if (v.kind == WriteValue::Kind::Text) {
        if (!isAscii(v.text)) return WriteResult::NotConvertible;
        const std::string_view t = trimPadding(v.text);
        if (t.empty()) {
            std::memset(dst, ' ', f.width);
            return WriteResult::Ok;
        }
        if (!parseDecimal(t, parsed)) return WriteResult::NotConvertible;
        // Keep the digits as written when no rounding is needed: a double
        // would lose them beyond 15 or so.
        exactText = !parsed.scientific && parsed.fraction.size() <= decimals;
    }
    if (exactText) {
        const std::string_view whole = parsed.whole.empty() ? std::string_view("0") : parsed.whole;
        const std::size_t length = (parsed.negative ? 1 : 0) + whole.size() + (decimals > 0 ? 1 + decimals : 0);
        if (length > f.width) return WriteResult::TooWide;  // also keeps buf in bounds: width < 256
        std::size_t n = 0;
        if (parsed.negative) buf[n++] = '-';
        if (!whole.empty()) std::memcpy(buf + n, whole.data(), whole.size());
        n += whole.size();
        if (decimals > 0) {
            buf[n++] = '.';
            if (!parsed.fraction.empty()) std::memcpy(buf + n, parsed.fraction.data(), parsed.fraction.size());
            std::memset(buf + n + parsed.fraction.size(), '0', decimals - parsed.fraction.size());
            n += decimals;
        }
        text = std::string_view(buf, n);
    } else if (v.kind == WriteValue::Kind::Integer || v.kind == WriteValue::Kind::Boolean) {
        const std::int64_t i = v.kind == WriteValue::Kind::Integer ? v.integer : (v.boolean ? 1 : 0);
        auto [end, ec] = std::to_chars(buf, buf + 24, i);
        std::size_t n = static_cast<std::size_t>(end - buf);
        if (decimals > 0) {
            buf[n++] = '.';
            std::memset(buf + n, '0', decimals);
            n += decimals;
        }
        text = std::string_view(buf, n);
    } else {
        const double value = v.kind == WriteValue::Kind::Real ? v.real : parsed.value;
        if (!std::isfinite(value)) return v.kind == WriteValue::Kind::Real ? WriteResult::NotConvertible : WriteResult::TooWide;
        // Beyond 1e300 the text could outgrow the buffer; no field is that wide.
        if (std::fabs(value) >= 1e300) return WriteResult::TooWide;
        auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, static_cast<int>(decimals));
        if (ec != std::errc()) return WriteResult::TooWide;
        text = dropSignOfZero(std::string_view(buf, static_cast<std::size_t>(end - buf)));
    }
    if (text.size() > f.width) return WriteResult::TooWide;
    fillRight(text, f.width, dst);
    return WriteResult::Ok;
}

WriteResult encodeLogical(const FieldLayout& f, const WriteValue& v, const CodePage*, std::string&, char* dst) {
    char c = ' ';
    switch (v.kind) {
    case WriteValue::Kind::Boolean: c = v.boolean ? 'T' : 'F'; break;
    case WriteValue::Kind::Integer: c = v.integer != 0 ? 'T' : 'F'; break;
    case WriteValue::Kind::Real:
        if (std::isnan(v.real)) return WriteResult::NotConvertible;
        c = v.real != 0 ? 'T' : 'F';
        break;
    case WriteValue::Kind::Text: {
        if (!isAscii(v.text)) return WriteResult::NotConvertible;
        const std::string_view t = trimPadding(v.text);
        if (t.size() > 1) return WriteResult::NotConvertible;
        switch (t.empty() ? ' ' : t.front()) {
        case 'T': case 't': case 'Y': case 'y': c = 'T'; break;
        case 'F': case 'f': case 'N': case 'n': c = 'F'; break;
        case ' ': c = ' '; break;
        default: return WriteResult::NotConvertible;
        }
    }
    }
    std::memset(dst, ' ', f.width);
    if (f.width > 0) dst[0] = c;
    return WriteResult::Ok;
}

WriteResult encodeDate(const FieldLayout& f, const WriteValue& v, const CodePage*, std::string&, char* dst) {
    std::string_view t;
    char buf[24];
    if (v.kind == WriteValue::Kind::Text) {
        if (!isAscii(v.text)) return WriteResult::NotConvertible;
        t = trimPadding(v.text);
    } else if (v.kind == WriteValue::Kind::Integer) {
        auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v.integer);
        t = std::string_view(buf, static_cast<std::size_t>(end - buf));
    } else {
        return WriteResult::Unsupported;
    }
    if (!t.empty() && (t.size() != 8 || t.find_first_not_of("0123456789") != std::string_view::npos))
        return WriteResult::NotConvertible;
    if (t.size() > f.width) return WriteResult::TooWide;
    fillLeft(t, f.width, dst);
    return WriteResult::Ok;
}

WriteResult encodeDBase7Integer(const FieldLayout&, const WriteValue& v, const CodePage*, std::string&, char* dst) {
    bool blank = false;
    std::int64_t i = 0;
    if (auto r = integerOf(v, blank, i); r != WriteResult::Ok) return r;
    if (blank) {
        storeBig(0, 4, dst);
        return WriteResult::Ok;
    }
    // The lowest int32 would store as four zero bytes, which read as blank.
    if (i <= std::numeric_limits<std::int32_t>::min() || i > std::numeric_limits<std::int32_t>::max())
        return WriteResult::TooWide;
    storeBig(static_cast<std::uint32_t>(static_cast<std::int32_t>(i)) ^ kSign32, 4, dst);
    return WriteResult::Ok;
}

WriteResult encodeFoxProInteger(const FieldLayout&, const WriteValue& v, const CodePage*, std::string&, char* dst) {
    bool blank = false;
    std::int64_t i = 0;
    if (auto r = integerOf(v, blank, i); r != WriteResult::Ok) return r;
    if (i < std::numeric_limits<std::int32_t>::min() || i > std::numeric_limits<std::int32_t>::max())
        return WriteResult::TooWide;
    storeLittle(static_cast<std::uint32_t>(static_cast<std::int32_t>(i)), 4, dst);
    return WriteResult::Ok;
}

WriteResult encodeDBase7Double(const FieldLayout&, const WriteValue& v, const CodePage*, std::string&, char* dst) {
    bool blank = false;
    double d = 0;
    if (auto r = realOf(v, blank, d); r != WriteResult::Ok) return r;
    if (blank) {
        storeBig(0, 8, dst);
        return WriteResult::Ok;
    }
    const auto bits = std::bit_cast<std::uint64_t>(d);
    storeBig((bits & kSign64) ? ~bits : bits ^ kSign64, 8, dst);
    return WriteResult::Ok;
}

WriteResult encodeFoxProDouble(const FieldLayout&, const WriteValue& v, const CodePage*, std::string&, char* dst) {
    bool blank = false;
    double d = 0;
    if (auto r = realOf(v, blank, d); r != WriteResult::Ok) return r;
    storeLittle(std::bit_cast<std::uint64_t>(d), 8, dst);
    return WriteResult::Ok;
}

WriteResult encodeCurrency(const FieldLayout&, const WriteValue& v, const CodePage*, std::string&, char* dst) {
    bool blank = false;
    double d = 0;
    if (auto r = realOf(v, blank, d); r != WriteResult::Ok) return r;
    const double units = std::round(d * 10000);
    if (!(units >= -9223372036854775808.0 && units < 9223372036854775808.0)) return WriteResult::TooWide;
    storeLittle(static_cast<std::uint64_t>(static_cast<std::int64_t>(units)), 8, dst);
    return WriteResult::Ok;
}

WriteResult encodeUnsupported(const FieldLayout&, const WriteValue&, const CodePage*, std::string&, char*) {
    return WriteResult::Unsupported;
}

}  // namespace tht::codec
