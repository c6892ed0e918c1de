#pragma once
// The list of codes a step has already written, and codes as a table keeps them.
#include <string>
#include <unordered_map>
#include <unordered_set>

#include "charset/byte_map.h"

namespace tht {

// Codes already written by a step, compared without regard to letter case.
// A hash of folded codes gives the same answer as a search from the first
// entry to the last. Codes are given as characters, or as bytes of the
// tables' code page (windows-1252), as asStored gives them.
class CodeList {
public:
    bool contains(std::u32string_view code) const;
    bool contains(std::string_view storedBytes) const;
    void add(std::u32string_view code);
    void add(std::string_view storedBytes);

    // The first of stem + "1", stem + "2", ... that is not in the list.
    // Remembers where each stem got to, so repeated codes cost no rescans.
    std::u32string firstFreeNumbered(const std::u32string& stem);
    std::string firstFreeNumbered(const std::string& storedStem);

private:
    // A code folded, in UTF-8: short codes fit a string without an allocation.
    std::string key(std::u32string_view code) const;
    std::string key(std::string_view storedBytes) const;
    template <class String>
    String firstFree(const String& stem);

    std::unordered_set<std::string> folded_;
    std::unordered_map<std::string, unsigned long long> nextNumber_;  // by folded stem
};

// A text as a table gives it back: a character that the tables' code page
// cannot hold is stored as "?". Codes are made unique in this form, so that
// two codes that differ only in such characters do not end up as one.
std::u32string asStored(std::u32string_view text);
std::u32string asStored(ByteText text);
// The same as bytes of the tables' code page.
std::string storedBytes(ByteText text);
// A text as asStored or storedBytes gave it, to write to a table.
inline std::u32string_view storedText(const std::u32string& text) { return text; }
ByteText storedText(const std::string& bytes);

}  // namespace tht
