#include "export/step_support.h"

#include "platform/casefold.h"
#include "platform/codepage.h"
#include "platform/files.h"

namespace tht {

std::optional<std::filesystem::path> findInput(const RunContext& ctx, const TuxaFile& file, TableReport& report) {
    std::filesystem::path path = ctx.tuxaPath(file.fileName);
    if (fileExists(path)) return path;
    report.fileMissing = true;
    if (!file.missingMessage.empty()) ctx.show(std::string(file.missingMessage));
    if (file.missingSetsStatus) *ctx.EstadoTransformacion = -1;
    return std::nullopt;
}

bool CodeList::contains(std::u32string_view code) const { return folded_.count(foldCase(code)) != 0; }

void CodeList::add(std::u32string_view code) { folded_.insert(foldCase(code)); }

std::u32string CodeList::firstFreeNumbered(const std::u32string& stem) {
    unsigned long long& k = nextNumber_.try_emplace(foldCase(stem), 1).first->second;
    for (;; ++k) {
        std::u32string candidate = stem;
        for (char c : std::to_string(k)) candidate.push_back(static_cast<char32_t>(c));
        if (!contains(candidate)) return candidate;
    }
}

std::u32string asStored(std::u32string_view text) {
    const CodePage& tables = CodePage::windows1252();
    return tables.decode(tables.encode(text));
}

std::u32string decimalText(long long n) {
    const std::string s = std::to_string(n);
    return std::u32string(s.begin(), s.end());
}

}  // namespace tht
