#pragma once
// Records of a table by a key, the first record of each key as a walk from
// the first finds it: its texts held in one buffer and found through one
// array of slots, with no allocation per record. A district's ASIGNOMT and
// GRUPOST are looked up once per assignment line.
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tht {

class FirstByKey {
public:
    // Each record holds `values` texts besides its key.
    explicit FirstByKey(std::size_t values) : values_(values) {}

    // A record, in stored order; kept only if no earlier record has its key.
    void add(std::string_view key, std::initializer_list<std::string_view> values);

    class Found {
    public:
        std::string_view value(std::size_t i) const noexcept { return texts_[i + 1]; }

    private:
        friend class FirstByKey;
        std::vector<std::string_view> texts_;
    };
    // The texts of the first record with this key.
    bool find(std::string_view key, Found& found) const;

private:
    std::string_view text(std::uint32_t record, std::size_t i) const noexcept;
    std::string_view keyOf(std::uint32_t record) const noexcept { return text(record, 0); }
    void grow();

    std::size_t values_;
    std::string bytes_;                 // each record's key and values, back to back
    std::vector<std::uint32_t> start_;  // of each record in bytes_
    std::vector<std::uint16_t> length_;  // of each text, values_ + 1 per record
    std::vector<std::uint32_t> slots_;  // record + 1; 0: empty; a power of two, at most half full
    std::size_t kept_ = 0;
};

}  // namespace tht
