#include "HeapCount.h"

#include <cstdlib>
#include <new>

namespace {

thread_local int counting = 0;
thread_local int allocations = 0;

void* Allocate(std::size_t bytes) {
    if (counting > 0)
        ++allocations;
    if (void* p = std::malloc(bytes == 0 ? 1 : bytes))
        return p;
    throw std::bad_alloc();
}

} // namespace

void* operator new(std::size_t bytes) {
    return Allocate(bytes);
}

void* operator new[](std::size_t bytes) {
    return Allocate(bytes);
}

void operator delete(void* p) noexcept {
    std::free(p);
}

void operator delete[](void* p) noexcept {
    std::free(p);
}

void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}

namespace lupenta::testing {

HeapCount::HeapCount() {
    ++counting;
    allocations = 0;
}

HeapCount::~HeapCount() {
    --counting;
}

int HeapCount::Allocations() const {
    return allocations;
}

} // namespace lupenta::testing
