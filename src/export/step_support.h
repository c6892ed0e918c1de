#pragma once
// The list of codes a step has already written, and codes as a table keeps them.
#include <string>
#include <unordered_map>
#include <unordered_set>

#include "platform/byte_map.h"

namespace tht {

// Codes already written by a step, compared without regard to letter case.
// A hash of folded codes gives the same answer as a search from the first
// entry to the last.
class CodeList {
public:
    bool contains(std::u32string_view code) const;
    void add(std::u32string_view code);

    // The first of stem + "1", stem + "2", ... that is not in the list.
    // Remembers where each stem got to, so repeated codes cost no rescans.
    std::u32string firstFreeNumbered(const std::u32string& stem);

private:
    std::unordered_set<std::u32string> folded_;
    std::unordered_map<std::u32string, unsigned long long> nextNumber_;  // by folded stem
};

// A text as a table gives it back: a character that the tables' code page
// cannot hold is stored as "?". Codes are made unique in this form, so that
// two codes that differ only in such characters do not end up as one.
std::u32string asStored(std::u32string_view text);
std::u32string asStored(ByteText text);

}  // namespace tht
