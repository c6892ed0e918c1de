#pragma once
// What a run looks up in one of Horalina's tables, taken out of it once: for
// each key, the first record in stored order that has it and the values the
// run takes from that record. Keys and values are text of the tables' page,
// kept in one pool, and the slots hold numbers only, so an index costs a
// fraction of the table it comes from, which can then give its memory back.
#include <cstddef>
#include <cstdint>
#include <exception>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tht {

class LookupIndex {
public:
    // Each entry holds valueCount values.
    explicit LookupIndex(std::size_t valueCount) : valueCount_(valueCount) {}

    // A new entry for the key, named by the number given; nothing when the
    // key has one already: the first record in stored order keeps it.
    std::optional<std::size_t> add(std::span<const std::string> key);
    std::optional<std::size_t> add(std::span<const std::string_view> key);
    void setValue(std::size_t entry, std::size_t i, std::string_view text);
    // Value i of the entry could not be read: using it throws this error.
    void setError(std::size_t entry, std::size_t i, std::exception_ptr error);

    // The table lacks a key field: every find throws this error, as a search
    // of the table would have.
    void setUnusable(std::exception_ptr error) { unusable_ = std::move(error); }

    std::optional<std::size_t> find(std::span<const std::string> key);
    std::optional<std::size_t> find(std::span<const std::string_view> key);
    // Value i of the entry, or the error its read threw. The view lasts as
    // long as the index is not added to.
    std::string_view value(std::size_t entry, std::size_t i) const;

    std::size_t size() const noexcept { return size_; }

private:
    // Text in the pool, or, with length kFailed, the error at offset in errors_.
    struct Ref {
        std::uint32_t offset = 0;
        std::uint32_t length = 0;
    };
    static constexpr std::uint32_t kFailed = UINT32_MAX;
    // An entry is its place in the pool, where it is laid out whole: the
    // length of its key, the key's parts each behind its length (every byte
    // may be text), then one Ref per value; the values follow in the pool as
    // they are set. A find then reads its slot and one stretch of the pool.
    struct Slot {
        std::uint32_t entry = 0;  // place + 1; 0 when empty
        std::uint32_t hash = 0;
    };

    template <class Part>
    std::optional<std::size_t> addKey(std::span<const Part> key);
    template <class Part>
    std::optional<std::size_t> findKey(std::span<const Part> key);
    // The slot of the key, or the empty one where it would go.
    template <class Part>
    Slot& slotOf(std::span<const Part> key, std::uint32_t hash);
    template <class Part>
    bool keyIs(std::size_t entry, std::span<const Part> key) const;
    std::size_t refAt(std::size_t entry, std::size_t i) const;
    void append(const void* bytes, std::size_t size);
    void grow();

    std::size_t valueCount_;
    std::size_t size_ = 0;  // entries
    std::string pool_;
    std::vector<std::exception_ptr> errors_;
    std::exception_ptr unusable_;
    std::vector<Slot> slots_;  // open addressing, a power of two in size
};

}  // namespace tht
