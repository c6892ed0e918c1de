#pragma once
// Writing one key of a settings file ("Horalina.ini"), keeping every other
// line as it was. The stand-in for the private-profile interface.
#include <filesystem>
#include <string>
#include <string_view>

#include "platform/error.h"

namespace tht {

enum class IniError {
    Unwritable,  // file, cause
};
std::string describe(IniError kind, const ErrorContext& c);

// Where Horalina reads the result status: this file beside the program.
inline constexpr std::string_view kSettingsFileName = "Horalina.ini";
inline constexpr std::string_view kStatusSection = "Transformadores";
inline constexpr std::string_view kStatusKey = "Transformado";

// Sets key = value in [section]: creates the file or the section when missing,
// replaces the first line of that key in the section (keeping a "; comment"
// after its value), keeps every other byte: the file's encoding (UTF-16 or
// UTF-8 with a byte-order mark, else its bytes as they are) and its line ends
// (CR LF, LF or CR). Section and key are matched without regard to letter
// case. The file is replaced atomically, through a symbolic link, keeping its
// mode; a read-only file is refused. Throws Error(IniError::Unwritable).
void writeIniValue(const std::filesystem::path& file, std::string_view section, std::string_view key,
                   std::string_view value);

// The text that writeIniValue would make of an existing file's content.
std::string updateIniText(std::string_view content, std::string_view section, std::string_view key,
                          std::string_view value);

}  // namespace tht
