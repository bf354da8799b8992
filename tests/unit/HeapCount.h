#pragma once

// Counts the heap allocations this thread makes while a HeapCount is alive, through the
// replaced global operator new of the unit tests.

namespace lupenta::testing {

class HeapCount {
public:
    HeapCount();
    ~HeapCount();
    HeapCount(const HeapCount&) = delete;
    HeapCount& operator=(const HeapCount&) = delete;

    int Allocations() const;
};

} // namespace lupenta::testing
