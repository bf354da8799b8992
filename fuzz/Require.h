#pragma once

#include <cstdio>
#include <cstdlib>

namespace lupenta::fuzz {

// A broken promise ends the run like a crash, so libFuzzer keeps the input that showed it.
inline void Require(bool holds, const char* promise) {
    if (holds)
        return;
    std::fprintf(stderr, "broken: %s\n", promise);
    std::abort();
}

} // namespace lupenta::fuzz
