// The process heap: large blocks come straight from the system's virtual
// memory, and HeapReAlloc grows them in place when the pages after are free.
#include <windows.h>

#include <new>

#include "platform/byte_buffer.h"

namespace tht {
namespace {

constexpr std::size_t kPage = 4096;
std::size_t roundUp(std::size_t n, std::size_t to) { return (n + to - 1) / to * to; }

}  // namespace

void ByteBuffer::release() noexcept {
    if (data_) ::HeapFree(::GetProcessHeap(), 0, data_);
}

void ByteBuffer::reserve(std::size_t capacity) {
    if (capacity <= capacity_) return;
    capacity = roundUp(capacity, kPage);
    void* grown = data_ ? ::HeapReAlloc(::GetProcessHeap(), 0, data_, capacity)
                        : ::HeapAlloc(::GetProcessHeap(), 0, capacity);
    if (!grown) throw std::bad_alloc();
    data_ = static_cast<char*>(grown);
    capacity_ = capacity;
}

}  // namespace tht
