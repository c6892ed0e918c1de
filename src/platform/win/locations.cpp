#include <windows.h>

#include <string>

#include "platform/locations.h"
#include "platform/wide_text.h"

namespace tht {

std::filesystem::path executablePath() {
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) return {};
        if (n < buffer.size()) {
            buffer.resize(n);
            return std::filesystem::path(buffer);
        }
        buffer.resize(buffer.size() * 2);
    }
}

// Horalina reads the status beside the program it starts, where the Windows
// program has always left it.
std::filesystem::path statusFolder(const std::filesystem::path& programFolder) { return programFolder; }

std::filesystem::path horalinaDataFolder() {
    if (const auto htemp = environmentVariable(L"HORALINA_HTEMP")) return std::filesystem::path(*htemp);
    return std::filesystem::path(L"C:\\HTEMP");
}

char folderSeparator() { return '\\'; }

}  // namespace tht
