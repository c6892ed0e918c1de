#pragma once
// The run report, INFORME_TRANSHORALOTUXA.TXT: everything a run did to the
// school's data, for the person at the keyboard, who never sees standard error.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "run/run_context.h"
#include "platform/clock.h"

namespace tht {

enum class RunKind { Export, Import, Check, Restore };

struct RunReportFacts {
    RunKind kind = RunKind::Export;
    std::string tuxaFolder;      // as the user gave it
    std::string horalinaFolder;  // Horalina's data folder, also when a check worked elsewhere
    LocalDateTime when;
};

// The report's text, lines ended by "\n".
std::string formatRunReport(const RunReportFacts& facts, const RunResult& result);

// Lines dropped (or records that took a fallback) and warnings, over all tables.
struct RunProblems {
    std::int64_t dropped = 0;
    std::int64_t warnings = 0;
    bool any() const noexcept { return dropped > 0 || warnings > 0; }
};
RunProblems problemsOf(const RunResult& result);

// Where a run leaves its report unless told otherwise: Horalina's data folder.
std::filesystem::path defaultReportPath(const std::filesystem::path& htemp);

// The text as the file holds it, as Notepad reads it best: UTF-8 with a
// byte-order mark, CR LF line ends.
std::string reportFileBytes(const std::string& text);

// Replaces the file whole with reportFileBytes(text). A report that cannot
// be written must not fail the run: gives the warning to show instead.
std::optional<std::string> saveRunReport(const std::filesystem::path& file, const std::string& text);

}  // namespace tht
