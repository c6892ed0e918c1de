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

std::uint32_t u32At(const std::string& pool, std::size_t at) noexcept {
    std::uint32_t v;
    std::memcpy(&v, pool.data() + at, sizeof v);
    return v;
}

}  // namespace

void LookupIndex::append(const void* bytes, std::size_t size) {
    if (pool_.size() + size >= kFailed) throw std::length_error("lookup index");
    pool_.append(static_cast<const char*>(bytes), size);
}

template <class Part>
bool LookupIndex::keyIs(std::size_t entry, std::span<const Part> key) const {
    std::string_view stored(pool_.data() + entry + sizeof(std::uint32_t), u32At(pool_, entry));
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

std::size_t LookupIndex::refAt(std::size_t entry, std::size_t i) const {
    return entry + sizeof(std::uint32_t) + u32At(pool_, entry) + i * sizeof(Ref);
}

template <class Part>
LookupIndex::Slot& LookupIndex::slotOf(std::span<const Part> key, std::uint32_t hash) {
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
        Slot& slot = slots_[i];
        if (slot.entry == 0 || (slot.hash == hash && keyIs(slot.entry - 1, key))) return slot;
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
    const std::size_t entry = pool_.size();
    std::uint32_t keyBytes = 0;
    for (const std::string_view part : key) keyBytes += static_cast<std::uint32_t>(sizeof keyBytes + part.size());
    append(&keyBytes, sizeof keyBytes);
    for (const std::string_view part : key) {
        const auto length = static_cast<std::uint32_t>(part.size());
        append(&length, sizeof length);
        append(part.data(), part.size());
    }
    const Ref unset{};
    for (std::size_t i = 0; i < valueCount_; ++i) append(&unset, sizeof unset);
    slot = {static_cast<std::uint32_t>(entry + 1), hash};
    ++size_;
    return entry;
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
    const Ref r{static_cast<std::uint32_t>(pool_.size()), static_cast<std::uint32_t>(value.size())};
    append(value.data(), value.size());
    std::memcpy(pool_.data() + refAt(entry, i), &r, sizeof r);
}

void LookupIndex::setError(std::size_t entry, std::size_t i, std::exception_ptr error) {
    const Ref r{static_cast<std::uint32_t>(errors_.size()), kFailed};
    errors_.push_back(std::move(error));
    std::memcpy(pool_.data() + refAt(entry, i), &r, sizeof r);
}

std::string_view LookupIndex::value(std::size_t entry, std::size_t i) const {
    Ref r;
    std::memcpy(&r, pool_.data() + refAt(entry, i), sizeof r);
    if (r.length == kFailed) std::rethrow_exception(errors_[r.offset]);
    return std::string_view(pool_).substr(r.offset, r.length);
}

}  // namespace tht
