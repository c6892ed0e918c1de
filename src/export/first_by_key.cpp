#include "export/first_by_key.h"

#include <algorithm>
#include <functional>
#include <stdexcept>

namespace tht {

std::string_view FirstByKey::text(std::uint32_t record, std::size_t i) const noexcept {
    const std::uint16_t* lengths = length_.data() + record * (values_ + 1);
    std::size_t at = start_[record];
    for (std::size_t k = 0; k < i; ++k) at += lengths[k];
    return std::string_view(bytes_).substr(at, lengths[i]);
}

void FirstByKey::grow() {
    std::vector<std::uint32_t> old = std::move(slots_);
    slots_.assign(std::max<std::size_t>(16, old.size() * 2), 0);
    const std::size_t mask = slots_.size() - 1;
    for (const std::uint32_t s : old) {
        if (s == 0) continue;
        std::size_t at = std::hash<std::string_view>{}(keyOf(s - 1)) & mask;
        while (slots_[at] != 0) at = (at + 1) & mask;
        slots_[at] = s;
    }
}

void FirstByKey::add(std::string_view key, std::initializer_list<std::string_view> values) {
    if (values.size() != values_) throw std::invalid_argument("FirstByKey: wrong number of values");
    std::size_t size = key.size();
    for (std::string_view v : values) {
        if (v.size() > 0xFFFF) throw std::length_error("FirstByKey: a text of more than 65535 bytes");
        size += v.size();
    }
    if (key.size() > 0xFFFF) throw std::length_error("FirstByKey: a key of more than 65535 bytes");
    if (start_.size() >= 0xFFFFFFFEu || bytes_.size() + size > 0xFFFFFFFFu)
        throw std::length_error("FirstByKey: more than 4 GiB of records");
    if (2 * (kept_ + 1) > slots_.size()) grow();
    const std::size_t mask = slots_.size() - 1;
    std::size_t at = std::hash<std::string_view>{}(key) & mask;
    for (; slots_[at] != 0; at = (at + 1) & mask)
        if (keyOf(slots_[at] - 1) == key) return;  // an earlier record has it
    const auto record = static_cast<std::uint32_t>(start_.size());
    start_.push_back(static_cast<std::uint32_t>(bytes_.size()));
    bytes_.append(key);
    length_.push_back(static_cast<std::uint16_t>(key.size()));
    for (std::string_view v : values) {
        bytes_.append(v);
        length_.push_back(static_cast<std::uint16_t>(v.size()));
    }
    slots_[at] = record + 1;
    ++kept_;
}

bool FirstByKey::find(std::string_view key, Found& found) const {
    if (slots_.empty()) return false;
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t at = std::hash<std::string_view>{}(key) & mask; slots_[at] != 0; at = (at + 1) & mask) {
        const std::uint32_t record = slots_[at] - 1;
        if (keyOf(record) != key) continue;
        found.texts_.resize(values_ + 1);
        std::size_t start = start_[record];
        const std::uint16_t* lengths = length_.data() + record * (values_ + 1);
        for (std::size_t i = 0; i <= values_; ++i) {
            found.texts_[i] = std::string_view(bytes_).substr(start, lengths[i]);
            start += lengths[i];
        }
        return true;
    }
    return false;
}

}  // namespace tht
