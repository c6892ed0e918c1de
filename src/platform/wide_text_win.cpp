#include <windows.h>

#include "platform/unicode.h"
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
    switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_NETPATH:
    case ERROR_INVALID_DRIVE: return "no existe";
    case ERROR_ACCESS_DENIED: return "permiso denegado";
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION: return "está en uso por otro programa";
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return "no queda espacio en el disco";
    case ERROR_FILE_TOO_LARGE: return "el archivo es demasiado grande";
    case ERROR_WRITE_PROTECT: return "el disco está protegido contra escritura";
    case ERROR_DIRECTORY: return "una parte de la ruta no es una carpeta";
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS: return "ya existe";
    case ERROR_NOT_READY: return "la unidad no está preparada";
    case ERROR_CRC:
    case ERROR_READ_FAULT:
    case ERROR_WRITE_FAULT:
    case ERROR_IO_DEVICE: return "error de entrada/salida";
    case 1295: return "se ha superado la cuota de disco";  // ERROR_DISK_QUOTA_EXCEEDED, missing from mingw
    default: return "error de Windows " + std::to_string(code);
    }
}

}  // namespace tht
