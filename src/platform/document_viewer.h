#pragma once
// Opens a document in the program the user's system opens it with (a text
// file: Notepad on Windows, the desktop's editor elsewhere), without waiting.
// On Windows a file whose kind has no program registered opens in Notepad.
#include <filesystem>

namespace tht {

// Throws Error(FileError::Unreadable) naming the file when nothing could be started.
void openInViewer(const std::filesystem::path& document);

}  // namespace tht
