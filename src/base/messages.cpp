#include "base/messages.h"

#include <cstdio>

#include "base/numbers.h"

namespace tht::msg {
namespace {

std::string withCause(std::string text, const std::string& cause) {
    if (!cause.empty()) text += ": " + cause;
    return text;
}

// " (file, línea n)", or " (file)" when no line is known.
std::string where(const std::string& file, std::int64_t line) {
    if (file.empty()) return {};
    return " (" + file + (line > 0 ? ", línea " + decimalText(line) : std::string()) + ")";
}

// "1 línea", "2 líneas": a count as Spanish reads it.
std::string counted(std::int64_t n, std::string_view one, std::string_view many) {
    return decimalText(n) + " " + std::string(n == 1 ? one : many);
}

// The verb or ending that agrees with a count: "se ha" / "se han".
std::string_view agreeing(std::int64_t n, std::string_view one, std::string_view many) { return n == 1 ? one : many; }

// "1 carácter nulo en la línea 3", "2 caracteres nulos (el primero en la línea 3)".
std::string countedFrom(std::int64_t n, std::string_view one, std::string_view many, std::int64_t line) {
    if (n == 1) return counted(n, one, many) + " en la línea " + decimalText(line);
    return counted(n, one, many) + " (el primero en la línea " + decimalText(line) + ")";
}

std::string hexByte(unsigned b) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "0x%02X", b & 0xFF);
    return buf;
}

}  // namespace

std::string folderMissing(const std::string& folder) { return std::string(kFolderMissing) + " " + folder; }
std::string fileUnreadable(const std::string& file, const std::string& cause) {
    return withCause("No se puede leer el archivo " + file, cause);
}
std::string folderUnreadable(const std::string& folder, const std::string& cause) {
    return withCause("No se puede leer la carpeta " + folder, cause);
}
std::string fileUnwritable(const std::string& file, const std::string& cause) {
    return withCause("No se puede escribir el archivo " + file, cause);
}
std::string codePageUnknown(const std::string& name) {
    return "No se conoce la página de códigos \"" + name + "\" (TUXA_CODEPAGE)";
}

std::string tablesFolderMissing(const std::string& folder, const std::string& cause) {
    return withCause("No se encuentra la carpeta de las tablas de Horalina " + folder, cause);
}
std::string tableMissing(const std::string& table) { return "No existe la tabla " + table; }
std::string tableInUse(const std::string& table) { return "La tabla " + table + " está en uso por otro programa"; }
std::string tableDamaged(const std::string& table, const std::string& cause) {
    return withCause("La tabla " + table + " está dañada", cause);
}
std::string fieldMissing(const std::string& table, const std::string& field) {
    return "La tabla " + table + " no tiene el campo " + field;
}
std::string fieldValue(const std::string& table, std::int64_t record, const std::string& field,
                       const std::string& value) {
    return "La tabla " + table + ", registro " + decimalText(record) + ", campo " + field + ": \"" + value +
           "\" no es un valor válido";
}
std::string valueTooWide(const std::string& table, const std::string& field, const std::string& value,
                         const std::string& file, std::int64_t line) {
    return "La tabla " + table + ", campo " + field + ": el valor " + value + " no cabe en el campo" +
           where(file, line);
}
std::string fieldUnwritable(const std::string& table, const std::string& field, const std::string& type) {
    return "La tabla " + table + ", campo " + field + ": no se pueden escribir campos de tipo " + type;
}
std::string tableReadOnly(const std::string& table) {
    return "La tabla " + table + " está abierta solo para lectura";
}

std::string notANumber(const std::string& value, const std::string& file, std::int64_t line) {
    return "\"" + value + "\" no es un número válido" + where(file, line);
}
std::string notATime(const std::string& value, const std::string& file, std::int64_t line) {
    return "\"" + value + "\" no es una hora válida" + where(file, line);
}
std::string timeCutAtNul(const std::string& file, std::int64_t line) {
    return "La hora de la línea " + decimalText(line) + " del archivo " + file +
           " está incompleta: un carácter nulo termina el texto en esa línea";
}

