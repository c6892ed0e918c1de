#pragma once
// The temporary files that replacements write beside their targets: one
// unmistakable short name, their removal when a signal ends the process, and
// the removal of those that a run which died left behind.
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace tht {

// ".tht-" + 8 hexadecimal digits + ".tmp": short and of fixed length, so it
// fits wherever the name it stands in for fits.
std::string temporaryName(std::uint32_t number);
bool isTemporaryName(std::string_view name);
// A temporary name that nothing in folder has now.
std::string unusedTemporaryName(const std::filesystem::path& folder);
inline constexpr std::size_t kTemporaryNameLength = 17;

// On SIGINT, SIGTERM and SIGHUP the temporary files still open are removed
// before the signal ends the process as it would have. A signal the process
// was started with ignored stays ignored. Called once from each main.
void installSignalCleanup();

// Removes from folder the regular files named as our temporaries that were
// last changed before `changedBefore`; nothing else. A run calls it once it
// holds the folder's lock, so no live run of ours is writing them, and once
// no commit journal is left there (the files a journal names look like our
// temporaries: they are the journal's to keep or remove). Returns
// how many were removed; a folder that cannot be listed removes nothing.
std::size_t removeStaleTemporaries(const std::filesystem::path& folder,
                                   std::chrono::system_clock::time_point changedBefore);
// The same for those changed before this process started.
std::size_t removeStaleTemporaries(const std::filesystem::path& folder);

}  // namespace tht
