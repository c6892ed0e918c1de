#include "store/decimal_text.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace tht {
namespace {

bool isPadding(char c) noexcept { return c == ' ' || c == '\0'; }
bool isDigit(char c) noexcept { return c >= '0' && c <= '9'; }

std::string_view digitsAt(std::string_view text, std::size_t& pos) noexcept {
    const std::size_t start = pos;
    while (pos < text.size() && isDigit(text[pos])) ++pos;
    return text.substr(start, pos - start);
}

}  // namespace

std::string_view trimPadding(std::string_view text) noexcept {
    while (!text.empty() && isPadding(text.front())) text.remove_prefix(1);
    return trimTrailingPadding(text);
}

std::string_view trimTrailingPadding(std::string_view text) noexcept {
    while (!text.empty() && isPadding(text.back())) text.remove_suffix(1);
    return text;
}

bool parseDecimal(std::string_view text, DecimalNumber& out) noexcept {
    out = DecimalNumber{};
    std::size_t pos = 0;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) out.negative = text[pos++] == '-';
    std::string_view whole = digitsAt(text, pos);
    std::string_view fraction;
    if (pos < text.size() && text[pos] == '.') {
        ++pos;
        fraction = digitsAt(text, pos);
    }
    if (whole.empty() && fraction.empty()) return false;
    if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
        ++pos;
        if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) ++pos;
        if (digitsAt(text, pos).empty()) return false;
        out.scientific = true;
    }
    if (pos != text.size()) return false;

    // from_chars takes no "+"; the sign is ours anyway.
    std::string_view unsignedText = text.substr(text.front() == '+' || text.front() == '-' ? 1 : 0);
    auto [end, ec] = std::from_chars(unsignedText.data(), unsignedText.data() + unsignedText.size(), out.value);
    if (ec == std::errc::result_out_of_range) {
        out.value = std::numeric_limits<double>::infinity();
    } else if (ec != std::errc() || end != unsignedText.data() + unsignedText.size()) {
        return false;
    }
    if (out.negative) out.value = -out.value;

    while (!whole.empty() && whole.front() == '0') whole.remove_prefix(1);
    while (!fraction.empty() && fraction.back() == '0') fraction.remove_suffix(1);
    out.whole = whole;
    out.fraction = fraction;
    if (!out.scientific && whole.empty() && fraction.empty()) out.negative = false;
    return true;
}

bool parseWholeNumber(std::string_view text, std::int64_t& out) noexcept {
    const bool plus = !text.empty() && text.front() == '+';
    if (plus) text.remove_prefix(1);
    if (text.empty() || text.front() == '+' || (plus && text.front() == '-')) return false;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), out);
    return ec == std::errc() && end == text.data() + text.size();
}

bool decimalToInteger(const DecimalNumber& number, std::int64_t& out) noexcept {
    if (number.scientific) {
        const double v = number.value;
        // 2^63 is exactly representable; anything at or above it does not fit.
        if (!(v >= -9223372036854775808.0 && v < 9223372036854775808.0) || std::trunc(v) != v) return false;
        out = static_cast<std::int64_t>(v);
        return true;
    }
    if (!number.fraction.empty()) return false;
    if (number.whole.empty()) {
        out = 0;
        return true;
    }
    std::uint64_t magnitude = 0;
    auto [end, ec] = std::from_chars(number.whole.data(), number.whole.data() + number.whole.size(), magnitude);
    if (ec != std::errc() || end != number.whole.data() + number.whole.size()) return false;
    constexpr std::uint64_t limit = std::uint64_t{1} << 63;
    if (number.negative) {
        if (magnitude > limit) return false;
        out = magnitude == limit ? std::numeric_limits<std::int64_t>::min() : -static_cast<std::int64_t>(magnitude);
    } else {
        if (magnitude >= limit) return false;
        out = static_cast<std::int64_t>(magnitude);
    }
    return true;
}

void appendDecimalText(const DecimalNumber& number, std::string& out) {
    if (number.scientific) {
        appendShortestText(number.value, out);
        return;
    }
    if (number.negative) out.push_back('-');
    if (number.whole.empty()) out.push_back('0');
    out.append(number.whole);
    if (!number.fraction.empty()) {
        out.push_back('.');
        out.append(number.fraction);
    }
}

void appendShortestText(double value, std::string& out) {
    if (value == 0) value = 0;  // no "-0"
    char buf[32];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value);
    if (ec == std::errc()) out.append(buf, end);
}

void appendIntegerText(std::int64_t value, std::string& out) {
    char buf[24];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value);
    out.append(buf, end);
}

void appendScaledText(std::int64_t units, int scale, std::string& out) {
    const bool negative = units < 0;
    // Through unsigned so that the most negative value has a magnitude too.
    const std::uint64_t magnitude = negative ? 0 - static_cast<std::uint64_t>(units) : static_cast<std::uint64_t>(units);
    char buf[24];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, magnitude);
    std::string digits(static_cast<std::size_t>(scale) + 1 > static_cast<std::size_t>(end - buf)
                           ? static_cast<std::size_t>(scale) + 1 - static_cast<std::size_t>(end - buf)
                           : 0,
                       '0');
    digits.append(buf, end);
    DecimalNumber number;
    number.negative = negative;
    number.whole = std::string_view(digits).substr(0, digits.size() - static_cast<std::size_t>(scale));
    number.fraction = std::string_view(digits).substr(digits.size() - static_cast<std::size_t>(scale));
    while (!number.whole.empty() && number.whole.front() == '0') number.whole.remove_prefix(1);
    while (!number.fraction.empty() && number.fraction.back() == '0') number.fraction.remove_suffix(1);
    if (number.whole.empty() && number.fraction.empty()) number.negative = false;
    appendDecimalText(number, out);
}

}  // namespace tht
