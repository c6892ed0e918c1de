#include "platform/locations.h"

#include <cstdlib>

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
    } else {
        const char* home = std::getenv("HOME");
        prefix = std::filesystem::path(home && *home ? home : ".") / ".wine";
    }
    return prefix / "drive_c" / "HTEMP";
}

char folderSeparator() { return '/'; }

}  // namespace tht