std::string folderBusy(const std::string& folder) {
    return "La carpeta de Horalina " + folder +
           " está en uso por otra ejecución de transHoraloTuxa: espere a que termine y vuelva a intentarlo";
}
std::string nothingKept(const std::string& folder) {
    return "No hay ninguna copia guardada que restaurar en " + folder;
}
std::string keptSetUnknown(const std::string& set, const std::string& folder) {
    return "No existe la copia guardada \"" + set + "\" en " + folder +
           ": vea las que hay con transhoralotuxa-cli restaurar CARPETA --lista";
}
std::string dataFolderUnknown() {
    return "No se sabe cuál es la carpeta de datos de Horalina: no están definidas las variables HORALINA_HTEMP, "
           "WINEPREFIX ni HOME";
}

std::string stateFolderUnknown() {
    return "No se sabe cuál es la carpeta donde dejar Horalina.ini ($XDG_STATE_HOME/transhoralotuxa o "
           "$HOME/.local/state/transhoralotuxa): ni la variable XDG_STATE_HOME ni HOME tienen una ruta absoluta";
}
std::string stateFolderUncreatable(const std::string& folder, const std::string& cause) {
    return withCause("No se puede crear la carpeta " + folder + ", donde se deja Horalina.ini", cause);
}

std::string iniUnwritable(const std::string& file, const std::string& cause) {
    return withCause("No se puede escribir el archivo de configuración " + file, cause);
}

std::string internalError(const std::string& detail) {
    return withCause("Error interno del programa", detail);
}

namespace cause {
std::string systemError(int number) { return "error del sistema " + decimalText(number); }
std::string windowsError(unsigned long number) {
    return "error de Windows " + decimalText(static_cast<std::int64_t>(number));
}

std::string headerIncomplete(std::uint64_t fileSize) {
    return "la cabecera está incompleta (el archivo tiene " +
           counted(static_cast<std::int64_t>(fileSize), "byte", "bytes") + ")";
}
std::string notADbaseTable(unsigned versionByte) { return "no es una tabla dBase (versión " + hexByte(versionByte) + ")"; }
std::string headerBeyondFile(std::uint64_t headerLength, std::uint64_t fileSize) {
    return "la tabla está truncada: la cabecera declara " + decimalText(static_cast<std::int64_t>(headerLength)) +
           " bytes y el archivo tiene " + counted(static_cast<std::int64_t>(fileSize), "byte", "bytes");
}
std::string headerLengthMismatch(std::uint64_t declared, std::uint64_t fields) {
    return "la longitud de la cabecera (" + decimalText(static_cast<std::int64_t>(declared)) +
           ") no corresponde a los campos (" + decimalText(static_cast<std::int64_t>(fields)) + ")";
}
std::string fieldWidthWrong(const std::string& field, char type, unsigned width, unsigned expected) {
    return "el campo " + field + " de tipo " + std::string(1, type) + " tiene " + counted(width, "byte", "bytes") +
           " en lugar de " + decimalText(expected);
}
std::string recordLengthMismatch(std::uint64_t declared, std::uint64_t fields) {
    return "la longitud de registro (" + decimalText(static_cast<std::int64_t>(declared)) +
           ") no corresponde a los campos (" + decimalText(static_cast<std::int64_t>(fields)) + ")";
}
std::string recordsBeyondFile(std::uint64_t records, std::uint64_t recordLength, std::uint64_t fileSize) {
    return "la tabla está truncada: declara " + counted(static_cast<std::int64_t>(records), "registro", "registros") +
           " de " + counted(static_cast<std::int64_t>(recordLength), "byte", "bytes") + " y el archivo tiene " +
           counted(static_cast<std::int64_t>(fileSize), "byte", "bytes");
}
}  // namespace cause

