#include "platform/error.h"

#include <cerrno>
#include <cstring>

namespace tht {
namespace {

std::string withCause(std::string text, const std::string& cause) {
    if (!cause.empty()) text += ": " + cause;
    return text;
}

std::string lineSuffix(const ErrorContext& c) {
    return c.line > 0 ? ", línea " + std::to_string(c.line) : std::string();
}

std::string buildMessage(ErrorKind kind, const ErrorContext& c) {
    switch (kind) {
    case ErrorKind::FileUnreadable:
        return withCause("No se puede leer el archivo " + c.file, c.cause);
    case ErrorKind::FileUnwritable:
        return withCause("No se puede escribir el archivo " + c.file, c.cause);
    case ErrorKind::FolderMissing:
        return withCause("No se encuentra la carpeta de las tablas de Horalina " + c.file, c.cause);
    case ErrorKind::CodePageUnknown:
        return "No se conoce la página de códigos \"" + c.value + "\" (TUXA_CODEPAGE)";
    case ErrorKind::TableMissing:
        return "No existe la tabla " + c.table;
    case ErrorKind::TableInUse:
        return "La tabla " + c.table + " está en uso por otro programa";
    case ErrorKind::TableDamaged:
        return withCause("La tabla " + c.table + " está dañada", c.cause);
    case ErrorKind::FieldMissing:
        return "La tabla " + c.table + " no tiene el campo " + c.field;
    case ErrorKind::FieldValue:
        return "La tabla " + c.table + ", registro " + std::to_string(c.record) + ", campo " +
               c.field + ": \"" + c.value + "\" no es un valor válido";
    case ErrorKind::ValueTooWide:
        return "La tabla " + c.table + ", campo " + c.field + ": el valor " + c.value + " no cabe en el campo" +
               (c.file.empty() ? std::string() : " (" + c.file + lineSuffix(c) + ")");
    case ErrorKind::FieldUnwritable:
        return "La tabla " + c.table + ", campo " + c.field + ": no se pueden escribir campos de tipo " + c.value;
    case ErrorKind::TableReadOnly:
        return "La tabla " + c.table + " está abierta solo para lectura";
    case ErrorKind::NotANumber:
        return "\"" + c.value + "\" no es un número válido (" + c.file + lineSuffix(c) + ")";
    case ErrorKind::NotATime:
        return "\"" + c.value + "\" no es una hora válida (" + c.file + lineSuffix(c) + ")";
    case ErrorKind::IniUnwritable:
        return withCause("No se puede escribir el archivo de configuración " + c.file, c.cause);
    }
    return "Error desconocido";
}

}  // namespace

Error::Error(ErrorKind kind, ErrorContext context)
    : std::runtime_error(buildMessage(kind, context)), kind_(kind), context_(std::move(context)) {}

std::string describeSystemError(int errnum) {
    switch (errnum) {
    case ENOENT: return "no existe";
    case EACCES:
    case EPERM: return "permiso denegado";
    case EISDIR: return "es una carpeta";
    case ENOSPC: return "no queda espacio en el disco";
    case EFBIG: return "el archivo es demasiado grande";
    case EROFS: return "el sistema de archivos es de solo lectura";
    case ENOTDIR: return "una parte de la ruta no es una carpeta";
    case EIO: return "error de entrada/salida";
#ifdef EDQUOT  // not in the Windows C runtime
    case EDQUOT: return "se ha superado la cuota de disco";
#endif
    default: return std::strerror(errnum);
    }
}

}  // namespace tht
