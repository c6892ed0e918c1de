#include "store/record_index.h"

#include <functional>

namespace tht {
namespace {

std::uint32_t hashOf(std::string_view key) {
    std::uint64_t h = std::hash<std::string_view>{}(key);
    h ^= h >> 33;
    h *= 0xFF51AFD7ED558CCDull;
    h ^= h >> 33;
    return static_cast<std::uint32_t>(h);
}

}  // namespace

RecordIndex::RecordIndex(std::vector<std::size_t> fields, const RecordKeys& keys) : fields_(std::move(fields)) {
    slots_.resize(16);
    const std::uint64_t count = keys.recordCount();
    for (std::uint64_t r = 0; r < count; ++r)
        if (keys.isLive(r)) add(r, keys);
}

bool RecordIndex::recordEquals(std::uint64_t record, std::string_view key, const RecordKeys& keys) {
    other_.clear();
    keys.recordKey(record, fields_, other_);
    return other_ == key;
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
    key_.clear();
    keys.recordKey(record, fields_, key_);
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

std::optional<std::uint64_t> RecordIndex::find(std::string_view key, const RecordKeys& keys) {
    const std::uint32_t h = hashOf(key);
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = h & mask;; i = (i + 1) & mask) {
        const Slot& s = slots_[i];
        if (s.recordPlusOne == 0) return std::nullopt;
        if (s.hash == h && recordEquals(s.recordPlusOne - 1, key, keys)) return s.recordPlusOne - 1;
    }
}

}  // namespace tht
