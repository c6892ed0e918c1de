#include "run/lookup_index.h"

#include <functional>
#include <stdexcept>

namespace tht {

LookupIndex::Ref LookupIndex::store(std::string_view bytes) {
    if (pool_.size() + bytes.size() >= kFailed) throw std::length_error("lookup index");
    const Ref r{static_cast<std::uint32_t>(pool_.size()), static_cast<std::uint32_t>(bytes.size())};
    pool_.append(bytes);
    return r;
}

template <class Part>
void LookupIndex::encodeKey(std::span<const Part> key) {
    key_.clear();
    for (const std::string_view part : key) {
        const auto length = static_cast<std::uint32_t>(part.size());
        key_.append(reinterpret_cast<const char*>(&length), sizeof length);
        key_ += part;
    }
}

std::uint32_t* LookupIndex::slotOf(std::string_view key, std::uint32_t hash) {
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
        std::uint32_t& slot = slots_[i];
        if (slot == 0) return &slot;
        const std::size_t entry = slot - 1;
        if (hashes_[entry] == hash && text(keys_[entry]) == key) return &slot;
    }
}

void LookupIndex::grow() {
    std::vector<std::uint32_t> old = std::move(slots_);
    slots_.assign(old.empty() ? 64 : old.size() * 2, 0);
    const std::size_t mask = slots_.size() - 1;
    for (const std::uint32_t slot : old) {
        if (slot == 0) continue;
        std::size_t i = hashes_[slot - 1] & mask;
        while (slots_[i] != 0) i = (i + 1) & mask;
        slots_[i] = slot;
    }
}

std::optional<std::size_t> LookupIndex::add(std::span<const std::string> key) {
    encodeKey(key);
    return addEncoded();
}

std::optional<std::size_t> LookupIndex::add(std::span<const std::string_view> key) {
    encodeKey(key);
    return addEncoded();
}

std::optional<std::size_t> LookupIndex::addEncoded() {
    if ((keys_.size() + 1) * 2 > slots_.size()) grow();
    const auto hash = static_cast<std::uint32_t>(std::hash<std::string_view>{}(key_));
    std::uint32_t* slot = slotOf(key_, hash);
    if (*slot != 0) return std::nullopt;
    if (keys_.size() + 1 >= kFailed) throw std::length_error("lookup index");
    keys_.push_back(store(key_));
    hashes_.push_back(hash);
    values_.resize(values_.size() + valueCount_);
    *slot = static_cast<std::uint32_t>(keys_.size());
    return keys_.size() - 1;
}

void LookupIndex::setValue(std::size_t entry, std::size_t i, std::string_view value) {
    values_[entry * valueCount_ + i] = store(value);
}

void LookupIndex::setError(std::size_t entry, std::size_t i, std::exception_ptr error) {
    values_[entry * valueCount_ + i] = {static_cast<std::uint32_t>(errors_.size()), kFailed};
    errors_.push_back(std::move(error));
}

std::optional<std::size_t> LookupIndex::find(std::span<const std::string> key) {
    encodeKey(key);
    return findEncoded();
}

std::optional<std::size_t> LookupIndex::find(std::span<const std::string_view> key) {
    encodeKey(key);
    return findEncoded();
}

std::optional<std::size_t> LookupIndex::findEncoded() {
    if (unusable_) std::rethrow_exception(unusable_);
    if (keys_.empty()) return std::nullopt;
    const auto hash = static_cast<std::uint32_t>(std::hash<std::string_view>{}(key_));
    const std::uint32_t slot = *slotOf(key_, hash);
    if (slot == 0) return std::nullopt;
    return slot - 1;
}

std::string_view LookupIndex::value(std::size_t entry, std::size_t i) const {
    const Ref r = values_[entry * valueCount_ + i];
    if (r.length == kFailed) std::rethrow_exception(errors_[r.offset]);
    return text(r);
}

}  // namespace tht
