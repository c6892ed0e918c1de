#pragma once
// Windows only: the UTF-16 of the system's wide APIs to and from the UTF-8
// that the rest of the program holds, and what the Win32 services share.
#include <optional>
#include <string>
#include <string_view>

namespace tht {

std::wstring widen(std::string_view utf8);
std::string narrow(std::wstring_view utf16);

// An environment variable's value; nullopt when it is not set or empty.
std::optional<std::wstring> environmentVariable(const wchar_t* name);

// A system error code (GetLastError) as text for the user, in Spanish where
// we know it.
std::string describeWindowsError(unsigned long code);

}  // namespace tht
