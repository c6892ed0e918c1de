#pragma once
// The list of codes a step has already written, and letter case in the
// tables' page.
#include <array>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

namespace tht {

// Each byte of the tables' page (windows-1252) as the character it folds to:
// the one table every comparison without regard to letter case goes through,
// built once from the system's case folding.
const std::array<char32_t, 256>& tablePageFolding();

// Ascending order of two texts of the tables' page folded, character by character.
int compareIgnoreCase(std::string_view a, std::string_view b);

// Codes already written by a step, as bytes of the tables' page, compared
// without regard to letter case. A hash of folded codes gives the same answer
// as a search from the first entry to the last.
class CodeList {
public:
    bool contains(std::string_view code) const { return folded_.count(key(code)) != 0; }
    void add(std::string_view code) { folded_.insert(key(code)); }

    // The first of stem + "1", stem + "2", ... that is not in the list.
    // Remembers where each stem got to, so repeated codes cost no rescans.
    std::string firstFreeNumbered(const std::string& stem);

private:
    // A code folded, in UTF-8: short codes fit a string without an allocation.
    static std::string key(std::string_view code);

    std::unordered_set<std::string> folded_;
    std::unordered_map<std::string, unsigned long long> nextNumber_;  // by folded stem
};

}  // namespace tht
