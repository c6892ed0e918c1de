#pragma once
// Every TUXA file the program reads: its name in the TUXA folder, its tag, how
// it is read and what its absence means. Each step takes its entry from here.
#include <array>
#include <string_view>

#include "base/messages.h"

namespace tht {

// How the export step reads the file: line by line as a stream, or whole
// (byte-order marks recognised, a NUL ends the text).
enum class Reading { LineByLine, WholeFile };

struct TuxaFile {
    std::string_view fileName;        // exactly as it is appended to the TUXA folder
    std::u32string_view tag;          // columns 2-51 of its title and trailer lines
    Reading reading;
    std::string_view missingMessage;  // empty: an optional file, absent without a word
};

namespace tuxa {
inline constexpr TuxaFile asignaturas{"tuxa_asignat.txt", U"TUXA_ASIGNAT.TXT", Reading::LineByLine,
                                      msg::kNoSubjectsFile};
inline constexpr TuxaFile actividades{"TUXA_ACTIVIDADES.TXT", U"TUXA_ACTIVIDADES.TXT", Reading::LineByLine, ""};
inline constexpr TuxaFile profesores{"tuxa_prof.txt", U"TUXA_PROF.TXT", Reading::LineByLine,
                                     msg::kNoTeachersFile};
inline constexpr TuxaFile aulas{"tuxa_aulas.txt", U"TUXA_AULAS.TXT", Reading::LineByLine,
                                msg::kNoRoomsFile};
inline constexpr TuxaFile grupos{"tuxa_grupo.txt", U"TUXA_GRUPOS.TXT", Reading::LineByLine,
                                 msg::kNoGroupsFile};
inline constexpr TuxaFile asignaturasGrupo{"tuxa_asignatgrupo.txt", U"TUXA_ASIGNATGRUPO.TXT", Reading::LineByLine,
                                           msg::kNoAssignmentsFile};
inline constexpr TuxaFile asignaturasCurso{"tuxa_asignatcurso.txt", U"TUXA_ASIGNATCURSO.TXT", Reading::WholeFile,
                                           msg::kNoCourseHoursFile};
inline constexpr TuxaFile sesiones{"tuxa_sesiones.txt", U"TUXA_SESIONES.TXT", Reading::WholeFile,
                                   msg::kNoSessionsFile};

inline constexpr std::array<const TuxaFile*, 8> all{&asignaturas, &actividades, &profesores, &aulas,
                                                    &grupos,      &asignaturasGrupo, &asignaturasCurso, &sesiones};
}  // namespace tuxa

}  // namespace tht
