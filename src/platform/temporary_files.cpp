#include <cstdio>
#include <random>

#include "platform/files.h"

#include "platform/temporary_files.h"

namespace tht {
namespace {
constexpr std::string_view kPrefix = ".tht-";
constexpr std::string_view kSuffix = ".tmp";
constexpr std::size_t kDigits = 8;
static_assert(kPrefix.size() + kDigits + kSuffix.size() == kTemporaryNameLength);
}  // namespace

std::string temporaryName(std::uint32_t number) {
    char digits[kDigits + 1];
    std::snprintf(digits, sizeof digits, "%08x", static_cast<unsigned>(number));
    std::string name(kPrefix);
    name += digits;
    name += kSuffix;
    return name;
}

std::string unusedTemporaryName(const std::filesystem::path& folder) {
    std::random_device rd;
    for (;;) {
        std::string name = temporaryName(static_cast<std::uint32_t>(rd()));
        const std::filesystem::path p = folder / name;
        if (!fileExists(p) && !folderExists(p)) return name;
    }
}

bool isTemporaryName(std::string_view name) {
    if (name.size() != kTemporaryNameLength || !name.starts_with(kPrefix) || !name.ends_with(kSuffix)) return false;
    for (char c : name.substr(kPrefix.size(), kDigits))
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
    return true;
}

}  // namespace tht