namespace warn {
std::string bigChange(std::string_view table, std::int64_t before, std::int64_t after, std::int64_t removed) {
    return "cambio grande en " + std::string(table) + ": " + counted(before, "registro", "registros") + " antes, " +
           decimalText(after) + " ahora (" + counted(removed, "quitado", "quitados") +
           "): compruebe que la carpeta de TUXA es la buena; transhoralotuxa-cli restaurar devuelve las tablas "
           "anteriores";
}
std::string previousUnreadable(std::string_view table, const std::string& cause) {
    return "no se ha podido comparar " + std::string(table) + " con la tabla que había: " + cause;
}
std::string timetableNotKept(const std::string& cause) {
    return "no se ha guardado copia del TUXA_HORARIO.TXT anterior: " + cause;
}
std::string noTrailerLine(const std::string& file) {
    return "el archivo " + file + " no termina con su línea final (9): puede estar incompleto";
}
std::string textEndedAtNul(const std::string& file, std::int64_t count, std::int64_t line,
                           std::int64_t linesNotRead) {
    std::string text = "el archivo " + file + " tiene " +
                       countedFrom(count, "carácter nulo", "caracteres nulos", line) + ": el texto termina ahí";
    if (linesNotRead > 0)
        text += " y no " + std::string(agreeing(linesNotRead, "se ha leído ", "se han leído ")) +
                counted(linesNotRead, "línea", "líneas") + " más";
    return text;
}
std::string nulsReadAsSpaces(const std::string& file, std::int64_t count, std::int64_t firstLine) {
    return "el archivo " + file + " tiene " + countedFrom(count, "carácter nulo", "caracteres nulos", firstLine) +
           std::string(agreeing(count, ": se ha leído como espacio", ": se han leído como espacios"));
}
std::string loneCarriageReturns(const std::string& file, std::int64_t count, std::int64_t firstLine) {
    return "el archivo " + file + " tiene " +
           countedFrom(count, "retorno de carro suelto", "retornos de carro sueltos", firstLine) +
           ", sin salto de línea detrás: cada uno une dos líneas en una";
}
std::string readAsUtf8(const std::string& file, const std::string& codePage) {
    return "el archivo " + file + " está guardado en UTF-8 y se ha leído como UTF-8, no con la página de códigos " +
           codePage;
}
std::string unstorableCharacters(const std::string& file, std::int64_t count, std::int64_t firstLine,
                                 const std::string& codePage) {
    return "el archivo " + file + " tiene " + countedFrom(count, "carácter", "caracteres", firstLine) +
           std::string(agreeing(count, " que no cabe", " que no caben")) + " en la página de códigos " + codePage +
           " de las tablas: " + std::string(agreeing(count, "se ha escrito", "se han escrito")) + " como \"?\"";
}
std::string unreadableCharacters(const std::string& file, std::int64_t count, std::int64_t firstLine,
                                 const std::string& codePage) {
    return "el archivo " + file + " tiene " + countedFrom(count, "carácter", "caracteres", firstLine) +
           std::string(agreeing(count, " que no se puede leer", " que no se pueden leer")) +
           " con la página de códigos " + codePage + "; " +
           std::string(agreeing(count, "se ha escrito", "se han escrito")) + " como \"?\"";
}
std::string valueWiderThanColumn(const std::string& field, std::size_t width, std::int64_t count,
                                 std::int64_t firstRecord, const std::string& value) {
    if (count == 1)
        return "1 valor de " + field + " más ancho que su columna (" + counted(static_cast<std::int64_t>(width), "carácter", "caracteres") +
               ") desplaza el resto de la línea: \"" + value + "\", en el registro " + decimalText(firstRecord);
    return counted(count, "valor", "valores") + " de " + field + " más anchos que su columna (" +
           counted(static_cast<std::int64_t>(width), "carácter", "caracteres") +
           ") desplazan el resto de la línea; el primero, \"" + value + "\", en el registro " + decimalText(firstRecord);
}
}  // namespace warn

namespace summary {
std::string writtenOfRead(std::int64_t written, std::int64_t read) {
    return counted(written, "escrito", "escritos") + " de " + counted(read, "leído", "leídos");
}
std::string dropped(std::int64_t count, bool records, std::string_view reason) {
    return (records ? counted(count, "registro", "registros")
                    : counted(count, "línea descartada", "líneas descartadas")) +
           ": " + std::string(reason);
}
std::string_view numbersLabel(std::int64_t count, bool records) {
    if (records) return agreeing(count, "registro", "registros");
    return agreeing(count, "línea", "líneas");
}
}  // namespace summary

