#include "export/step_support.h"

#include "base/numbers.h"
#include "charset/codepage.h"
#include "charset/unicode.h"
#include "platform/casefold.h"
#include "platform/code_pages.h"

namespace tht {

const std::array<char32_t, 256>& tablePageFolding() {
    static const std::array<char32_t, 256> table = [] {
        std::array<char32_t, 256> t{};
        const CodePage& tables = windows1252();
        for (int b = 0; b < 256; ++b) t[static_cast<std::size_t>(b)] = foldCase(tables.decodeByte(static_cast<unsigned char>(b)));
        return t;
    }();
    return table;
}

int compareIgnoreCase(std::string_view a, std::string_view b) {
    const std::array<char32_t, 256>& fold = tablePageFolding();
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) {
        const char32_t x = fold[static_cast<unsigned char>(a[i])], y = fold[static_cast<unsigned char>(b[i])];
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

std::string CodeList::key(std::string_view code) {
    const std::array<char32_t, 256>& fold = tablePageFolding();
    std::string k;
    for (const char b : code) appendUtf8(fold[static_cast<unsigned char>(b)], k);
    return k;
}

std::string CodeList::firstFreeNumbered(const std::string& stem) {
    unsigned long long& k = nextNumber_.try_emplace(key(stem), 1).first->second;
    for (;; ++k) {
        std::string candidate = stem;
        appendDecimal(candidate, static_cast<std::int64_t>(k));
        if (!contains(candidate)) return candidate;
    }
}

}  // namespace tht
