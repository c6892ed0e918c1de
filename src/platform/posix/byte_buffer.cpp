#include <sys/mman.h>

#include <new>

#include "platform/byte_buffer.h"

namespace tht {
namespace {

constexpr std::size_t kPage = 4096;
constexpr std::size_t kLargePage = 2 * 1024 * 1024;
// From this size a buffer takes a whole large page: one fault instead of
// hundreds, which on a virtual machine cost more than the memory.
constexpr std::size_t kLargeFrom = 128 * 1024;

std::size_t roundUp(std::size_t n, std::size_t to) { return (n + to - 1) / to * to; }

void adviseLargePages(char* data, std::size_t capacity) {
#ifdef MADV_HUGEPAGE
    if (capacity >= kLargePage) ::madvise(data, capacity, MADV_HUGEPAGE);
#endif
}

}  // namespace

void ByteBuffer::release() noexcept {
    if (data_) ::munmap(data_, capacity_);
}

void ByteBuffer::reserve(std::size_t capacity) {
    if (capacity <= capacity_) return;
    capacity = roundUp(capacity, capacity >= kLargeFrom ? kLargePage : kPage);
    void* grown = data_ ? ::mremap(data_, capacity_, capacity, MREMAP_MAYMOVE)
                        : ::mmap(nullptr, capacity, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (grown == MAP_FAILED) throw std::bad_alloc();
    data_ = static_cast<char*>(grown);
    capacity_ = capacity;
    adviseLargePages(data_, capacity_);
}

}  // namespace tht
