#include "alloc_counter.h"

#include <cstdlib>
#include <new>

namespace {

// Only the test's own thread counts: the GL driver has worker threads.
thread_local bool counting = false;
thread_local long allocations = 0;

void* allocate(std::size_t size) {
    if (counting) ++allocations;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}

}  // namespace

void startCountingAllocations() {
    allocations = 0;
    counting = true;
}

long stopCountingAllocations() {
    counting = false;
    return allocations;
}

// Replaced in pairs so that every block goes back the way it came.
void* operator new(std::size_t size) { return allocate(size); }
void* operator new[](std::size_t size) { return allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    if (counting) ++allocations;
    return std::malloc(size ? size : 1);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    if (counting) ++allocations;
    return std::malloc(size ? size : 1);
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }
