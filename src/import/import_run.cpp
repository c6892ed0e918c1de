// The Horalina-to-TUXA run: each entry of Horalina's solution SOLUC becomes a
// detail line of "TUXA_HORARIO.TXT", its codes resolved through the tables
// that the export wrote.
#include "import/import_run.h"

#include <array>
#include <exception>
#include <optional>
#include <vector>

#include "base/day_letters.h"
#include "base/messages.h"
#include "run/run_lock.h"
#include "run/schema_table.h"
#include "run/lookup_index.h"
#include "platform/locked_file.h"
#include "import/timetable_file.h"
#include "platform/code_pages.h"
#include "platform/files.h"
#include "charset/unicode.h"
#include "text/record.h"
#include "text/trim.h"
#include "text/tuxa_files.h"
#include "text/whole_file.h"

namespace tht {
namespace {

using namespace horalina;

// Columns 52-59 of the first title line of `lines`, among the first `count`.
std::optional<std::u32string> titleCentre(const TextLines& lines, std::size_t count) {
    std::u32string line;
    for (std::size_t i = 0; i < count; ++i) {
        lines.line(i, line);
        if (!line.empty() && line[0] == U'0') return std::u32string(rawSlice(line, 52, 8));
    }
    return std::nullopt;
}

// Columns 52-59 of the subjects file's first title line, exactly as they
// stand. The title is the file's first line: its beginning is read, and the
// whole file, which may be millions of lines, only when no title is there.
std::u32string centreCode(const RunContext& ctx) {
    const std::filesystem::path path = ctx.tuxaPath(tuxa::asignaturas.fileName);
    std::string beginning(1 << 16, '\0');
    bool whole = false;
    {
        InputFile file(path);
        std::size_t got = 0;
        for (std::size_t n; got < beginning.size() && (n = file.read(beginning.data() + got, beginning.size() - got)) > 0;)
            got += n;
        beginning.resize(got);
        whole = got >= file.size();
    }
    const TextLines lines = TextLines::fromBytes(std::move(beginning), *ctx.codePage);
    // The last line of a beginning may go on after it.
    const std::size_t complete = whole || lines.size() == 0 ? lines.size() : lines.size() - 1;
    if (auto centre = titleCentre(lines, complete)) return *centre;
    if (whole) return {};
    const TextLines all = TextLines::load(path, *ctx.codePage);
    return titleCentre(all, all.size()).value_or(std::u32string());
}

// The day's letter for its number; any other text is written as it is.
void dayLetter(std::string_view dayText, std::string& out) {
    if (dayText.size() == 1) {
        const char32_t digit = static_cast<unsigned char>(dayText[0]);
        if (const auto letter = days::letter(std::u32string_view(&digit, 1))) {
            out.assign(1, static_cast<char>(*letter));
            return;
        }
    }
    out.assign(dayText);
}

// Text of the tables' page as the report shows it.
std::string shown(std::string_view tablePageText) { return toUtf8(windows1252().decode(tablePageText)); }

// A table the import looks codes up in: its index, and the table's locks,
// held after it gave its records up.
struct Lookup {
    LookupIndex index;
    std::vector<LockedFile> locks;
};

// The index of the table's key fields, with the value fields of each key's
// first record, made as soon as the table is open so that only one table is
// whole in memory at a time. What the table lacks or cannot give is an error
// only for an entry of the solution that needs it, as when the entry searched
// the table itself: a field the key needs, for every search; a value, for an
// entry that uses it.
template <class Schema, std::size_t K, std::size_t V>
Lookup lookupIn(SchemaTable<Schema> table, const std::array<Field<Schema>, K>& key,
                const std::array<Field<Schema>, V>& values) {
    Lookup lookup{LookupIndex(V), {}};
    try {
        for (const Field<Schema>& f : key) table.requireField(f);
    } catch (const Error&) {
        lookup.index.setUnusable(std::current_exception());
        lookup.locks = table.closeKeepingLocks();
        return lookup;
    }
    std::array<std::exception_ptr, V> missing{};  // a value field the table lacks
    for (std::size_t i = 0; i < V; ++i) {
        try {
            table.requireField(values[i]);
        } catch (const Error&) {
            missing[i] = std::current_exception();
        }
    }
    std::vector<std::string> parts(K);
    std::string value;
    for (table.first(); !table.eof(); table.next()) {
        try {
            for (std::size_t k = 0; k < K; ++k) table.readText(key[k], parts[k]);
        } catch (const Error&) {
            continue;  // a key no read as string gives matches no entry
        }
        const std::optional<std::size_t> entry = lookup.index.add(parts);
        if (!entry) continue;
        for (std::size_t i = 0; i < V; ++i) {
            if (missing[i]) {
                lookup.index.setError(*entry, i, missing[i]);
                continue;
            }
            try {
                table.readText(values[i], value);
                lookup.index.setValue(*entry, i, value);
            } catch (const Error&) {
                lookup.index.setError(*entry, i, std::current_exception());
            }
        }
    }
    lookup.locks = table.closeKeepingLocks();
    return lookup;
}

// The tables an import reads, open for exclusive use in the order Horalina's
// users know from the old program, and held until the end, when they are let
// go in that order. Of the solution only the record being read is needed at
// a time; the others are kept as indexes.
struct ImportTables {
    explicit ImportTables(const std::filesystem::path& htemp)
        : solution(SchemaTable<Soluc>::open(htemp, Access::Exclusive)),
          groups(lookupIn(SchemaTable<Grupost>::open(htemp, Access::Exclusive), std::array{Grupost::ABREV},
                          std::array<Field<Grupost>, 0>{})),
          teachers(SchemaTable<Proft>::open(htemp, Access::Exclusive).closeKeepingLocks()),
          rooms(lookupIn(SchemaTable<Aulat>::open(htemp, Access::Exclusive), std::array{Aulat::ABREV},
                         std::array<Field<Aulat>, 0>{})),
          subjects(lookupIn(SchemaTable<Asignomt>::open(htemp, Access::Exclusive), std::array{Asignomt::COD},
                            std::array{Asignomt::CODTAREA, Asignomt::CODTUXA, Asignomt::CODIDITUXA})),
          slots(lookupIn(SchemaTable<Diashorast>::open(htemp, Access::Exclusive),
                         std::array{Diashorast::DIA, Diashorast::HORA, Diashorast::MARCO},
                         std::array{Diashorast::CODDIHO})) {}

    void close() {
        solution.close();
        groups.locks.clear();
        teachers.clear();
        rooms.locks.clear();
        subjects.locks.clear();
        slots.locks.clear();
    }

    SchemaTable<Soluc> solution;
    Lookup groups;                       // ABREV
    std::vector<LockedFile> teachers;    // only held: the run needs the table to exist and to be free
    Lookup rooms;                        // ABREV
    Lookup subjects;                     // COD: CODTAREA, CODTUXA, CODIDITUXA
    Lookup slots;                        // DIA, HORA, MARCO: CODDIHO
};

// Values wider than their column: each shifts the rest of its line, which
// TUXA then reads wrongly. Counted per column, with the first one shown.
class WideValues {
public:
    void check(const DetailValues& v, std::int64_t record) {
        for (std::size_t i = 0; i < std::size(kDetailColumns); ++i) {
            const std::string& value = v.*kDetailColumns[i].value;
            if (value.size() <= kDetailColumns[i].width) continue;
            Seen& seen = seen_[i];
            if (seen.count++ == 0) {
                seen.firstRecord = record;
                seen.firstValue = shown(value);
            }
        }
    }
    void note(TableReport& report) const {
        for (std::size_t i = 0; i < std::size(kDetailColumns); ++i)
            if (seen_[i].count > 0)
                report.warnings.push_back(msg::warn::valueWiderThanColumn(
                    std::string(kDetailColumns[i].source), kDetailColumns[i].width, seen_[i].count,
                    seen_[i].firstRecord, seen_[i].firstValue));
    }

private:
    struct Seen {
        std::int64_t count = 0, firstRecord = 0;
        std::string firstValue;
    };
    Seen seen_[std::size(kDetailColumns)];
};

// One detail line per entry of the solution, in the solution's order, each
// written to the timetable as it is made. The values and the line are buffers
// kept across entries: a solution has millions of them.
void addDetailLines(ImportTables& t, TimetableFile& timetable, TableReport& report) {
    WideValues wide;
    std::vector<std::string> slot(3), key(1);
    DetailValues v;
    std::string line;

    // A group or room code as its table holds it (the same text: the key
    // matched it exactly), else the entry's own code cut to the column.
    auto codeIn = [&](LookupIndex& index, const Field<Soluc>& own, std::string_view missing, std::string_view label,
                      std::int64_t record, std::string& out) {
        t.solution.readText(own, key[0]);
        if (index.find(key)) {
            out = key[0];
            return;
        }
        if (!key[0].empty())  // a blank code (a duty) is nothing amiss
            report.noteRecord(missing, record, msg::report::labelled(label, shown(key[0])), Soluc::name);
        out.assign(key[0], 0, 10);
    };

    for (t.solution.first(); !t.solution.eof(); t.solution.next()) {
        ++report.linesRead;
        const std::int64_t record = t.solution.recordNumber();
        if (t.solution.readInteger(Soluc::DIA) == 0) {
            report.noteRecord(msg::drop::kDayZero, record, {}, Soluc::name);
            continue;
        }
        t.solution.readText(Soluc::DIA, slot[0]);
        t.solution.readText(Soluc::HORA, slot[1]);
        t.solution.readText(Soluc::MARCO, slot[2]);
        slot[2].resize(std::min<std::size_t>(slot[2].size(), 1));
        // The first slot in stored order with this day, hour and frame.
        if (const auto found = t.slots.index.find(slot)) {
            v.slot = t.slots.index.value(*found, 0);
        } else {
            v.slot.clear();
            report.noteRecord(msg::drop::kSlotNotInDiashorast, record,
                              msg::report::slotValue(shown(slot[0]), shown(slot[1]), shown(slot[2])), Soluc::name);
        }
        dayLetter(slot[0], v.day);
        t.solution.readText(Soluc::PROF, v.teacher);

        codeIn(t.groups.index, Soluc::CODGRUPO, msg::drop::kGroupNotInGrupost, msg::report::kGroup, record, v.group);

        t.solution.readText(Soluc::TAREA, key[0]);
        if (const auto found = t.subjects.index.find(key)) {
            v.task = t.subjects.index.value(*found, 0);
        } else {
            v.task = "LEC";
            report.noteRecord(msg::drop::kTaskNotInAsignomt, record,
                              msg::report::labelled(msg::report::kTask, shown(key[0])), Soluc::name);
        }

        v.suffix.clear();
        t.solution.readText(Soluc::ASIG, key[0]);
        if (const auto found = t.subjects.index.find(key)) {
            v.subject = t.subjects.index.value(*found, 1);
            if (v.subject == "RE") v.suffix = "   ";
            v.suffix += trimmedView(t.subjects.index.value(*found, 2));
        } else {
            v.subject.assign(key[0], 0, 20);
            if (!key[0].empty())
                report.noteRecord(msg::drop::kSubjectNotInAsignomt, record,
                                  msg::report::labelled(msg::report::kSubject, shown(key[0])), Soluc::name);
        }

        codeIn(t.rooms.index, Soluc::AULA, msg::drop::kRoomNotInAulat, msg::report::kRoom, record, v.room);
        wide.check(v, record);
        detailLine(v, line);
        timetable.add(std::string_view(line));
        ++report.written;
    }
    wide.note(report);
}

}  // namespace

RunResult importar(const RunContext& ctx) {
    if (auto missing = missingTuxaFolder(ctx, 0)) return *missing;
    RunResult result;
    result.reports.reserve(3);  // two recoveries' notices may follow: `report` stays valid
    TableReport& report = result.reports.emplace_back(TableReport{.table = std::string(kTimetableFileName)});
    try {
        requireListableFolder(pathFromUtf8(ctx.dirTxt));
        // The timetable is replaced, and the old one kept, under the TUXA
        // folder's own lock: one writer at a time there. A school that keeps
        // both in one folder holds it once, alone.
        const std::filesystem::path tuxaFolder = pathFromUtf8(ctx.dirTxt);
        std::error_code ec;
        const bool oneFolder = std::filesystem::equivalent(tuxaFolder, ctx.htemp, ec);
        const RunLock lock = RunLock::take(ctx.htemp, oneFolder ? RunLock::Use::Alone : RunLock::Use::Shared);
        noteRecovery(ctx, lock.recovered(), result.reports);
        std::optional<RunLock> tuxaLock;
        bool keep = ctx.keepReplaced;
        if (!oneFolder) {
            try {
                tuxaLock.emplace(RunLock::take(tuxaFolder, RunLock::Use::Alone));
                noteRecovery(tuxaFolder, tuxaLock->recovered(), result.reports);
            } catch (const Error& e) {
                if (e.is(RunError::FolderBusy)) throw;
                // A folder with no room for our files (a path at its limit) still
                // takes the timetable, replaced as one rename, with no copy kept.
                keep = false;
                report.warnings.push_back(msg::warn::timetableNotKept(e.what()));
            }
        }
        const std::u32string centre = centreCode(ctx);
        TimetableFile timetable(ctx.dirTxt, *ctx.codePage);
        timetable.add(titleLine(centre, ctx.clock()));
        ImportTables tables(ctx.htemp);
        if (tables.solution.recordCount() == 0) report.warnings.emplace_back(msg::warn::kEmptySolution);
        addDetailLines(tables, timetable, report);
        tables.close();
        timetable.add(trailerLine(centre, ctx.clock(), timetable.lines() - 1));
        const std::filesystem::path kept =
            timetable.commit(keep ? std::optional(ctx.clock()) : std::nullopt);
        if (keep) result.keptSet = kept;
    } catch (const Error& e) {
        result.outcome = RunOutcome::Stopped;
        result.status = 0;  // no timetable was written
        result.error = e;
        return result;
    }
    result.status = 1;
    ctx.show(msg::kRunFinished);
    return result;
}

}  // namespace tht
