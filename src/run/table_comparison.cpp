#include "run/table_comparison.h"

#include <algorithm>
#include <cstring>
#include <span>
#include <optional>

#include "base/key_hash.h"
#include "base/messages.h"
#include "base/numbers.h"
#include "charset/unicode.h"
#include "platform/code_pages.h"
#include "run/lookup_index.h"

namespace tht {
namespace {

std::string utf8(std::string_view tablePageText) { return toUtf8(windows1252().decode(tablePageText)); }

std::string joined(std::span<const std::string_view> parts, std::string_view separator) {
    std::string out;
    for (std::size_t i = 0; i < parts.size(); ++i) out.append(i ? separator : "").append(parts[i]);
    return out;
}

bool listsMore(const RecordList& list) { return list.listed.size() < TableChanges::kListed; }

void note(RecordList& list, RecordLabel label) {
    ++list.count;
    if (listsMore(list)) list.listed.push_back(std::move(label));
}

// The fields of one of the two tables, found once.
struct Fields {
    std::vector<FieldId> keys;
    std::optional<FieldId> label;
    std::vector<std::optional<FieldId>> all;  // by name: a field the table lacks is none

    Fields(const Table& table, const TableCodes& codes) {
        const auto has = [&](std::string_view name) {
            for (std::size_t i = 0; i < table.fieldCount(); ++i)
                if (table.fieldName(i) == name) return true;
            return false;
        };
        for (const std::string_view k : codes.keys) keys.push_back(table.field(k));  // throws FieldMissing
        if (!codes.label.empty() && has(codes.label)) label = table.field(codes.label);
        for (const std::string_view name : codes.fields)
            all.push_back(has(name) ? std::optional(table.field(name)) : std::nullopt);
    }
};

// How records of the two tables are told apart: by their bytes where both
// store records alike, else by their values as text; a fingerprint of either
// is 64 bits of a hash of it.
class Reader {
public:
    Reader(const Fields& fields, bool byBytes) : fields_(fields), byBytes_(byBytes) {}

