#pragma once
// The code page of a table's text, from the language driver it names.
#include <cstdint>
#include <string_view>

namespace tht {

// The language driver we write: DBWINWE0, Western European ANSI (cp1252),
// which every reader we checked takes as cp1252.
inline constexpr std::uint8_t kWrittenLanguageDriver = 0x58;
inline constexpr std::string_view kWrittenLanguageDriverName = "DBWINWE0";

// ICU converter name for the driver id of header byte 29. An id of 0 or one
// we do not know is taken as cp1252, as the dBase engine of the era took its
// configured Windows driver.
std::string_view codePageOfDriverId(std::uint8_t id);

// dBase 7 names the driver instead ("DBWINUS0", "DB437US0", ...); an empty
// or unknown name falls back to the id.
std::string_view codePageOfDriverName(std::string_view name, std::uint8_t id);

}  // namespace tht
