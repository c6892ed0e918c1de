#pragma once
#include <filesystem>

namespace tht {

// The running executable's own path ("Horalina.ini" lies beside it).
std::filesystem::path executablePath();

// Horalina's data folder, the stand-in for "C:\HTEMP": $HORALINA_HTEMP when
// set, else the C: drive of the Wine prefix where Horalina runs
// ($WINEPREFIX, or ~/.wine, then drive_c/HTEMP); on Windows "C:\HTEMP" itself.
// Throws Error(FileError::DataFolderUnknown) when none of them is set.
std::filesystem::path horalinaDataFolder();

// The native separator, appended to a folder to form a TUXA folder text.
char folderSeparator();

}  // namespace tht
