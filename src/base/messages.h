#pragma once
// Every text the user reads, in one place: the messages a run shows, the
// errors that stop it, the reasons a line is dropped, the words of the
// command line's summary and usage, and the captions of the window. The
// texts that Horalina's users already know are kept exactly as they stand.
// Values in the texts are UTF-8.
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tht::msg {

// ---- what a run shows --------------------------------------------------------
inline constexpr std::string_view kFolderMissing = "No existe la carpeta";
// The command line's error beside it: the line above stays as the window shows it.
std::string folderMissing(const std::string& folder);
inline constexpr std::string_view kRunFinished = "Proceso finalizado";
// A run found the tables of a run that was stopped while they took their names.
inline constexpr std::string_view kInterruptedCommitFinished =
    "Una ejecución anterior se detuvo mientras cambiaba las tablas: se ha completado el cambio";
inline constexpr std::string_view kInterruptedCommitUndone =
    "Una ejecución anterior se detuvo mientras cambiaba las tablas: se han restaurado las tablas anteriores";
inline constexpr std::string_view kNoSubjectsFile = "No existe archivo de asignaturas (TUXA_ASIGNAT.TXT)";
inline constexpr std::string_view kNoTeachersFile = "No existe archivo de profesores (TUXA_PROF.TXT)";
inline constexpr std::string_view kNoRoomsFile = "No existe archivo de aulas (TUXA_AULAS.TXT)";
inline constexpr std::string_view kNoGroupsFile = "No existe archivo de grupos (TUXA_GRUPO.TXT)";
inline constexpr std::string_view kNoAssignmentsFile = "No existe archivo de grupos (TUXA_ASIGNATGRUPO.TXT)";
inline constexpr std::string_view kNoCourseHoursFile = "No existe archivo de grupos (TUXA_ASIGNATCURSO.TXT)";
inline constexpr std::string_view kNoSessionsFile = "No existe archivo de grupos (TUXA_SESIONES.TXT)";

// ---- errors that stop a run --------------------------------------------------
// Files and folders.
std::string fileUnreadable(const std::string& file, const std::string& cause);
std::string folderUnreadable(const std::string& folder, const std::string& cause);
std::string fileUnwritable(const std::string& file, const std::string& cause);
std::string codePageUnknown(const std::string& name);
// Horalina's tables.
std::string tablesFolderMissing(const std::string& folder, const std::string& cause);
std::string tableMissing(const std::string& table);
std::string tableInUse(const std::string& table);
std::string tableDamaged(const std::string& table, const std::string& cause);
std::string fieldMissing(const std::string& table, const std::string& field);
std::string fieldValue(const std::string& table, std::int64_t record, const std::string& field,
                       const std::string& value);
std::string valueTooWide(const std::string& table, const std::string& field, const std::string& value,
                         const std::string& file, std::int64_t line);
std::string fieldUnwritable(const std::string& table, const std::string& field, const std::string& type);
std::string tableReadOnly(const std::string& table);
// Values of TUXA files.
std::string notANumber(const std::string& value, const std::string& file, std::int64_t line);
std::string notATime(const std::string& value, const std::string& file, std::int64_t line);
std::string timeCutAtNul(const std::string& file, std::int64_t line);
// Horalina's data folder.
std::string folderBusy(const std::string& folder);
std::string dataFolderUnknown();
// restaurar.
std::string nothingKept(const std::string& folder);
std::string keptSetUnknown(const std::string& set, const std::string& folder);
// The settings file, and the folder where an installed window keeps it.
std::string stateFolderUnknown();
std::string stateFolderUncreatable(const std::string& folder, const std::string& cause);
std::string iniUnwritable(const std::string& file, const std::string& cause);
// Anything that is no error of ours: a fault of the program, named as such.
std::string internalError(const std::string& detail);

// What the operating system said, for the causes above.
namespace cause {
inline constexpr std::string_view kNotFound = "no existe";
inline constexpr std::string_view kPermissionDenied = "permiso denegado";
inline constexpr std::string_view kIsFolder = "es una carpeta";
inline constexpr std::string_view kDiskFull = "no queda espacio en el disco";
inline constexpr std::string_view kFileTooLarge = "el archivo es demasiado grande";
inline constexpr std::string_view kReadOnlyFileSystem = "el sistema de archivos es de solo lectura";
inline constexpr std::string_view kNotAFolder = "una parte de la ruta no es una carpeta";
inline constexpr std::string_view kInputOutput = "error de entrada/salida";
inline constexpr std::string_view kQuotaExceeded = "se ha superado la cuota de disco";
inline constexpr std::string_view kNameTooLong = "la ruta o el nombre es demasiado largo";
inline constexpr std::string_view kTooManyLinks = "demasiados enlaces simbólicos encadenados";
inline constexpr std::string_view kTooManyOpenFiles = "hay demasiados archivos abiertos";
inline constexpr std::string_view kDeviceMissing = "es un dispositivo que no está disponible";
inline constexpr std::string_view kOutOfMemory = "no hay memoria suficiente";
inline constexpr std::string_view kBusy = "está en uso";
inline constexpr std::string_view kExists = "ya existe";
inline constexpr std::string_view kFolderNotEmpty = "la carpeta no está vacía";
inline constexpr std::string_view kOtherFileSystem = "está en otro sistema de archivos";
inline constexpr std::string_view kInvalidOperation = "operación no válida para este archivo";
inline constexpr std::string_view kTryAgain = "no está disponible en este momento";
inline constexpr std::string_view kInterrupted = "la operación se interrumpió";
inline constexpr std::string_view kNoLocks = "no se puede bloquear el archivo";
inline constexpr std::string_view kStale = "el archivo ya no existe en el servidor";
inline constexpr std::string_view kNotSupported = "el sistema de archivos no admite la operación";
inline constexpr std::string_view kTooManyHardLinks = "demasiados enlaces";
inline constexpr std::string_view kSystemNotSupported = "el sistema no admite la operación";
inline constexpr std::string_view kNotOpen = "el archivo no está abierto";
inline constexpr std::string_view kConnectionClosed = "se ha cerrado la conexión";
inline constexpr std::string_view kNotRegularFile = "no es un archivo normal (es una tubería, un dispositivo o similar)";
inline constexpr std::string_view kNotOurJournal = "no es un diario de transhoralotuxa o está dañado";
std::string systemError(int number);  // the fallback for a number we have no text for
// Causes only Windows gives.
inline constexpr std::string_view kInUseByOtherProgram = "está en uso por otro programa";
inline constexpr std::string_view kDriveNotReady = "la unidad no está preparada";
std::string windowsError(unsigned long number);  // the fallback for a Windows error code we have no text for

// Why a table is damaged.
std::string headerIncomplete(std::uint64_t fileSize);
std::string notADbaseTable(unsigned versionByte);
std::string headerBeyondFile(std::uint64_t headerLength, std::uint64_t fileSize);
inline constexpr std::string_view kNoFieldListEnd = "falta el byte 0x0D que cierra la lista de campos";
std::string headerLengthMismatch(std::uint64_t declared, std::uint64_t fields);
std::string fieldWidthWrong(const std::string& field, char type, unsigned width, unsigned expected);
std::string recordLengthMismatch(std::uint64_t declared, std::uint64_t fields);
inline constexpr std::string_view kRecordsMisplaced = "los registros no empiezan donde dice la cabecera";
std::string recordsBeyondFile(std::uint64_t records, std::uint64_t recordLength, std::uint64_t fileSize);
}  // namespace cause

// ---- why a line or record yielded nothing, or took a fallback ---------------
namespace drop {
inline constexpr std::string_view kSubjectWithoutCode = "asignatura sin código";
inline constexpr std::string_view kShortCodeTaken = "código corto ya usado tras el corte a 10 caracteres";
inline constexpr std::string_view kActivityRepeated = "código de actividad repetido (TUXA_ACTIVIDADES.TXT)";
inline constexpr std::string_view kTeacherRepeated = "código de profesor repetido";
inline constexpr std::string_view kEmptyTeacherRepeated = "código de profesor vacío repetido";
inline constexpr std::string_view kSubjectNotInAsignomt = "asignatura que no está en ASIGNOMT";
inline constexpr std::string_view kGroupNotInGrupost = "grupo que no está en GRUPOST";
inline constexpr std::string_view kNoCourseLine = "sin línea de curso: 1 hora";
// Characters that windows-1252 cannot hold are stored as "?": codes that
// differed only in them are one code in the tables.
inline constexpr std::string_view kSubjectCodeMerged =
    "código de asignatura que, con «?» en lugar de los caracteres que windows-1252 no admite, "
    "es el de una línea anterior";
inline constexpr std::string_view kSubjectCodeUnheld =
    "asignatura con caracteres que windows-1252 no admite: buscada en ASIGNOMT con «?» en su lugar";
inline constexpr std::string_view kDayZero = "DIA 0: sin línea";
inline constexpr std::string_view kSlotNotInDiashorast = "tramo que no está en DIASHORAST";
inline constexpr std::string_view kTaskNotInAsignomt = "tarea que no está en ASIGNOMT: LEC";
inline constexpr std::string_view kRoomNotInAulat = "aula que no está en AULAT";
}  // namespace drop

// ---- what looked odd, although the run went on -------------------------------
namespace warn {
std::string noTrailerLine(const std::string& file);
// A table that lost more than a third of its records, or all of them: the
// wrong TUXA folder, or one only partly refreshed.
std::string bigChange(std::string_view table, std::int64_t before, std::int64_t after, std::int64_t removed);
// The table the export replaced could not be read: nothing to compare with.
std::string previousUnreadable(std::string_view table, const std::string& cause);
// The TUXA folder could not take our lock: the timetable replaced with no copy of the old one.
std::string timetableNotKept(const std::string& cause);
// Horalina leaves SOLUC empty until it has a solution: the timetable written is empty too.
inline constexpr std::string_view kEmptySolution =
    "SOLUC.DBF no tiene registros: TUXA_HORARIO.TXT se ha escrito sin ninguna clase";
std::string textEndedAtNul(const std::string& file, std::int64_t count, std::int64_t line,
                           std::int64_t linesNotRead);
std::string nulsReadAsSpaces(const std::string& file, std::int64_t count, std::int64_t firstLine);
std::string loneCarriageReturns(const std::string& file, std::int64_t count, std::int64_t firstLine);
std::string readAsUtf8(const std::string& file, const std::string& codePage);
std::string unstorableCharacters(const std::string& file, std::int64_t count, std::int64_t firstLine,
                                 const std::string& codePage);
std::string unreadableCharacters(const std::string& file, std::int64_t count, std::int64_t firstLine,
                                 const std::string& codePage);
std::string valueWiderThanColumn(const std::string& field, std::size_t width, std::int64_t count,
                                 std::int64_t firstRecord, const std::string& value);
}  // namespace warn

// ---- the command line's summary and usage ------------------------------------
namespace summary {
inline constexpr std::string_view kNoInputFile = "sin archivo de entrada, no se ha cambiado";
// Also the run report's: "1 escrito de 2 leídos".
std::string writtenOfRead(std::int64_t written, std::int64_t read);
// Also the run report's: "2 líneas descartadas: reason" / "1 registro: reason".
std::string dropped(std::int64_t count, bool records, std::string_view reason);
// What the numbers that follow count: "línea", "registros".
std::string_view numbersLabel(std::int64_t count, bool records);
inline constexpr std::string_view kWarning = "aviso";
}  // namespace summary

namespace usage {
inline constexpr std::string_view kProgram =
    "transhoralotuxa-cli: pasa datos entre los ficheros de TUXA y las tablas de Horalina";
inline constexpr std::string_view kExport =
    "De TUXA a Horalina: recrea las tablas de Horalina, guarda las que reemplaza y dice qué ha cambiado";
inline constexpr std::string_view kImport = "De Horalina a TUXA: escribe TUXA_HORARIO.TXT";
inline constexpr std::string_view kFolder = "Carpeta de los ficheros TXT de TUXA";
inline constexpr std::string_view kHtemp =
    "Carpeta de datos de Horalina (por defecto $HORALINA_HTEMP o C:\\HTEMP de Wine)";
inline constexpr std::string_view kIni = "Archivo en el que escribir el estado final ([Transformadores] Transformado)";
inline constexpr std::string_view kCheck =
    "Comprueba la exportación sin reemplazar nada en la carpeta de Horalina y da el informe, con lo que cambiaría";
inline constexpr std::string_view kReport =
    "Archivo en el que escribir el informe (por defecto INFORME_TRANSHORALOTUXA.TXT en la carpeta de Horalina; "
    "comprobar lo escribe en la salida estándar)";
inline constexpr std::string_view kQuiet = "Sin resumen por tabla en la salida de errores";
// restaurar: what it does, where the kept sets are and how many are kept.
std::string restore(std::string_view keptFolder, std::size_t kept);
inline constexpr std::string_view kSet = "Nombre de la copia guardada que devolver (de la lista de --lista)";
inline constexpr std::string_view kList = "Lista las copias guardadas, de la más antigua a la más reciente, y termina";
inline constexpr std::string_view kTimetable =
    "Devuelve TUXA_HORARIO.TXT en la carpeta de TUXA en lugar de las tablas de Horalina";
// --lista: one line per kept set, and what to say when there is none.
std::string keptSetLine(const std::string& name, const std::vector<std::string>& files);
std::string noKeptSets(const std::string& folder);
inline constexpr std::string_view kHelp = "Muestra esta ayuda y termina";
inline constexpr std::string_view kVersion = "Muestra la versión y termina";
// The headings of --help, each beside the English word the parser would print.
inline constexpr std::string_view kOptionsGroup = "Opciones";
inline constexpr std::string_view kDirectionsGroup = "Órdenes";
inline constexpr std::pair<std::string_view, std::string_view> kHelpLabels[] = {
    {"Usage", "Uso"},           {"OPTIONS", "OPCIONES"},  {"SUBCOMMAND", "ORDEN"}, {"SUBCOMMANDS", "ÓRDENES"},
    {"Positionals", "Argumentos"}, {"REQUIRED", "(obligatoria)"}, {"TEXT", "TEXTO"}, {"Env", "Variable"},
    {"Needs", "Requiere"},      {"Excludes", "Excluye"},
};
inline constexpr std::string_view kLine =
    "Uso: transhoralotuxa-cli exportar|importar CARPETA [--htemp DIR] [--ini FICHERO] [--informe FICHERO] [--quiet]\n"
    "     transhoralotuxa-cli comprobar CARPETA [--htemp DIR] [--informe FICHERO] [--quiet]\n"
    "     transhoralotuxa-cli restaurar CARPETA [--htemp DIR] [--conjunto NOMBRE] [--lista] [--horario] [--ini FICHERO] "
    "[--informe FICHERO] [--quiet]";
inline constexpr std::string_view kMissingDirection = "falta la orden: exportar, importar, comprobar o restaurar";
inline constexpr std::string_view kMissingFolder = "falta la carpeta de TUXA (CARPETA)";
// "sobra el argumento b", "sobran los argumentos b c": in the order given.
std::string unexpectedArguments(const std::vector<std::string>& arguments);
std::string missingValue(const std::string& option);
std::string repeatedOption(const std::string& option);
std::string emptyValue(const std::string& what);
inline constexpr std::string_view kInvalidArguments = "argumentos no válidos";
std::string wrongUsage(std::string_view detail);
}  // namespace usage

// ---- the window ----------------------------------------------------------------
namespace window {
inline constexpr std::string_view kApplicationTitle = "transHoraloTuxa";
inline constexpr std::string_view kCaption = "Exportar e importar datos entre Horalina y TUXA";
inline constexpr std::string_view kExportDirection = "Transformar datos desde TUXA hacia Horalina ";
inline constexpr std::string_view kImportDirection = "Transformar datos desde Horalina hacia TUXA";
inline constexpr std::string_view kOk = "OK";
inline constexpr std::string_view kFolderPrompt = "Carpeta en la que se encuentran los Ficheros TXT de TUXA";
inline constexpr std::string_view kCurrentFolder = "Ruta Actual:";
inline constexpr std::string_view kProductLabel = "TransHoralinaTUXA para HL18 V-1.0";
inline constexpr std::string_view kClose = "&Salir";
inline constexpr std::string_view kCloseBox = "Cerrar";
inline constexpr std::string_view kHelp = "F1 AYUDA";
std::string helpTitle(const std::string& version);
inline constexpr std::string_view kHelpContents = "&Contenido";
inline constexpr std::string_view kHelpBack = "&Atrás";
inline constexpr std::string_view kHelpForward = "A&delante";
std::string helpMissing(const std::string& helpFile, const std::string& where);
std::string helpPageMissing(const std::string& page, const std::string& helpFile);
std::string helpWithoutContents(const std::string& helpFile);
std::string helpWithoutTopic(const std::string& helpFile, int context);
// Windows' help viewer and the compiled help file beside the program.
std::string helpNotOpened(const std::string& helpFile, const std::string& cause);
inline constexpr std::string_view kNoHelpViewer = "falta el visor de ayuda de Windows (hhctrl.ocx)";
inline constexpr std::string_view kHelpRefused = "el visor de ayuda no ha podido mostrarla";
std::string helpTopicRefused(int context);
}  // namespace window

// ---- what the window answers to --help and --version, without opening ---------
namespace window_usage {
// Usage lines, paragraphs and options, as a manual page generator reads them.
std::string help();
std::string version(const std::string& version);
}  // namespace window_usage

// ---- the run report (INFORME_TRANSHORALOTUXA.TXT) ------------------------------
namespace report {
inline constexpr std::string_view kFileName = "INFORME_TRANSHORALOTUXA.TXT";
inline constexpr std::string_view kTitle = "INFORME DE TRANSHORALOTUXA";
inline constexpr std::string_view kExport = "exportar (de TUXA a Horalina)";
inline constexpr std::string_view kImport = "importar (de Horalina a TUXA)";
inline constexpr std::string_view kCheck = "comprobar (exportar sin reemplazar nada en la carpeta de Horalina)";
inline constexpr std::string_view kRun = "Ejecución";
inline constexpr std::string_view kDate = "Fecha";
inline constexpr std::string_view kTuxaFolder = "Carpeta de TUXA";
inline constexpr std::string_view kHoralinaFolder = "Carpeta de Horalina";
inline constexpr std::string_view kOutcome = "Resultado";
inline constexpr std::string_view kCompleted = "completado";
inline constexpr std::string_view kStopped = "detenido por un error: no se ha reemplazado nada";
inline constexpr std::string_view kFolderMissing = "no existe la carpeta de TUXA";
inline constexpr std::string_view kStatus = "Estado";
std::string statusText(int status);
inline constexpr std::string_view kStatusUnchanged = "sin cambio";
// Where the run kept what it replaced, so that `restaurar` can bring it back.
inline constexpr std::string_view kKept = "Copia de lo reemplazado";
inline constexpr std::string_view kKeptNothing = "ninguna: no había nada que reemplazar";
inline constexpr std::string_view kRestored = "Copia restaurada";
inline constexpr std::string_view kRestore = "restaurar (devuelve una copia guardada)";
inline constexpr std::string_view kError = "Error";
inline constexpr std::string_view kTables = "Tablas y archivos";
inline constexpr std::string_view kNoInputFile = "sin archivo de entrada: no se ha cambiado";
std::string dropLine(std::string_view source, std::int64_t number, bool records, std::string_view value);
// A record made from a line: "tuxa_asignatgrupo.txt, línea 90 (ASIGT, registro 97): value".
std::string recordLine(std::string_view file, std::int64_t line, std::string_view table, std::int64_t record,
                       std::string_view value);
inline constexpr std::string_view kWarnings = "Avisos";
inline constexpr std::string_view kNoWarnings = "ninguno";
std::string totals(std::int64_t dropped, std::int64_t warnings);
// The values a drop names.
std::string labelled(std::string_view label, const std::string& value);  // label "value"
inline constexpr std::string_view kTeacher = "profesor";
inline constexpr std::string_view kActivity = "actividad";
inline constexpr std::string_view kGroup = "grupo";
inline constexpr std::string_view kRoom = "aula";
inline constexpr std::string_view kTask = "tarea";
inline constexpr std::string_view kSubject = "asignatura";
inline constexpr std::string_view kName = "nombre";
std::string subjectValue(const std::string& subject, const std::string& identifier);
std::string courseValue(const std::string& subject, const std::string& group, const std::string& identifier);
std::string slotValue(const std::string& day, const std::string& hour, const std::string& frame);
std::string notWritten(const std::string& file, const std::string& cause);
// The window, after a completed run with something to tell.
std::string problems(std::int64_t dropped, std::int64_t warnings, const std::string& file);
inline constexpr std::string_view kOpenQuestion = "¿Desea abrir el informe ahora?";
inline constexpr std::string_view kProblemsTitle = "Informe de la ejecución";
inline constexpr std::string_view kOpenReport = "Abrir el informe";
// After an export that replaced a set: the box offers to bring that set back.
inline constexpr std::string_view kUndoExport = "Deshacer la exportación";
inline constexpr std::string_view kUndoOffer =
    "Si los datos no son los esperados, puede deshacer la exportación: vuelven las tablas de Horalina que había antes.";
// The undo done: where the tables the export wrote are kept in turn.
std::string undone(const std::string& keptFolder);
inline constexpr std::string_view kNoViewer = "el sistema no tiene con qué abrirlo";
std::string notOpened(const std::string& file, const std::string& cause);
}  // namespace report

// ---- what an export changes in each table, by its codes (report and summary) ---
namespace changes {
inline constexpr std::string_view kTitle = "Cambios frente a las tablas que había";
// An export into a folder without any of the tables: said once, not record by record.
inline constexpr std::string_view kFirstExport =
    "no había tablas anteriores en la carpeta de Horalina: es la primera exportación, todos los registros son nuevos";
// "PROFT (por ABREV): 45 registros antes, 44 ahora: 1 nuevo, 2 quitados, 1 cambiado"
std::string tableLine(std::string_view table, std::string_view keys, std::int64_t before, std::int64_t after,
                      std::int64_t added, std::int64_t removed, std::int64_t changed);
std::string noPrevious(std::string_view table, std::int64_t after);  // a table that was not there
std::string unchanged(std::string_view table, std::string_view keys, std::int64_t records);
inline constexpr std::string_view kAdded = "nuevos";
inline constexpr std::string_view kRemoved = "quitados";
inline constexpr std::string_view kChanged = "cambiados";
// A record by its codes and name; a changed one with its name before, when that changed.
std::string recordLine(std::string_view code, std::string_view name, std::string_view before);
inline constexpr std::string_view kCodeSeparator = " / ";
std::string more(std::int64_t n);  // "y 12 más"
// The summary's line for a table: "cambios: 1 nuevo, 2 quitados, 1 cambiado".
std::string summaryLine(std::int64_t added, std::int64_t removed, std::int64_t changed);
inline constexpr std::string_view kSummaryNoPrevious = "cambios: no había tabla anterior";
}  // namespace changes

}  // namespace tht::msg