namespace usage {
std::string unexpectedArguments(const std::vector<std::string>& arguments) {
    const auto count = static_cast<std::int64_t>(arguments.size());
    std::string text(agreeing(count, "sobra el argumento", "sobran los argumentos"));
    for (const std::string& argument : arguments) text += " " + argument;
    return text;
}
std::string missingValue(const std::string& option) { return "falta el valor de " + option; }
std::string repeatedOption(const std::string& option) { return option + " se ha dado más de una vez"; }
std::string emptyValue(const std::string& what) { return what + " no puede estar vacío"; }
std::string keptSetLine(const std::string& name, const std::vector<std::string>& files) {
    std::string line = name + "  (";
    for (std::size_t i = 0; i < files.size(); ++i) line += (i ? ", " : "") + files[i];
    return line + ")";
}
std::string restore(std::string_view keptFolder, std::size_t kept) {
    return "Devuelve una copia guardada de lo que reemplazó una ejecución (la más reciente si no se nombra); "
           "lo que reemplaza queda guardado a su vez. Las copias están en la carpeta \"" +
           std::string(keptFolder) + "\" de la carpeta de Horalina (de la de TUXA, las de TUXA_HORARIO.TXT); " +
           "se guardan las " + std::to_string(kept) + " más recientes";
}
std::string noKeptSets(const std::string& folder) { return "No hay copias guardadas en " + folder; }
std::string wrongUsage(std::string_view detail) { return "error: " + std::string(detail) + "\n" + std::string(kLine); }
}  // namespace usage

namespace window {
std::string helpTitle(const std::string& version) {
    return "Ayuda de " + std::string(kApplicationTitle) + " " + version;
}
std::string helpMissing(const std::string& helpFile, const std::string& where) {
    return "No se encuentra la ayuda " + helpFile + " (" + where + ").";
}
std::string helpPageMissing(const std::string& page, const std::string& helpFile) {
    return "Falta la página " + page + " de la ayuda " + helpFile + ".";
}
std::string helpWithoutContents(const std::string& helpFile) {
    return "La ayuda " + helpFile + " no tiene página de contenido.";
}
std::string helpNotOpened(const std::string& helpFile, const std::string& cause) {
    return "No se puede abrir la ayuda " + helpFile + ": " + cause + ".";
}
std::string helpTopicRefused(int context) {
    return "el visor de ayuda no ha podido mostrar el tema " + decimalText(context);
}
std::string helpWithoutTopic(const std::string& helpFile, int context) {
    return "La ayuda " + helpFile + " no tiene el tema " + decimalText(context) + ".";
}
}  // namespace window

namespace window_usage {
std::string help() {
    return std::string(
               "Modo de empleo: transhoralotuxa [exportar|importar CARPETA]\n"
               "\n"
               "Abre la ventana que pasa los datos de horarios de un centro entre los ficheros\n"
               "de TUXA y las tablas de Horalina.\n"
               "\n"
               "Sin argumentos ofrece las dos direcciones: se elige la carpeta de los ficheros\n"
               "TXT de TUXA y se pulsa el botón OK de la dirección.\n"
               "\n"
               "Con dos argumentos, como la arranca Horalina, ofrece solo la dirección del\n"
               "primero (exportar o importar), se cierra al terminar y deja el estado final en\n"
               "Horalina.ini: junto al programa o, si está instalado (en una carpeta bin o en\n"
               "una en la que el usuario no puede escribir), en $XDG_STATE_HOME/transhoralotuxa\n"
               "(o ~/.local/state/transhoralotuxa), que se crea si no existe. El segundo\n"
               "argumento no se lee.\n"
               "\n"
               "El botón ") +
           std::string(window::kHelp) +
           " y la tecla F1 abren la ayuda.\n"
           "\n"
           "Opciones:\n"
           "  --help       " +
           std::string(usage::kHelp) + "\n  --version    " + std::string(usage::kVersion) + "\n";
}
std::string version(const std::string& version) { return std::string("transhoralotuxa ") + version + "\n"; }
}  // namespace window_usage

