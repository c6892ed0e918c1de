#pragma once
// A growable block of bytes for whole tables. It grows in place where the
// system allows (no copy of what is already there) and asks for large pages,
// so a table of hundreds of megabytes costs about its size in memory and
// little time in page faults.
#include <cstddef>
#include <string_view>

namespace tht {

class ByteBuffer {
public:
    ByteBuffer() = default;
    explicit ByteBuffer(std::string_view initial) { append(initial); }
    ByteBuffer(ByteBuffer&& other) noexcept;
    ByteBuffer& operator=(ByteBuffer&& other) noexcept;
    ByteBuffer(const ByteBuffer&) = delete;
    ByteBuffer& operator=(const ByteBuffer&) = delete;
    ~ByteBuffer();

    char* data() noexcept { return data_; }
    const char* data() const noexcept { return data_; }
    std::size_t size() const noexcept { return size_; }
    bool empty() const noexcept { return size_ == 0; }
    char& operator[](std::size_t i) noexcept { return data_[i]; }
    char operator[](std::size_t i) const noexcept { return data_[i]; }
    operator std::string_view() const noexcept { return {data_, size_}; }

    void append(std::string_view bytes);
    // Shrinking keeps the memory; growing fills with zero bytes.
    void resize(std::size_t size);
    // Grows by n bytes left as they are, for a read to fill: where they start.
    char* grow(std::size_t n);
    void reserve(std::size_t capacity);

private:
    void release() noexcept;  // gives the memory back to the system
    char* data_ = nullptr;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
};

}  // namespace tht
