#include "platform/error.h"

#include <cerrno>

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
    // Only Spanish reaches the user: an error number we have no words for is
    // given by its number, never by the system's English text.
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
#ifdef EDQUOT
    case EDQUOT: return "se ha superado la cuota de disco";
#endif
    case ENAMETOOLONG: return "la ruta o el nombre es demasiado largo";
#ifdef ELOOP
    case ELOOP: return "demasiados enlaces simbólicos encadenados";
#endif
    case EMFILE:
    case ENFILE: return "hay demasiados archivos abiertos";
    case ENXIO:
    case ENODEV: return "es un dispositivo que no está disponible";
    case ENOMEM: return "no hay memoria suficiente";
    case EBUSY:
#ifdef ETXTBSY
    case ETXTBSY:
#endif
        return "está en uso";
    case EEXIST: return "ya existe";
    case ENOTEMPTY: return "la carpeta no está vacía";
    case EXDEV: return "está en otro sistema de archivos";
    case EINVAL: return "operación no válida para este archivo";
    case EAGAIN: return "no está disponible en este momento";
    case EINTR: return "la operación se interrumpió";
#ifdef EOVERFLOW
    case EOVERFLOW: return "el archivo es demasiado grande";
#endif
#ifdef ENOLCK
    case ENOLCK: return "no se puede bloquear el archivo";
#endif
#ifdef ESTALE
    case ESTALE: return "el archivo ya no existe en el servidor";
#endif
#ifdef ENOTSUP
    case ENOTSUP: return "el sistema de archivos no admite la operación";
#endif
#ifdef EMLINK
    case EMLINK: return "demasiados enlaces";
#endif
    case ENOSYS: return "el sistema no admite la operación";
    case EBADF: return "el archivo no está abierto";
    case EPIPE: return "se ha cerrado la conexión";
    default: return "error del sistema " + std::to_string(errnum);
    }
}

std::string notRegularFileCause() { return "no es un archivo normal (es una tubería, un dispositivo o similar)"; }

}  // namespace tht
