// Address space reserved well ahead and committed as the buffer grows: the
// bytes never move, so growing copies nothing (a table of hundreds of
// megabytes is not copied at each doubling). A buffer that outgrows its
// reservation moves once to a larger one.
#include <windows.h>

#include <cstring>
#include <new>

#include "platform/byte_buffer.h"

namespace tht {
namespace {

constexpr std::size_t kGranule = 64 * 1024;                   // the system's allocation granularity
constexpr std::size_t kReservation = std::size_t(16) << 30;  // address space only: costs no memory
std::size_t roundUp(std::size_t n, std::size_t to) { return (n + to - 1) / to * to; }

// The reservation is kept just before the data: its size, for moving out of it.
struct Header {
    std::size_t reserved;
};
constexpr std::size_t kHeader = kGranule;  // the data stays aligned to the granule

char* reserveAndCommit(std::size_t reserved, std::size_t committed) {
    void* base = ::VirtualAlloc(nullptr, kHeader + reserved, MEM_RESERVE, PAGE_NOACCESS);
    if (!base || !::VirtualAlloc(base, kHeader + committed, MEM_COMMIT, PAGE_READWRITE)) {
        if (base) ::VirtualFree(base, 0, MEM_RELEASE);
        throw std::bad_alloc();
    }
    static_cast<Header*>(base)->reserved = reserved;
    return static_cast<char*>(base) + kHeader;
}

}  // namespace

void ByteBuffer::release() noexcept {
    if (data_) ::VirtualFree(data_ - kHeader, 0, MEM_RELEASE);
}

void ByteBuffer::reserve(std::size_t capacity) {
    if (capacity <= capacity_) return;
    capacity = roundUp(capacity, kGranule);
    if (data_ && capacity <= reinterpret_cast<Header*>(data_ - kHeader)->reserved) {
        if (!::VirtualAlloc(data_ + capacity_, capacity - capacity_, MEM_COMMIT, PAGE_READWRITE)) throw std::bad_alloc();
        capacity_ = capacity;
        return;
    }
    const std::size_t reserved = capacity > kReservation / 2 ? roundUp(capacity * 2, kGranule) : kReservation;
    char* fresh = reserveAndCommit(reserved, capacity);
    if (data_) {
        std::memcpy(fresh, data_, size_);
        release();
    }
    data_ = fresh;
    capacity_ = capacity;
}

}  // namespace tht
