#pragma once
// The sets a commit replaced, kept so that a wrong run can be undone: a
// visible folder of ours inside the folder whose files were replaced (Horalina's
// data folder, or the TUXA folder for the timetable), one subfolder per
// replaced set, named by the date and time of the commit that replaced it.
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/clock.h"

namespace tht {

// In Spanish and visible, so a secretary finds it in the file manager;
// Horalina reads only its own table names, so nothing it reads changes.
inline constexpr std::string_view kKeptSetsFolder = "transHoraloTuxa copias";
// How many sets are kept: the oldest goes when one more comes.
inline constexpr std::size_t kKeptSetsLimit = 5;

struct KeptSet {
    std::string name;               // "2026-12-11 12.30.05", or "... (2)" for a second one in that second
    std::filesystem::path folder;
};

std::filesystem::path keptSetsFolder(const std::filesystem::path& folder);

// The folder of a set replaced at `when`, with a name no set has yet.
// Nothing is made on the disk.
std::filesystem::path newKeptSetFolder(const std::filesystem::path& folder, const LocalDateTime& when);

// The sets kept in folder, oldest first; a folder of ours whose name is not
// a set's (one being removed) is not among them.
std::vector<KeptSet> listKeptSets(const std::filesystem::path& folder);
// The set named so, or nothing.
std::optional<KeptSet> findKeptSet(const std::filesystem::path& folder, std::string_view name);

// Removes the oldest sets beyond the limit, never `spared` (the one just
// made, whatever the clock said). A set is renamed out of the list before
// its files go, so a run that dies meanwhile never leaves half a set to
// restore. Failures are ignored: the next commit tries again.
void pruneKeptSets(const std::filesystem::path& folder, const std::filesystem::path& spared,
                   std::size_t limit = kKeptSetsLimit) noexcept;

}  // namespace tht
