#pragma once
// What an export changed in one of Horalina's tables against the table it
// replaced, by the codes each record is known by: how many records are new,
// removed and changed, and the first of each by code and name.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tht {

// A record as the report names it, in UTF-8.
struct RecordLabel {
    std::string code;    // its key fields, joined
    std::string name;    // its name field, where the table has one
    std::string before;  // a changed record's name before the change, when that changed
};

struct RecordList {
    std::int64_t count = 0;
    std::vector<RecordLabel> listed{};  // the first kListed, in stored order
};

struct TableChanges {
    static constexpr std::size_t kListed = 50;  // per table and kind

    std::string keys;          // the key fields' names, joined: what the codes are
    bool hadTable = false;     // false: nothing was there to compare with
    std::int64_t before = 0;   // records of the table replaced
    std::int64_t after = 0;    // records of the new table
    RecordList added{}, removed{}, changed{};

    // More than a third of the records are gone, or all of them: worth a warning.
    bool big() const noexcept {
        return hadTable && before > 0 && (after == 0 || removed.count * 3 > before);
    }
    bool any() const noexcept { return added.count + removed.count + changed.count > 0; }
};

}  // namespace tht
