#pragma once
// Conversions between the Unicode encodings the program meets. Invalid input
// never fails: a byte sequence that is no character becomes U+FFFD.
#include <string>
#include <string_view>

namespace tht {

inline constexpr char32_t kReplacementChar = U'\uFFFD';

void appendUtf8Decoded(std::string_view bytes, std::u32string& out);
std::u32string fromUtf8(std::string_view bytes);
void appendUtf8(char32_t c, std::string& out);
std::string toUtf8(std::u32string_view text);

enum class Utf16Order { LittleEndian, BigEndian };
std::u32string fromUtf16(std::string_view bytes, Utf16Order order);

}  // namespace tht
