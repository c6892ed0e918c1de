#pragma once
// What a reader of a TUXA file met on the way that the user should hear of,
// although every line was read: the steps turn it into warnings.
#include <cstdint>
#include <optional>

namespace tht {

// How many, and the physical line of the first.
struct Tally {
    std::int64_t count = 0;
    std::int64_t firstLine = 0;
    void add(std::int64_t n, std::int64_t line) noexcept {
        if (n <= 0) return;
        if (count == 0) firstLine = line;
        count += n;
    }
};

struct ReadingNotes {
    bool readAsUtf8 = false;  // recognised as UTF-8 (by its content or its byte-order mark)
    Tally unstorable;         // characters of a UTF-8 file the tables' page cannot hold: written as "?"
    Tally nuls;               // NUL bytes
    Tally loneCrs;            // carriage returns that did not end a line and joined two
    // Whole-file reading: a NUL ended the text, and this many lines after it were not read.
    std::optional<std::int64_t> linesAfterNul;
};

}  // namespace tht
