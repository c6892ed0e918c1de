#pragma once
// Horalina's tables, declared once: each table's name, its fields (name,
// type, width) in the order the export creates them, the fields whose codes a
// record is known by (its keys) and the field that names it, where one does.
// A field is reached through its typed handle (Aulat::ABREV), so a misspelt
// field or a field of another table does not compile.
#include <array>
#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

#include "store/table.h"

namespace tht::horalina {

template <class Table>
struct Field {
    std::size_t index;  // place in Table::fields
    std::string_view name;
    FieldType type;
    int width = 0;  // strings only
};

template <class Table, std::size_t N>
constexpr bool inOrder(const std::array<Field<Table>, N>& fields) {
    for (std::size_t i = 0; i < N; ++i)
        if (fields[i].index != i) return false;
    return true;
}

inline constexpr FieldType S = FieldType::String;

// Subjects and activities.
struct Asignomt {
    static constexpr std::string_view name = "ASIGNOMT";
    using F = Field<Asignomt>;
    static constexpr F COD{0, "COD", S, 10}, CODLARGO{1, "CODLARGO", S, 10}, NOMBRE{2, "NOMBRE", S, 80},
        ESTAREA{3, "ESTAREA", FieldType::Boolean}, CODTAREA{4, "CODTAREA", S, 10}, CODTUXA{5, "CODTUXA", S, 20},
        CODIDITUXA{6, "CODIDITUXA", S, 10};
    static constexpr std::array fields{COD, CODLARGO, NOMBRE, ESTAREA, CODTAREA, CODTUXA, CODIDITUXA};
    static constexpr std::array keys{COD};
    static constexpr std::optional<F> label = NOMBRE;
};

// Teachers.
struct Proft {
    static constexpr std::string_view name = "PROFT";
    using F = Field<Proft>;
    static constexpr F ABREV{0, "ABREV", S, 10}, NOMBRE{1, "NOMBRE", S, 80}, DEPART{2, "DEPART", S, 40},
        EMAIL{3, "EMAIL", S, 100}, DNI{4, "DNI", FieldType::Integer};
    static constexpr std::array fields{ABREV, NOMBRE, DEPART, EMAIL, DNI};
    static constexpr std::array keys{ABREV};
    static constexpr std::optional<F> label = NOMBRE;
};

// Rooms.
struct Aulat {
    static constexpr std::string_view name = "AULAT";
    using F = Field<Aulat>;
    static constexpr F ABREV{0, "ABREV", S, 10}, NOMBRE{1, "NOMBRE", S, 80}, EDIFICIO{2, "EDIFICIO", S, 1},
        MAXALUM{3, "MAXALUM", FieldType::Integer};
    static constexpr std::array fields{ABREV, NOMBRE, EDIFICIO, MAXALUM};
    static constexpr std::array keys{ABREV};
    static constexpr std::optional<F> label = NOMBRE;
};

// Groups.
struct Grupost {
    static constexpr std::string_view name = "GRUPOST";
    using F = Field<Grupost>;
    static constexpr F ABREV{0, "ABREV", S, 10}, TURNO{1, "TURNO", S, 1}, NIVEL{2, "NIVEL", S, 5},
        CURSO{3, "CURSO", S, 3}, GRUPO{4, "GRUPO", S, 2}, MARCO{5, "MARCO", S, 1}, UNIDAD{6, "UNIDAD", S, 10},
        DESCRIP{7, "DESCRIP", S, 80};
    static constexpr std::array fields{ABREV, TURNO, NIVEL, CURSO, GRUPO, MARCO, UNIDAD, DESCRIP};
    static constexpr std::array keys{ABREV};
    static constexpr std::optional<F> label = DESCRIP;
};

// The subjects each group is taught, with weekly hours and lessons.
struct Asigt {
    static constexpr std::string_view name = "ASIGT";
    using F = Field<Asigt>;
    static constexpr F CASIG{0, "CASIG", S, 10}, CPROF{1, "CPROF", S, 10}, CGRUP{2, "CGRUP", S, 10},
        CAULA{3, "CAULA", S, 10}, CTAREA{4, "CTAREA", S, 10}, TURNO{5, "TURNO", S, 1}, NIVEL{6, "NIVEL", S, 5},
        CURSO{7, "CURSO", S, 3}, GRUPO{8, "GRUPO", S, 2}, HORAS{9, "HORAS", FieldType::Float},
        SESIONES{10, "SESIONES", S, 20}, NCONEX{11, "NCONEX", S, 4}, CASIGTUXA{12, "CASIGTUXA", S, 20},
        CODIDITUXA{13, "CODIDITUXA", S, 6};
    static constexpr std::array fields{CASIG, CPROF,    CGRUP, CAULA,  CTAREA,    TURNO,     NIVEL,
                                       CURSO, GRUPO, HORAS, SESIONES, NCONEX, CASIGTUXA, CODIDITUXA};
    static constexpr std::array keys{CASIG, CGRUP};
    static constexpr std::optional<F> label{};
};

// Days and time slots.
struct Diashorast {
    static constexpr std::string_view name = "DIASHORAST";
    using F = Field<Diashorast>;
    static constexpr F DIHO{0, "DIHO", S, 10}, CODDIHO{1, "CODDIHO", S, 10}, DIA{2, "DIA", S, 20},
        TEXTODIA{3, "TEXTODIA", S, 20}, HORA{4, "HORA", S, 8}, TEXTOHOR{5, "TEXTOHOR", S, 15},
        HORADESDE{6, "HORADESDE", S, 8}, HORAHASTA{7, "HORAHASTA", S, 8}, MINUTOS{8, "MINUTOS", S, 8},
        MARCO{9, "MARCO", S, 1}, MARCOXML{10, "MARCOXML", S, 10};
    static constexpr std::array fields{DIHO,      CODDIHO,   DIA,     TEXTODIA, HORA,    TEXTOHOR,
                                       HORADESDE, HORAHASTA, MINUTOS, MARCO,    MARCOXML};
    static constexpr std::array keys{DIHO};
    static constexpr std::optional<F> label = TEXTOHOR;
};

// Horalina's timetable solution, which Horalina writes and we only read: the
// fields we read, whatever types Horalina stored them in.
struct Soluc {
    static constexpr std::string_view name = "SOLUC";
    using F = Field<Soluc>;
    static constexpr F DIA{0, "DIA", S}, HORA{1, "HORA", S}, MARCO{2, "MARCO", S}, PROF{3, "PROF", S},
        CODGRUPO{4, "CODGRUPO", S}, TAREA{5, "TAREA", S}, ASIG{6, "ASIG", S}, AULA{7, "AULA", S};
    static constexpr std::array fields{DIA, HORA, MARCO, PROF, CODGRUPO, TAREA, ASIG, AULA};
};

static_assert(inOrder(Asignomt::fields) && inOrder(Proft::fields) && inOrder(Aulat::fields) &&
              inOrder(Grupost::fields) && inOrder(Asigt::fields) && inOrder(Diashorast::fields) &&
              inOrder(Soluc::fields));

// The field list a table is created with.
template <class Table>
std::vector<FieldDef> fieldDefs() {
    std::vector<FieldDef> defs;
    for (const auto& f : Table::fields) defs.push_back({std::string(f.name), f.type, f.width});
    return defs;
}

}  // namespace tht::horalina
