#pragma once
// Text in the tables' page (windows-1252), the form a table reads and takes
// text in: tests spell it in UTF-8, as a reader would.
#include <string>
#include <string_view>

namespace tht::test {

// "Año" -> "A\xF1o"; "?" for a character the page cannot hold.
std::string cp1252(std::string_view utf8);
// The other way, for messages and rows compared as UTF-8.
std::string utf8FromCp1252(std::string_view bytes);

}  // namespace tht::test
