#pragma once
// Comparison without regard to letter case, as the user's locale pairs capital
// and small letters: simple Unicode case folding, one character at a time.
#include <string>
#include <string_view>

namespace tht {

char32_t foldCase(char32_t c);
std::u32string foldCase(std::u32string_view text);
bool equalsIgnoreCase(std::u32string_view a, std::u32string_view b);
// Ascending order of the folded texts, character by character.
int compareIgnoreCase(std::u32string_view a, std::u32string_view b);

}  // namespace tht
