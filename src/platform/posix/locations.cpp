#include "platform/locations.h"

#include <cstdlib>

#include "platform/error.h"

namespace tht {

std::filesystem::path executablePath() {
    std::error_code ec;
    auto p = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::filesystem::path() : p;
}

std::filesystem::path horalinaDataFolder() {
    if (const char* htemp = std::getenv("HORALINA_HTEMP"); htemp && *htemp) return htemp;
    std::filesystem::path prefix;
    if (const char* wine = std::getenv("WINEPREFIX"); wine && *wine) {
        prefix = wine;
    } else if (const char* home = std::getenv("HOME"); home && *home) {
        prefix = std::filesystem::path(home) / ".wine";
    } else {
        // Never a folder relative to wherever the program was started.
        throw Error(FileError::DataFolderUnknown, {});
    }
    return prefix / "drive_c" / "HTEMP";
}

char folderSeparator() { return '/'; }

}  // namespace tht
