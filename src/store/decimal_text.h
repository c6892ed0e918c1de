#pragma once
// Numbers as dBase stores them: ASCII text, "." as the separator whatever the
// user's locale. Parsing works on views of the record bytes, without copies.
#include <cstdint>
#include <string>
#include <string_view>

namespace tht {

// Spaces and NUL bytes, which writers use as padding on either side.
std::string_view trimPadding(std::string_view text) noexcept;
std::string_view trimTrailingPadding(std::string_view text) noexcept;

struct DecimalNumber {
    bool negative = false;
    std::string_view whole;     // digits without leading zeros; empty for 0
    std::string_view fraction;  // digits without trailing zeros
    bool scientific = false;    // written with an exponent: only `value` is exact
    double value = 0;           // the number as a double, always set
};

// [+-]digits[.digits][e[+-]digits], at least one digit, nothing else.
bool parseDecimal(std::string_view text, DecimalNumber& out) noexcept;

// Optional sign and digits only, within int64.
bool parseWholeNumber(std::string_view text, std::int64_t& out) noexcept;

// The number as an int64 when it has no fractional part and fits.
bool decimalToInteger(const DecimalNumber& number, std::int64_t& out) noexcept;

// The shortest decimal text of a number, in ASCII: no "+" or leading zeros, no
// trailing zeros after the point, no point for a whole number, "0" for -0.
void appendDecimalText(const DecimalNumber& number, std::string& out);
void appendShortestText(double value, std::string& out);
void appendIntegerText(std::int64_t value, std::string& out);
// A fixed-point number held as units of 10^-scale (currency).
void appendScaledText(std::int64_t units, int scale, std::string& out);

}  // namespace tht
