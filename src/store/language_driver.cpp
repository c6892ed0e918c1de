#include "store/language_driver.h"

#include <array>
#include <utility>

namespace tht {
namespace {

constexpr std::string_view kWindowsLatin1 = "windows-1252";

constexpr std::array<std::pair<std::uint8_t, std::string_view>, 8> kDriverIds{{
    {0x01, "ibm-437"},
    {0x02, "ibm-850"},
    {0x03, kWindowsLatin1},
    {0x57, kWindowsLatin1},
    {0x58, kWindowsLatin1},
    {0x59, kWindowsLatin1},
    {0x64, "ibm-852"},
    {0xC8, "windows-1250"},
}};

// Prefixes of dBase 7 driver names; the last characters name the language.
constexpr std::array<std::pair<std::string_view, std::string_view>, 4> kDriverNames{{
    {"DBWIN", kWindowsLatin1},
    {"DB437", "ibm-437"},
    {"DB850", "ibm-850"},
    {"DB852", "ibm-852"},
}};

}  // namespace

std::string_view codePageOfDriverId(std::uint8_t id) {
    for (const auto& [known, page] : kDriverIds)
        if (known == id) return page;
    return kWindowsLatin1;
}

std::string_view codePageOfDriverName(std::string_view name, std::uint8_t id) {
    for (const auto& [prefix, page] : kDriverNames)
        if (name.substr(0, prefix.size()) == prefix) return page;
    return codePageOfDriverId(id);
}

}  // namespace tht