namespace report {

std::string statusText(int status) {
    switch (status) {
        case 1: return "1 (transformado)";
        case -1: return "-1 (transformado, pero faltaba algún archivo de entrada)";
        default: return decimalText(status) + " (no transformado)";
    }
}
std::string dropLine(std::string_view source, std::int64_t number, bool records, std::string_view value) {
    std::string out = std::string(source) + (records ? ", registro " : ", línea ") + decimalText(number);
    if (!value.empty()) out += ": " + std::string(value);
    return out;
}
std::string recordLine(std::string_view file, std::int64_t line, std::string_view table, std::int64_t record,
                       std::string_view value) {
    std::string out = std::string(file) + ", línea " + decimalText(line) + " (" + std::string(table) + ", registro " +
                      decimalText(record) + ")";
    if (!value.empty()) out += ": " + std::string(value);
    return out;
}
std::string totals(std::int64_t dropped, std::int64_t warnings) {
    return "En total: " + counted(dropped, "línea o registro con problemas", "líneas o registros con problemas") +
           " y " + counted(warnings, "aviso", "avisos") + ".";
}
std::string labelled(std::string_view label, const std::string& value) {
    return std::string(label) + " \"" + value + "\"";
}
std::string subjectValue(const std::string& subject, const std::string& identifier) {
    return labelled(kSubject, subject) + (identifier.empty() ? "" : ", " + labelled("identificador", identifier));
}
std::string courseValue(const std::string& subject, const std::string& group, const std::string& identifier) {
    return subjectValue(subject, identifier) + ", " + labelled(kGroup, group);
}
std::string slotValue(const std::string& day, const std::string& hour, const std::string& frame) {
    return "DIA " + day + ", HORA " + hour + ", MARCO " + frame;
}
std::string notWritten(const std::string& file, const std::string& cause) {
    return "no se ha podido escribir el informe " + file + ": " + cause;
}
std::string problems(std::int64_t dropped, std::int64_t warnings, const std::string& file) {
    return "Datos con problemas: " + counted(dropped, "línea o registro", "líneas o registros") + " y " +
           counted(warnings, "aviso", "avisos") + ".\nLos detalles están en el informe " + file + ".";
}
std::string notOpened(const std::string& file, const std::string& cause) {
    return "No se puede abrir el informe " + file + ": " + cause + ".";
}
std::string undone(const std::string& keptFolder) {
    return "Exportación deshecha: las tablas de Horalina vuelven a ser las que había antes de ella.\n"
           "Las que escribió se guardan en " + keptFolder + ".";
}
}  // namespace report

namespace changes {
namespace {
std::string kinds(std::int64_t added, std::int64_t removed, std::int64_t changed) {
    return counted(added, "nuevo", "nuevos") + ", " + counted(removed, "quitado", "quitados") + ", " +
           counted(changed, "cambiado", "cambiados");
}
}  // namespace
std::string tableLine(std::string_view table, std::string_view keys, std::int64_t before, std::int64_t after,
                      std::int64_t added, std::int64_t removed, std::int64_t changed) {
    return std::string(table) + " (por " + std::string(keys) + "): " + counted(before, "registro", "registros") +
           " antes, " + decimalText(after) + " ahora: " + kinds(added, removed, changed);
}
std::string noPrevious(std::string_view table, std::int64_t after) {
    return std::string(table) + ": no había tabla anterior; " + counted(after, "registro nuevo", "registros nuevos");
}
std::string unchanged(std::string_view table, std::string_view keys, std::int64_t records) {
    return std::string(table) + " (por " + std::string(keys) + "): sin cambios, " +
           counted(records, "registro", "registros");
}
std::string recordLine(std::string_view code, std::string_view name, std::string_view before) {
    std::string out(code);
    if (!name.empty()) out.append("  ").append(name);
    if (!before.empty()) out.append(" (antes: ").append(before).append(")");
    return out;
}
std::string more(std::int64_t n) { return "y " + decimalText(n) + " más"; }
std::string summaryLine(std::int64_t added, std::int64_t removed, std::int64_t changed) {
    if (added + removed + changed == 0) return "cambios: ninguno";
    return "cambios: " + kinds(added, removed, changed);
}
}  // namespace changes

}  // namespace tht::msg
