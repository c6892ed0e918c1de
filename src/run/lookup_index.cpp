#include "run/lookup_index.h"

#include <cstring>
#include <stdexcept>

#include "base/key_hash.h"

namespace tht {
namespace {

template <class Part>
std::uint32_t hashOf(std::span<const Part> key) noexcept {
    KeyHash h;
    for (const std::string_view part : key) h.add(part);
    return static_cast<std::uint32_t>(h.value());
}

}  // namespace

LookupIndex::Ref LookupIndex::store(std::string_view bytes) {
    if (pool_.size() + bytes.size() >= kFailed) throw std::length_error("lookup index");
    const Ref r{static_cast<std::uint32_t>(pool_.size()), static_cast<std::uint32_t>(bytes.size())};
    pool_.append(bytes);
    return r;
}

template <class Part>
bool LookupIndex::keyIs(Ref ref, std::span<const Part> key) const {
    std::string_view stored = text(ref);
    for (const std::string_view part : key) {
        std::uint32_t length;
        if (stored.size() < sizeof length) return false;
        std::memcpy(&length, stored.data(), sizeof length);
        stored.remove_prefix(sizeof length);
        if (length != part.size() || stored.substr(0, length) != part) return false;
        stored.remove_prefix(length);
    }
    return stored.empty();
}

template <class Part>
LookupIndex::Slot& LookupIndex::slotOf(std::span<const Part> key, std::uint32_t hash) {
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
        Slot& slot = slots_[i];
        if (slot.entry == 0 || (slot.hash == hash && keyIs(slot.key, key))) return slot;
    }
}

void LookupIndex::grow() {
    std::vector<Slot> old = std::move(slots_);
    slots_.assign(old.empty() ? 64 : old.size() * 2, Slot{});
    const std::size_t mask = slots_.size() - 1;
    for (const Slot& slot : old) {
        if (slot.entry == 0) continue;
        std::size_t i = slot.hash & mask;
        while (slots_[i].entry != 0) i = (i + 1) & mask;
        slots_[i] = slot;
    }
}

template <class Part>
std::optional<std::size_t> LookupIndex::addKey(std::span<const Part> key) {
    if ((size_ + 1) * 2 > slots_.size()) grow();
    const std::uint32_t hash = hashOf(key);
    Slot& slot = slotOf(key, hash);
    if (slot.entry != 0) return std::nullopt;
    if (size_ + 1 >= kFailed) throw std::length_error("lookup index");
    const std::size_t start = pool_.size();
    for (const std::string_view part : key) {
        const auto length = static_cast<std::uint32_t>(part.size());
        store(std::string_view(reinterpret_cast<const char*>(&length), sizeof length));
        store(part);
    }
    values_.resize(values_.size() + valueCount_);
    slot = {static_cast<std::uint32_t>(++size_), hash,
            {static_cast<std::uint32_t>(start), static_cast<std::uint32_t>(pool_.size() - start)}};
    return size_ - 1;
}

template <class Part>
std::optional<std::size_t> LookupIndex::findKey(std::span<const Part> key) {
    if (unusable_) std::rethrow_exception(unusable_);
    if (size_ == 0) return std::nullopt;
    const Slot& slot = slotOf(key, hashOf(key));
    if (slot.entry == 0) return std::nullopt;
    return slot.entry - 1;
}

std::optional<std::size_t> LookupIndex::add(std::span<const std::string> key) { return addKey(key); }
std::optional<std::size_t> LookupIndex::add(std::span<const std::string_view> key) { return addKey(key); }
std::optional<std::size_t> LookupIndex::find(std::span<const std::string> key) { return findKey(key); }
std::optional<std::size_t> LookupIndex::find(std::span<const std::string_view> key) { return findKey(key); }

void LookupIndex::setValue(std::size_t entry, std::size_t i, std::string_view value) {
    values_[entry * valueCount_ + i] = store(value);
}

void LookupIndex::setError(std::size_t entry, std::size_t i, std::exception_ptr error) {
    values_[entry * valueCount_ + i] = {static_cast<std::uint32_t>(errors_.size()), kFailed};
    errors_.push_back(std::move(error));
}

std::string_view LookupIndex::value(std::size_t entry, std::size_t i) const {
    const Ref r = values_[entry * valueCount_ + i];
    if (r.length == kFailed) std::rethrow_exception(errors_[r.offset]);
    return text(r);
}

}  // namespace tht
