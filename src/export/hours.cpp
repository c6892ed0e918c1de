#include "export/hours.h"

#include "store/decimal_text.h"

#include <charconv>
#include <cmath>

namespace tht {

std::optional<double> parseDecimal(std::u32string_view text) {
    std::string ascii;
    ascii.reserve(text.size());
    for (char32_t c : text) {
        if (c >= 0x80) return std::nullopt;
        ascii.push_back(static_cast<char>(c));
    }
    DecimalNumber number;
    if (!tht::parseDecimal(ascii, number) || !std::isfinite(number.value)) return std::nullopt;
    return number.value;
}

std::optional<double> weeklyHours(std::u32string_view text) {
    std::u32string normalised = text.empty() ? std::u32string(U"1") : std::u32string(text);
    for (char32_t& c : normalised)
        if (c == U',') c = U'.';
    std::optional<double> hours = parseDecimal(normalised);
    if (hours && *hours < 1) hours = 1;
    return hours;
}

std::u32string lessonPattern(double hours) {
    double whole = std::floor(hours);
    std::u32string pattern;
    if (whole >= 14) {
        char buf[400];
        const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, whole - 13, std::chars_format::fixed, 0);
        if (ec == std::errc()) pattern.assign(buf, end);
        whole = 13;
    }
    pattern.append(static_cast<std::size_t>(whole), U'1');
    if (std::floor(hours) < hours) pattern.push_back(U'\u00BD');
    return pattern;
}

}  // namespace tht
