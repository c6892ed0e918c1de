#include "store/record_index.h"

#include <functional>
#include <string_view>

namespace tht {
namespace {

// Mixes one field's hash into the key's; the field boundary matters, so
// ("AB", "C") and ("A", "BC") hash apart.
std::uint64_t mix(std::uint64_t h, std::uint64_t v) {
    h ^= v + 0x9E3779B97F4A7C15ull + (h << 6) + (h >> 2);
    return h;
}

std::uint32_t fold(std::uint64_t h) {
    h ^= h >> 33;
    h *= 0xFF51AFD7ED558CCDull;
    h ^= h >> 33;
    return static_cast<std::uint32_t>(h);
}

}  // namespace

RecordIndex::RecordIndex(std::vector<std::size_t> fields, const RecordKeys& keys)
    : fields_(std::move(fields)), key_(fields_.size()) {
    slots_.resize(16);
    const std::uint64_t count = keys.recordCount();
    for (std::uint64_t r = 0; r < count; ++r)
        if (keys.isLive(r)) add(r, keys);
}

std::uint32_t RecordIndex::hashOf(const std::vector<std::u32string>& texts) const {
    std::uint64_t h = 0;
    for (const std::u32string& t : texts) h = mix(h, std::hash<std::u32string_view>{}(t));
    return fold(h);
}

void RecordIndex::readKey(std::uint64_t record, const RecordKeys& keys, std::vector<std::u32string>& out) const {
    for (std::size_t i = 0; i < fields_.size(); ++i) keys.keyText(record, fields_[i], out[i]);
}

bool RecordIndex::recordEquals(std::uint64_t record, const std::vector<std::u32string>& texts,
                               const RecordKeys& keys) {
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        keys.keyText(record, fields_[i], other_);
        if (other_ != texts[i]) return false;
    }
    return true;
}

void RecordIndex::insert(Slot slot) {
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = slot.hash & mask;; i = (i + 1) & mask) {
        if (slots_[i].recordPlusOne == 0) {
            slots_[i] = slot;
            return;
        }
    }
}

void RecordIndex::grow() {
    std::vector<Slot> old(slots_.size() * 2);
    old.swap(slots_);
    for (const Slot& s : old)
        if (s.recordPlusOne != 0) insert(s);
}

void RecordIndex::add(std::uint64_t record, const RecordKeys& keys) {
    readKey(record, keys, key_);
    const std::uint32_t h = hashOf(key_);
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = h & mask;; i = (i + 1) & mask) {
        const Slot& s = slots_[i];
        if (s.recordPlusOne == 0) break;
        // An earlier record with this key stays the one Locate finds.
        if (s.hash == h && recordEquals(s.recordPlusOne - 1, key_, keys)) return;
    }
    if ((used_ + 1) * 2 > slots_.size()) grow();
    insert(Slot{static_cast<std::uint32_t>(record + 1), h});
    ++used_;
}

std::optional<std::uint64_t> RecordIndex::find(const std::vector<std::u32string>& values, const RecordKeys& keys) {
    const std::uint32_t h = hashOf(values);
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = h & mask;; i = (i + 1) & mask) {
        const Slot& s = slots_[i];
        if (s.recordPlusOne == 0) return std::nullopt;
        if (s.hash == h && recordEquals(s.recordPlusOne - 1, values, keys)) return s.recordPlusOne - 1;
    }
}

}  // namespace tht
