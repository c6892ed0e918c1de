#pragma once
// The days of the week as TUXA writes them (one letter) and as Horalina's
// tables hold them (1 to 7).
#include <optional>
#include <string_view>

namespace tht::days {

inline constexpr std::u32string_view kLetters = U"LMXJVSD";  // Monday first

// 1 for "L" ... 7 for "D"; nothing for any other text.
// The letter is text of the tables' single-byte page, where these letters are ASCII.
constexpr std::optional<int> number(std::string_view letter) noexcept {
    if (letter.size() != 1 || static_cast<unsigned char>(letter[0]) >= 0x80) return std::nullopt;
    const auto at = kLetters.find(static_cast<char32_t>(letter[0]));
    if (at == kLetters.npos) return std::nullopt;
    return static_cast<int>(at) + 1;
}

// "L" for "1" ... "D" for "7"; nothing for any other text.
constexpr std::optional<char32_t> letter(std::u32string_view number) noexcept {
    if (number.size() != 1 || number[0] < U'1' || number[0] > U'7') return std::nullopt;
    return kLetters[number[0] - U'1'];
}

}  // namespace tht::days
