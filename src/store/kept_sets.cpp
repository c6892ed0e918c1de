#include "store/kept_sets.h"

#include <algorithm>
#include <cstdio>
#include <system_error>

#include "platform/files.h"

namespace tht {
namespace {

namespace fs = std::filesystem;

// A set on its way out: no set's name starts so.
constexpr std::string_view kRemovingPrefix = ".borrando ";

std::string baseName(const LocalDateTime& t) {
    char text[48];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d.%02d.%02d", t.year, t.month, t.day, t.hour, t.minute,
                  t.second);
    return text;
}

// "YYYY-MM-DD HH.MM.SS" with an optional " (N)": its order is the date's, then N's.
struct SetOrder {
    std::string base;
    long number = 1;
};

std::optional<SetOrder> setOrder(std::string_view name) {
    constexpr std::string_view kPattern = "0000-00-00 00.00.00";
    if (name.size() < kPattern.size()) return std::nullopt;
    for (std::size_t i = 0; i < kPattern.size(); ++i) {
        const bool digit = name[i] >= '0' && name[i] <= '9';
        if (kPattern[i] == '0' ? !digit : name[i] != kPattern[i]) return std::nullopt;
    }
    SetOrder order{std::string(name.substr(0, kPattern.size()))};
    std::string_view rest = name.substr(kPattern.size());
    if (rest.empty()) return order;
    if (rest.size() < 4 || !rest.starts_with(" (") || !rest.ends_with(")")) return std::nullopt;
    rest = rest.substr(2, rest.size() - 3);
    long n = 0;
    for (char c : rest) {
        if (c < '0' || c > '9' || n > 1'000'000) return std::nullopt;
        n = n * 10 + (c - '0');
    }
    order.number = n;
    return order;
}

}  // namespace

fs::path keptSetsFolder(const fs::path& folder) { return folder / std::string(kKeptSetsFolder); }

fs::path newKeptSetFolder(const fs::path& folder, const LocalDateTime& when) {
    const fs::path root = keptSetsFolder(folder);
    const std::string base = baseName(when);
    std::error_code ec;
    fs::path candidate = root / pathFromUtf8(base);
    for (int n = 2; fs::exists(candidate, ec) || fs::exists(root / pathFromUtf8(std::string(kRemovingPrefix) + base), ec);
         ++n)
        candidate = root / pathFromUtf8(base + " (" + std::to_string(n) + ")");
    return candidate;
}

std::vector<KeptSet> listKeptSets(const fs::path& folder) {
    std::vector<std::pair<SetOrder, KeptSet>> found;
    std::error_code ec;
    for (fs::directory_iterator it(keptSetsFolder(folder), ec), end; !ec && it != end; it.increment(ec)) {
        if (!folderExists(it->path())) continue;
        const std::string name = displayPath(it->path().filename());
        if (const auto order = setOrder(name)) found.push_back({*order, {name, it->path()}});
    }
    std::ranges::sort(found, [](const auto& a, const auto& b) {
        return a.first.base != b.first.base ? a.first.base < b.first.base : a.first.number < b.first.number;
    });
    std::vector<KeptSet> sets;
    for (auto& [order, set] : found) sets.push_back(std::move(set));
    return sets;
}

std::optional<KeptSet> findKeptSet(const fs::path& folder, std::string_view name) {
    for (KeptSet& set : listKeptSets(folder))
        if (set.name == name) return std::move(set);
    return std::nullopt;
}

void pruneKeptSets(const fs::path& folder, const fs::path& spared, std::size_t limit) noexcept {
    try {
        const fs::path root = keptSetsFolder(folder);
        std::error_code ec;
        // What a run that died while removing a set left.
        for (fs::directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec))
            if (displayPath(it->path().filename()).starts_with(kRemovingPrefix)) fs::remove_all(it->path(), ec);
        std::vector<KeptSet> sets = listKeptSets(folder);
        std::erase_if(sets, [&](const KeptSet& s) { return s.folder == spared; });
        const std::size_t others = spared.empty() ? limit : (limit > 0 ? limit - 1 : 0);
        for (std::size_t i = 0; i + others < sets.size(); ++i) {
            const fs::path going = root / pathFromUtf8(std::string(kRemovingPrefix) + sets[i].name);
            fs::rename(sets[i].folder, going, ec);
            if (!ec) fs::remove_all(going, ec);
        }
    } catch (...) {
        // Only memory can fail here; the next commit prunes again.
    }
}

}  // namespace tht
