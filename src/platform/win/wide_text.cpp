#include <windows.h>

#include <cerrno>

#include "base/messages.h"
#include "platform/error.h"
#include "charset/unicode.h"
#include "platform/wide_text.h"

namespace tht {

std::wstring widen(std::string_view utf8) {
    const std::u32string text = fromUtf8(utf8);
    std::wstring out;
    out.reserve(text.size());
    for (char32_t c : text) {
        if (c >= 0x10000) {
            c -= 0x10000;
            out.push_back(static_cast<wchar_t>(0xD800 + (c >> 10)));
            out.push_back(static_cast<wchar_t>(0xDC00 + (c & 0x3FF)));
        } else {
            out.push_back(static_cast<wchar_t>(c));
        }
    }
    return out;
}

std::string narrow(std::wstring_view utf16) {
    std::string bytes(reinterpret_cast<const char*>(utf16.data()), utf16.size() * sizeof(wchar_t));
    return toUtf8(fromUtf16(bytes, Utf16Order::LittleEndian));
}

std::optional<std::wstring> environmentVariable(const wchar_t* name) {
    std::wstring value(::GetEnvironmentVariableW(name, nullptr, 0), L'\0');
    if (value.empty()) return std::nullopt;
    const DWORD n = ::GetEnvironmentVariableW(name, value.data(), static_cast<DWORD>(value.size()));
    if (n == 0 || n >= value.size()) return std::nullopt;
    value.resize(n);
    return value;
}

std::string describeWindowsError(unsigned long code) {
    // The texts the POSIX build gives for the same causes, where there is one.
    switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_NETPATH:
    case ERROR_INVALID_DRIVE: return describeSystemError(ENOENT);
    case ERROR_ACCESS_DENIED: return describeSystemError(EACCES);
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return describeSystemError(ENOSPC);
    case ERROR_FILE_TOO_LARGE: return describeSystemError(EFBIG);
    case ERROR_WRITE_PROTECT: return describeSystemError(EROFS);
    case ERROR_DIRECTORY: return describeSystemError(ENOTDIR);
    case ERROR_CRC:
    case ERROR_READ_FAULT:
    case ERROR_WRITE_FAULT:
    case ERROR_IO_DEVICE: return describeSystemError(EIO);
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION: return std::string(msg::cause::kInUseByOtherProgram);
    case ERROR_NOT_READY: return std::string(msg::cause::kDriveNotReady);
    default: return msg::cause::windowsError(code);
    }
}

}  // namespace tht
