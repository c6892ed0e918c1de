#include "support/table_page.h"

#include "charset/unicode.h"
#include "platform/code_pages.h"

namespace tht::test {

std::string cp1252(std::string_view utf8) { return windows1252().encode(fromUtf8(utf8)); }

std::string utf8FromCp1252(std::string_view bytes) { return toUtf8(windows1252().decode(bytes)); }

}  // namespace tht::test
