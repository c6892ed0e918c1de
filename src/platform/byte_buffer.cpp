// What a byte buffer does whatever memory the system gives it.
#include <algorithm>
#include <cstring>
#include <utility>

#include "platform/byte_buffer.h"

namespace tht {

ByteBuffer::ByteBuffer(ByteBuffer&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)),
      size_(std::exchange(other.size_, 0)),
      capacity_(std::exchange(other.capacity_, 0)) {}

ByteBuffer& ByteBuffer::operator=(ByteBuffer&& other) noexcept {
    if (this != &other) {
        release();
        data_ = std::exchange(other.data_, nullptr);
        size_ = std::exchange(other.size_, 0);
        capacity_ = std::exchange(other.capacity_, 0);
    }
    return *this;
}

ByteBuffer::~ByteBuffer() { release(); }

void ByteBuffer::append(std::string_view bytes) {
    if (size_ + bytes.size() > capacity_) reserve(std::max(size_ + bytes.size(), capacity_ * 2));
    if (!bytes.empty()) std::memcpy(data_ + size_, bytes.data(), bytes.size());
    size_ += bytes.size();
}

void ByteBuffer::resize(std::size_t size) {
    if (size > capacity_) reserve(std::max(size, capacity_ * 2));
    if (size > size_) std::memset(data_ + size_, 0, size - size_);
    size_ = size;
}

char* ByteBuffer::grow(std::size_t n) {
    if (size_ + n > capacity_) reserve(std::max(size_ + n, capacity_ * 2));
    char* start = data_ + size_;
    size_ += n;
    return start;
}

}  // namespace tht
