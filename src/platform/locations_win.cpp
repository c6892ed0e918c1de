#include <windows.h>

#include <string>

#include "platform/locations.h"

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

std::filesystem::path horalinaDataFolder() {
    wchar_t value[MAX_PATH * 4];
    const DWORD n = ::GetEnvironmentVariableW(L"HORALINA_HTEMP", value, MAX_PATH * 4);
    if (n > 0 && n < MAX_PATH * 4) return std::filesystem::path(std::wstring(value, n));
    return std::filesystem::path(L"C:\\HTEMP");
}

char folderSeparator() { return '\\'; }

}  // namespace tht
