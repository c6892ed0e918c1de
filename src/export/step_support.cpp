#include "export/step_support.h"

#include <array>

#include "base/numbers.h"
#include "platform/casefold.h"
#include "charset/codepage.h"
#include "charset/unicode.h"
#include "platform/code_pages.h"

namespace tht {
namespace {

// Each byte of the tables' code page folded, in UTF-8: built once.
const std::array<std::string, 256>& foldedBytes() {
    static const std::array<std::string, 256> table = [] {
        std::array<std::string, 256> t;
        const CodePage& tables = windows1252();
        for (int b = 0; b < 256; ++b) appendUtf8(foldCase(tables.decodeByte(static_cast<unsigned char>(b))), t[b]);
        return t;
    }();
    return table;
}

}  // namespace

std::string CodeList::key(std::u32string_view code) const {
    std::string k;
    for (const char32_t c : code) appendUtf8(foldCase(c), k);
    return k;
}

std::string CodeList::key(std::string_view storedBytes) const {
    const std::array<std::string, 256>& folded = foldedBytes();
    std::string k;
    for (const char b : storedBytes) k += folded[static_cast<unsigned char>(b)];
    return k;
}

bool CodeList::contains(std::u32string_view code) const { return folded_.count(key(code)) != 0; }
bool CodeList::contains(std::string_view storedBytes) const { return folded_.count(key(storedBytes)) != 0; }
void CodeList::add(std::u32string_view code) { folded_.insert(key(code)); }
void CodeList::add(std::string_view storedBytes) { folded_.insert(key(storedBytes)); }

template <class String>
String CodeList::firstFree(const String& stem) {
    unsigned long long& k = nextNumber_.try_emplace(key(stem), 1).first->second;
    for (;; ++k) {
        String candidate = stem;
        appendDecimal(candidate, static_cast<std::int64_t>(k));
        if (!contains(candidate)) return candidate;
    }
}

std::u32string CodeList::firstFreeNumbered(const std::u32string& stem) { return firstFree(stem); }
std::string CodeList::firstFreeNumbered(const std::string& storedStem) { return firstFree(storedStem); }

std::u32string asStored(std::u32string_view text) {
    const CodePage& tables = windows1252();
    return tables.decode(tables.encode(text));
}

std::string storedBytes(ByteText text) {
    const CodePage& tables = windows1252();
    if (&text.map->to() != &tables) return tables.encode(text.decoded());
    std::string stored;
    text.map->append(text.bytes, stored);
    return stored;
}

ByteText storedText(const std::string& bytes) {
    // Built once: stored bytes go through it unchanged.
    static const ByteMap same = ByteMap::between(windows1252(), windows1252()).value();
    return {bytes, &same};
}

std::u32string asStored(ByteText text) { return windows1252().decode(storedBytes(text)); }

}  // namespace tht