    std::uint64_t fingerprint(const Table& t) {
        KeyHash h;
        if (byBytes_) {
            h.add(t.recordBytes());
            return h.value();
        }
        for (const std::optional<FieldId>& f : fields_.all) {  // a field the table lacks reads as blank
            if (f) t.readString(*f, text_);
            else text_.clear();
            h.add(text_);
        }
        return h.value();
    }
    // The record's codes, into key (which has room for one part more).
    void readKey(const Table& t, std::vector<std::string>& key) const {
        for (std::size_t i = 0; i < fields_.keys.size(); ++i) t.readString(fields_.keys[i], key[i]);
    }
    // The record's name, in UTF-8.
    std::string label(const Table& t) {
        if (!fields_.label) return {};
        t.readString(*fields_.label, text_);
        return utf8(text_);
    }

private:
    const Fields& fields_;
    bool byBytes_;
    std::string text_;
};

std::string codeText(std::span<const std::string> key, std::size_t parts) {
    std::string out;
    for (std::size_t i = 0; i < parts; ++i) out.append(i ? msg::changes::kCodeSeparator : "").append(utf8(key[i]));
    return out;
}

// How far from its place a record is sought among the other table's.
constexpr std::size_t kReach = 64;

// An old record left over, as its index entry holds it.
struct Stamp {
    std::uint64_t place;
    std::uint64_t fingerprint;
};

}  // namespace

TableChanges firstTable(const TableScan& after, const TableCodes& codes) {
    TableChanges c;
    c.keys = joined(codes.keys, ", ");
    c.after = static_cast<std::int64_t>(after.declaredRecords());  // a table just made has no deleted record
    c.added.count = c.after;
    return c;
}

TableChanges compareTables(TableScan& before, TableScan& after, const TableCodes& codes) {
    TableChanges c;
    c.keys = joined(codes.keys, ", ");
    c.hadTable = true;
    const Fields oldFields(before.table(), codes), newFields(after.table(), codes);
    const bool byBytes = before.table().recordShape() == after.table().recordShape();
    Reader oldReader(oldFields, byBytes), newReader(newFields, byBytes);

    // A fingerprint of every record of each, in stored order.
    std::vector<std::uint64_t> oldPrints, newPrints;
    oldPrints.reserve(static_cast<std::size_t>(before.declaredRecords()));
    newPrints.reserve(static_cast<std::size_t>(after.declaredRecords()));
    while (before.next()) oldPrints.push_back(oldReader.fingerprint(before.table()));
    while (after.next()) newPrints.push_back(newReader.fingerprint(after.table()));
    c.before = static_cast<std::int64_t>(oldPrints.size());
    c.after = static_cast<std::int64_t>(newPrints.size());

    // Side by side: a record the same as the old one in its place, or as one
    // a little before or after it (records put in or taken out move the rest).
    std::vector<bool> oldMatched(oldPrints.size(), false), newMatched(newPrints.size(), false);
    bool leftOvers = oldPrints.size() != newPrints.size();
    for (std::size_t i = 0, j = 0; i < oldPrints.size() && j < newPrints.size();) {
        if (oldPrints[i] == newPrints[j]) {
            oldMatched[i++] = newMatched[j++] = true;
            continue;
        }
        leftOvers = true;
        std::size_t d = 1;
        for (; d <= kReach; ++d) {
            if (i + d < oldPrints.size() && oldPrints[i + d] == newPrints[j]) {
                i += d;  // the old ones before it were taken out, or changed
                break;
            }
            if (j + d < newPrints.size() && newPrints[j + d] == oldPrints[i]) {
                j += d;  // the new ones before it were put in, or changed
                break;
            }
        }
        if (d > kReach) ++i, ++j;
    }
    if (!leftOvers) return c;

    // The old records left over, by their codes: values are the record's
    // place and fingerprint, its name and its codes as the report shows them.
    const std::size_t k = codes.keys.size();
    std::vector<std::string> key(k + 1);
    const std::span<const std::string> code(key.data(), k), repeated(key.data(), k + 1);
    LookupIndex index(3);
    std::vector<std::size_t> leftOver;  // their entries, in stored order
    const auto stampOf = [&](std::size_t entry) {
        Stamp s;
        std::memcpy(&s, index.value(entry, 0).data(), sizeof s);
        return s;
    };
    std::vector<std::uint32_t> repeats(oldMatched.size(), 0);  // by the place of a code's first record left over
    before.rewind();
    for (std::uint64_t place = 0; before.next(); ++place) {
        if (oldMatched[place]) continue;
        const Table& t = before.table();
        oldReader.readKey(t, key);
        std::optional<std::size_t> entry = index.add(code);
        if (!entry) {
            // The n-th record of a code is known by the code and n.
            key[k] = decimalText(++repeats[stampOf(*index.find(code)).place] + 1);
            entry = index.add(repeated);
        }
        const Stamp s{place, oldPrints[place]};
        index.setValue(*entry, 0, std::string_view(reinterpret_cast<const char*>(&s), sizeof s));
        const std::string name = oldReader.label(t);
        index.setValue(*entry, 1, name);
        index.setValue(*entry, 2, codeText(key, k));
        leftOver.push_back(*entry);
    }

    // The new records left over: found by their codes, or new.
    std::fill(repeats.begin(), repeats.end(), 0);  // from now: new records met with the code
    after.rewind();
    for (std::uint64_t place = 0; after.next(); ++place) {
        if (newMatched[place]) continue;
        const Table& t = after.table();
        newReader.readKey(t, key);
        std::optional<std::size_t> entry = index.find(code);
        if (entry) {
            if (const std::uint32_t n = ++repeats[stampOf(*entry).place]; n > 1) {
                key[k] = decimalText(n);
                entry = index.find(repeated);
            }
        }
        if (!entry) {
            if (listsMore(c.added)) note(c.added, {codeText(key, k), newReader.label(t), {}});
            else ++c.added.count;
            continue;
        }
        const Stamp s = stampOf(*entry);
        oldMatched[s.place] = true;
        if (s.fingerprint == newPrints[place]) continue;
        if (!listsMore(c.changed)) {
            ++c.changed.count;
            continue;
        }
        std::string name = newReader.label(t);
        std::string was(index.value(*entry, 1));
        if (was == name) was.clear();
        note(c.changed, {std::string(index.value(*entry, 2)), std::move(name), std::move(was)});
    }
    for (const std::size_t entry : leftOver) {
        if (oldMatched[stampOf(entry).place]) continue;
        if (listsMore(c.removed)) note(c.removed, {std::string(index.value(entry, 2)), std::string(index.value(entry, 1)), {}});
        else ++c.removed.count;
    }
    return c;
}

}  // namespace tht
