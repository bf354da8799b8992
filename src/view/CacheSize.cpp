#include "view/CacheSize.h"

#include <cstdint>
#include <cstring>

#if defined(_MSC_VER) && (defined(_M_X64) || defined(_M_IX86))
#include <intrin.h>
#define LUPENTA_HAS_CPUID 1
#elif defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#define LUPENTA_HAS_CPUID 1
#endif

namespace lupenta {

#ifdef LUPENTA_HAS_CPUID

namespace {

struct Registers {
    std::uint32_t eax = 0, ebx = 0, ecx = 0, edx = 0;
};

Registers Cpuid(std::uint32_t leaf, std::uint32_t subleaf) {
    Registers r;
#if defined(_MSC_VER)
    int info[4];
    __cpuidex(info, static_cast<int>(leaf), static_cast<int>(subleaf));
    r = {static_cast<std::uint32_t>(info[0]), static_cast<std::uint32_t>(info[1]),
         static_cast<std::uint32_t>(info[2]), static_cast<std::uint32_t>(info[3])};
#else
    __cpuid_count(leaf, subleaf, r.eax, r.ebx, r.ecx, r.edx);
#endif
    return r;
}

// Intel describes its caches in leaf 4; AMD gives the same description in leaf 0x8000001D
// when it has topology extensions.
std::uint32_t CacheLeaf() {
    const Registers vendor = Cpuid(0, 0);
    char name[12];
    std::memcpy(name, &vendor.ebx, 4);
    std::memcpy(name + 4, &vendor.edx, 4);
    std::memcpy(name + 8, &vendor.ecx, 4);
    const bool amd =
        std::memcmp(name, "AuthenticAMD", 12) == 0 || std::memcmp(name, "HygonGenuine", 12) == 0;
    if (!amd)
        return vendor.eax >= 4 ? 4 : 0;
    const bool extended = Cpuid(0x80000000, 0).eax >= 0x8000001D;
    const bool topology = extended && ((Cpuid(0x80000001, 0).ecx >> 22) & 1);
    return topology ? 0x8000001D : 0;
}

std::size_t AskLastLevelCache() {
    const std::uint32_t leaf = CacheLeaf();
    if (leaf == 0)
        return 0;
    std::size_t largest = 0;
    for (std::uint32_t index = 0; index < 16; ++index) {
        const Registers r = Cpuid(leaf, index);
        if ((r.eax & 0x1F) == 0) // no more caches
            break;
        const std::size_t ways = ((r.ebx >> 22) & 0x3FF) + 1;
        const std::size_t partitions = ((r.ebx >> 12) & 0x3FF) + 1;
        const std::size_t line = (r.ebx & 0xFFF) + 1;
        const std::size_t sets = static_cast<std::size_t>(r.ecx) + 1;
        const std::size_t bytes = ways * partitions * line * sets;
        if (bytes > largest)
            largest = bytes;
    }
    return largest;
}

} // namespace

// Asked once: a virtual machine may trap every cpuid, and pipelines are made often.
std::size_t LastLevelCacheBytes() {
    static const std::size_t bytes = AskLastLevelCache();
    return bytes;
}

#else

std::size_t LastLevelCacheBytes() {
    return 0;
}

#endif

} // namespace lupenta
