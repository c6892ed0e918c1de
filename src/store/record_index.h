#pragma once
// The hash index behind Locate: for one list of fields, the first live record
// in stored order for every distinct key. Slots hold record numbers and
// hashes only; keys are read back from the records when compared, so the
// index costs 8 bytes a slot and no allocation per record.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tht {

// Where the index reads keys: the key of a record's fields as one string of
// bytes, equal for two records exactly when the fields, read as strings, are.
class RecordKeys {
public:
    virtual ~RecordKeys() = default;
    virtual std::uint64_t recordCount() const = 0;
    virtual bool isLive(std::uint64_t record) const = 0;
    virtual void recordKey(std::uint64_t record, const std::vector<std::size_t>& fields, std::string& out) const = 0;
};

class RecordIndex {
public:
    // Indexes every live record of `keys` now.
    RecordIndex(std::vector<std::size_t> fields, const RecordKeys& keys);

    const std::vector<std::size_t>& fields() const noexcept { return fields_; }

    // A record appended after every record indexed so far.
    void add(std::uint64_t record, const RecordKeys& keys);

    // The first record whose key is this one, in the form recordKey gives.
    std::optional<std::uint64_t> find(std::string_view key, const RecordKeys& keys);

private:
    struct Slot {
        std::uint32_t recordPlusOne = 0;  // 0: empty
        std::uint32_t hash = 0;
    };

    bool recordEquals(std::uint64_t record, std::string_view key, const RecordKeys& keys);
    void grow();
    void insert(Slot slot);

    std::vector<std::size_t> fields_;
    std::vector<Slot> slots_;  // open addressing, a power of two in size
    std::size_t used_ = 0;
    // Reused buffers: the key of the record being added, and of the one compared.
    std::string key_;
    std::string other_;
};

}  // namespace tht
