// Replaces the program's operator new and delete (this file is linked into
// the test program only).
#include "allocation_failure.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<int> allocations_left{0};  // 0: no failure armed

}  // namespace

void fail_allocation(int nth) {
    allocations_left = nth;
}

void* operator new(std::size_t size) {
    int left = allocations_left.load();
    while (left > 0 && !allocations_left.compare_exchange_weak(left, left - 1)) {
    }
    if (left == 1) throw std::bad_alloc();
    if (void* block = std::malloc(size ? size : 1)) return block;
    throw std::bad_alloc();
}

void operator delete(void* block) noexcept {
    std::free(block);
}

void operator delete(void* block, std::size_t) noexcept {
    std::free(block);
}
