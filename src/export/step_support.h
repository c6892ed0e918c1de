#pragma once
// What every export step shares: the presence test of its input file with the
// missing-file report, and the list of codes already written.
#include <filesystem>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>

#include "core/report.h"
#include "core/run_context.h"
#include "text/tuxa_files.h"

namespace tht {

// The path of the file when it exists. Otherwise shows the file's message,
// sets the status to -1 where the file requires it, marks the report and
// gives nothing.
std::optional<std::filesystem::path> findInput(const RunContext& ctx, const TuxaFile& file, TableReport& report);

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

std::u32string decimalText(long long n);

// A text as a table gives it back: a character that the tables' code page
// cannot hold is stored as "?". Codes are made unique in this form, so that
// two codes that differ only in such characters do not end up as one.
std::u32string asStored(std::u32string_view text);

}  // namespace tht
