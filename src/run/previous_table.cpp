#include "run/previous_table.h"

#include <cstring>
#include <stdexcept>

#include "base/key_hash.h"
#include "base/messages.h"
#include "base/numbers.h"
#include "charset/unicode.h"
#include "platform/code_pages.h"
#include "run/lookup_index.h"
#include "store/table_error.h"

namespace tht {
namespace {

std::string utf8(std::string_view tablePageText) { return toUtf8(windows1252().decode(tablePageText)); }

std::string joined(std::span<const std::string_view> parts, std::string_view separator) {
    std::string out;
    for (std::size_t i = 0; i < parts.size(); ++i) out.append(i ? separator : "").append(parts[i]);
    return out;
}

void note(RecordList& list, RecordLabel label) {
    ++list.count;
    if (list.listed.size() < TableChanges::kListed) list.listed.push_back(std::move(label));
}

bool wantsLabel(const RecordList& list) { return list.listed.size() < TableChanges::kListed; }


}  // namespace

PreviousTable::Fields PreviousTable::fieldsOf(const Table& table, const TableCodes& codes) {
    Fields f;
    for (const std::string_view k : codes.keys) f.keys.push_back(table.field(k));  // throws FieldMissing
    const auto has = [&](std::string_view name) {
        for (std::size_t i = 0; i < table.fieldCount(); ++i)
            if (table.fieldName(i) == name) return true;
        return false;
    };
    if (!codes.label.empty() && has(codes.label)) f.label = table.field(codes.label);
    for (const std::string_view name : codes.fields)
        f.all.push_back(has(name) ? std::optional(table.field(name)) : std::nullopt);
    return f;
}

PreviousTable PreviousTable::read(const std::filesystem::path& folder, TableCodes codes) {
    PreviousTable p(std::move(codes));
    p.key_.resize(p.codes_.keys.size() + 1);
    try {
        Table table = Table::open(folder, p.codes_.table, Access::Shared, /*readOnly=*/true);
        const Fields fields = fieldsOf(table, p.codes_);
        p.byBytes_ = table.recordShape() == p.codes_.newShape;
        const auto records = static_cast<std::size_t>(table.recordCount());
        p.fingerprints_.reserve(records);
        p.partsAt_.reserve(records + 1);
        const auto addPart = [&](std::string_view part) {
            const auto length = static_cast<std::uint32_t>(part.size());
            p.parts_.append(reinterpret_cast<const char*>(&length), sizeof length).append(part);
        };
        for (table.first(); !table.eof(); table.next()) {
            p.fingerprints_.push_back(p.fingerprint(table, fields));
            p.partsAt_.push_back(p.parts_.size());
            p.readKey(table, fields);
            for (std::size_t i = 0; i < fields.keys.size(); ++i) addPart(p.key_[i]);
            if (fields.label) table.readString(*fields.label, p.text_);
            else p.text_.clear();
            addPart(p.text_);
        }
        p.partsAt_.push_back(p.parts_.size());
        table.close();
        p.present_ = true;
    } catch (const Error& e) {
        p.fingerprints_ = {};
        p.partsAt_ = {};
        p.parts_ = {};
        if (!e.is(TableError::Missing) && !e.is(TableError::FolderMissing)) p.unreadable_ = e.what();
    }
    return p;
}

void PreviousTable::readKey(const Table& table, const Fields& fields) {
    for (std::size_t i = 0; i < fields.keys.size(); ++i) table.readString(fields.keys[i], key_[i]);
}

std::uint64_t PreviousTable::fingerprint(const Table& table, const Fields& fields) {
    KeyHash h;
    if (byBytes_) {
        h.add(table.recordBytes());
        return h.value();
    }
    // Stored otherwise: the values as text, a field the table lacks as blank.
    for (const std::optional<FieldId>& f : fields.all) {
        if (f) table.readString(*f, text_);
        else text_.clear();
        h.add(text_);
    }
    return h.value();
}

std::vector<std::string_view> PreviousTable::partsOf(std::size_t i) const {
    std::vector<std::string_view> parts;
    std::string_view rest = std::string_view(parts_).substr(partsAt_[i], partsAt_[i + 1] - partsAt_[i]);
    while (rest.size() >= sizeof(std::uint32_t)) {
        std::uint32_t length;
        std::memcpy(&length, rest.data(), sizeof length);
        rest.remove_prefix(sizeof length);
        parts.push_back(rest.substr(0, length));
        rest.remove_prefix(length);
    }
    return parts;
}

std::string PreviousTable::codeText(std::span<const std::string_view> parts) const {
    std::string out;
    for (std::size_t i = 0; i < codes_.keys.size() && i < parts.size(); ++i)
        out.append(i ? msg::changes::kCodeSeparator : "").append(utf8(parts[i]));
    return out;
}

TableChanges PreviousTable::compareWith(Table& table) {
    TableChanges c;
    c.keys = joined(codes_.keys, ", ");
    c.after = table.recordCount();
    if (!present_) {
        c.added.count = c.after;
        return c;
    }
    if (byBytes_ && table.recordShape() != codes_.newShape)
        throw std::logic_error("table " + std::string(codes_.table) + " is not stored as its export makes it");
    c.hadTable = true;
    const std::size_t before = fingerprints_.size();
    c.before = static_cast<std::int64_t>(before);
    const Fields fields = fieldsOf(table, codes_);

    // The records that are the same in the same place.
    std::vector<bool> matched(before, false);
    struct Pending {
        std::size_t place;
        std::uint64_t fingerprint;
    };
    std::vector<Pending> pending;
    std::size_t place = 0;
    for (table.first(); !table.eof(); table.next(), ++place) {
        const std::uint64_t f = fingerprint(table, fields);
        if (place < before && fingerprints_[place] == f) matched[place] = true;
        else pending.push_back({place, f});
    }

    // The others by their codes: the old ones left over in a lookup index
    // whose value is the old record's place.
    const std::size_t k = codes_.keys.size();
    LookupIndex index(1);
    std::vector<std::uint32_t> repeats(pending.empty() ? 0 : before, 0);  // by a code's first place left over
    const auto placeOf = [&](std::size_t entry) {
        std::uint64_t at;
        std::memcpy(&at, index.value(entry, 0).data(), sizeof at);
        return static_cast<std::size_t>(at);
    };
    if (!pending.empty()) {
        std::vector<std::string_view> key;
        for (std::size_t i = 0; i < before; ++i) {
            if (matched[i]) continue;
            key = partsOf(i);
            key.resize(k);
            std::optional<std::size_t> entry = index.add(key);
            if (!entry) {
                // The n-th record of a code is known by the code and n.
                key_[k] = decimalText(++repeats[placeOf(*index.find(key))] + 1);
                key.push_back(key_[k]);
                entry = index.add(key);
            }
            const std::uint64_t at = i;
            index.setValue(*entry, 0, std::string_view(reinterpret_cast<const char*>(&at), sizeof at));
        }
        std::fill(repeats.begin(), repeats.end(), 0);  // from now: new records met with the code
    }
    const std::span<const std::string> key(key_.data(), k), repeated(key_.data(), k + 1);
    const auto labelOf = [&] {
        if (!fields.label) return std::string();
        table.readString(*fields.label, text_);
        return utf8(text_);
    };
    auto next = pending.begin();
    place = 0;
    for (table.first(); next != pending.end() && !table.eof(); table.next(), ++place) {
        if (next->place != place) continue;
        const std::uint64_t f = (next++)->fingerprint;
        readKey(table, fields);
        std::optional<std::size_t> entry = index.find(key);
        if (entry) {
            if (const std::uint32_t n = ++repeats[placeOf(*entry)]; n > 1) {
                key_[k] = decimalText(n);
                entry = index.find(repeated);
            }
        }
        if (!entry) {
            if (!wantsLabel(c.added)) {
                ++c.added.count;
                continue;
            }
            const std::vector<std::string_view> parts(key.begin(), key.end());
            note(c.added, {codeText(parts), labelOf(), {}});
            continue;
        }
        const std::size_t old = placeOf(*entry);
        matched[old] = true;
        if (fingerprints_[old] == f) continue;
        if (!wantsLabel(c.changed)) {
            ++c.changed.count;
            continue;
        }
        const std::vector<std::string_view> parts = partsOf(old);
        std::string name = labelOf();
        std::string beforeName = utf8(parts.back());
        if (beforeName == name) beforeName.clear();
        note(c.changed, {codeText(parts), std::move(name), std::move(beforeName)});
    }
    for (std::size_t i = 0; i < before; ++i) {
        if (matched[i]) continue;
        if (!wantsLabel(c.removed)) {
            ++c.removed.count;
            continue;
        }
        const std::vector<std::string_view> parts = partsOf(i);
        note(c.removed, {codeText(parts), utf8(parts.back()), {}});
    }
    return c;
}

}  // namespace tht
