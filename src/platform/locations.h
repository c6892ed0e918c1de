#pragma once
#include <filesystem>

namespace tht {

// The running executable's own path.
std::filesystem::path executablePath();

// Where the window that Horalina starts keeps its status file ("Horalina.ini"),
// for a program whose folder is programFolder. An installed program writes
// nothing into its own folder: on Linux, a program in a folder named "bin"
// (/usr/bin, /usr/local/bin, ~/bin) or in one its user cannot write keeps it in
// the user's state folder, $XDG_STATE_HOME/transhoralotuxa, or
// $HOME/.local/state/transhoralotuxa when XDG_STATE_HOME is not an absolute
// path; that folder is made, for its user only, when missing. On Windows, in a
// build tree and in an unpacked zip it is programFolder itself.
// Throws Error(FileError::StateFolderUnknown) when neither variable is an
// absolute path, Error(FileError::StateFolderUncreatable) when it cannot be made.
std::filesystem::path statusFolder(const std::filesystem::path& programFolder);

// Horalina's data folder, the stand-in for "C:\HTEMP": $HORALINA_HTEMP when
// set, else the C: drive of the Wine prefix where Horalina runs
// ($WINEPREFIX, or ~/.wine, then drive_c/HTEMP); on Windows "C:\HTEMP" itself.
// Throws Error(FileError::DataFolderUnknown) when none of them is set.
std::filesystem::path horalinaDataFolder();

// The native separator, appended to a folder to form a TUXA folder text.
char folderSeparator();

}  // namespace tht
