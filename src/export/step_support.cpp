#include "export/step_support.h"

#include "base/numbers.h"
#include "platform/casefold.h"
#include "platform/codepage.h"

namespace tht {

bool CodeList::contains(std::u32string_view code) const { return folded_.count(foldCase(code)) != 0; }

void CodeList::add(std::u32string_view code) { folded_.insert(foldCase(code)); }

std::u32string CodeList::firstFreeNumbered(const std::u32string& stem) {
    unsigned long long& k = nextNumber_.try_emplace(foldCase(stem), 1).first->second;
    for (;; ++k) {
        std::u32string candidate = stem;
        appendDecimal(candidate, static_cast<std::int64_t>(k));
        if (!contains(candidate)) return candidate;
    }
}

std::u32string asStored(std::u32string_view text) {
    const CodePage& tables = CodePage::windows1252();
    return tables.decode(tables.encode(text));
}

std::u32string asStored(ByteText text) {
    const CodePage& tables = CodePage::windows1252();
    if (&text.map->to() != &tables) return asStored(text.decoded());
    std::string stored;
    text.map->append(text.bytes, stored);
    return tables.decode(stored);
}

}  // namespace tht
