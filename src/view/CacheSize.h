#pragma once

// How much the processor can keep close to a core, which decides how a large frame is written.

#include <cstddef>

namespace lupenta {

// The largest cache the processor reports, in bytes; 0 where it cannot be asked.
std::size_t LastLevelCacheBytes();

} // namespace lupenta
