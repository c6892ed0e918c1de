#pragma once
// The trimming helpers of every fixed-column slice. Only U+0020 is a space:
// tabs and no-break spaces are ordinary characters.
#include <string>
#include <string_view>

namespace tht {

std::u32string LTrim(std::u32string text);
std::u32string RTrim(std::u32string text);
std::u32string AllTrim(std::u32string text);
// The character after each space, for every position but the last, on
// text of a single-byte page.
std::string Iniciales(std::string_view text);

// The same trim as AllTrim, without a copy.
std::u32string_view trimmedView(std::u32string_view text);
// The same on the bytes of a single-byte code page, where byte 0x20 is the space.
std::string_view trimmedView(std::string_view text);

}  // namespace tht
