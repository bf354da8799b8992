// Which kernel set the processor can run: its features asked once, the fastest set it has
// chosen unless a particular one is asked for.

#include "view/FrameKernelsX86.h"

#if LUPENTA_X86_KERNELS && defined(_MSC_VER) && !defined(__clang__)
#include <immintrin.h>
#include <intrin.h>
#endif

namespace lupenta {

#if LUPENTA_X86_KERNELS

namespace {

bool CpuHasSsse3() {
#if defined(_MSC_VER) && !defined(__clang__)
    int info[4];
    __cpuid(info, 1);
    return (info[2] >> 9) & 1;
#else
    return __builtin_cpu_supports("ssse3");
#endif
}

bool CpuHasAvx2() {
#if defined(_MSC_VER) && !defined(__clang__)
    int info[4];
    __cpuid(info, 1);
    const bool osSavesYmm = ((info[2] >> 27) & 1) && (_xgetbv(0) & 6) == 6;
    if (!osSavesYmm)
        return false;
    __cpuidex(info, 7, 0);
    return (info[1] >> 5) & 1;
#else
    return __builtin_cpu_supports("avx2");
#endif
}

bool CpuHasAvx512() {
#if defined(_MSC_VER) && !defined(__clang__)
    int info[4];
    __cpuid(info, 1);
    const bool osSavesZmm = ((info[2] >> 27) & 1) && (_xgetbv(0) & 0xE6) == 0xE6;
    if (!osSavesZmm)
        return false;
    __cpuidex(info, 7, 0);
    return (info[1] >> 16) & 1;
#else
    return __builtin_cpu_supports("avx512f");
#endif
}

bool CpuHasAvx512Vbmi() {
    if (!CpuHasAvx512())
        return false;
#if defined(_MSC_VER) && !defined(__clang__)
    int info[4];
    __cpuidex(info, 7, 0);
    return ((info[1] >> 30) & 1) && ((info[2] >> 1) & 1);
#else
    return __builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("avx512vbmi");
#endif
}

} // namespace

const FrameKernels* Sse2FrameKernels() {
    static const FrameKernels kernels{.name = "sse2",
                                      .window = 16,
                                      .gather = x86::GatherSse2,
                                      .smoothRow = x86::SmoothRowSse2,
                                      .blend = x86::BlendSse2,
                                      .copy = x86::CopyMemcpy,
                                      .stream = x86::StreamSse2,
                                      .fence = x86::FenceSse2};
    return &kernels;
}

const FrameKernels* Ssse3FrameKernels() {
    static const FrameKernels kernels{.name = "ssse3",
                                      .window = 16,
                                      .gather = x86::GatherSsse3,
                                      .smoothRow = x86::SmoothRowSsse3,
                                      .blend = x86::BlendSse2,
                                      .copy = x86::CopyMemcpy,
                                      .stream = x86::StreamSse2,
                                      .fence = x86::FenceSse2,
                                      .gatherRows = x86::GatherRowsSsse3,
                                      .widenRow = x86::WidenRowSsse3};
    static const bool supported = CpuHasSsse3();
    return supported ? &kernels : nullptr;
}

const FrameKernels* Avx2FrameKernels() {
    static const FrameKernels kernels{.name = "avx2",
                                      .window = 16,
                                      .gather = x86::GatherSsse3,
                                      .smoothRow = x86::SmoothRowAvx2,
                                      .blend = x86::BlendAvx2,
                                      .copy = x86::CopyMemcpy,
                                      .stream = x86::StreamSse2,
                                      .fence = x86::FenceSse2,
                                      .gatherRows = x86::GatherRowsSsse3,
                                      .streamBlend = x86::BlendAvx2Stream,
                                      .plainCells = x86::PlainCellsAvx2,
                                      .maskRows = x86::MaskRowsAvx2,
                                      .maskedCells = x86::MaskedCellsAvx2,
                                      .widenRow = x86::WidenRowAvx2};
    static const bool supported = CpuHasAvx2() && CpuHasSsse3();
    return supported ? &kernels : nullptr;
}

const FrameKernels* Avx512FrameKernels() {
    static const FrameKernels kernels{.name = "avx512",
                                      .window = 16,
                                      .gather = x86::GatherSsse3,
                                      .smoothRow = x86::SmoothRowAvx2,
                                      .blend = x86::BlendAvx2,
                                      .copy = x86::CopyAvx512,
                                      .stream = x86::StreamAvx512,
                                      .fence = x86::FenceSse2,
                                      .gatherRows = x86::GatherRowsSsse3,
                                      .streamBlend = x86::BlendAvx2Stream,
                                      .plainCells = x86::PlainCellsAvx2,
                                      .maskRows = x86::MaskRowsAvx2,
                                      .maskedCells = x86::MaskedCellsAvx2,
                                      .widenRow = x86::WidenRowAvx2};
    static const bool supported = CpuHasAvx512() && CpuHasAvx2() && CpuHasSsse3();
    return supported ? &kernels : nullptr;
}

const FrameKernels* Avx512VbmiFrameKernels() {
    static const FrameKernels kernels{.name = "avx512vbmi",
                                      .window = 64,
                                      .gather = x86::GatherVbmi,
                                      .smoothRow = x86::SmoothRowVbmi,
                                      .blend = x86::BlendAvx512,
                                      .copy = x86::CopyAvx512,
                                      .stream = x86::StreamAvx512,
                                      .fence = x86::FenceSse2,
                                      .markRows = x86::MarkRowsVbmi,
                                      .streamBlend = x86::BlendAvx512Stream,
                                      .plainCells = x86::PlainCellsVbmi,
                                      .widenRow = x86::WidenRowAvx2};
    static const bool supported = CpuHasAvx512Vbmi() && CpuHasSsse3();
    return supported ? &kernels : nullptr;
}

#else

const FrameKernels* Sse2FrameKernels() {
    return nullptr;
}
const FrameKernels* Ssse3FrameKernels() {
    return nullptr;
}
const FrameKernels* Avx2FrameKernels() {
    return nullptr;
}
const FrameKernels* Avx512FrameKernels() {
    return nullptr;
}
const FrameKernels* Avx512VbmiFrameKernels() {
    return nullptr;
}

#endif

const FrameKernels& ChooseFrameKernels(KernelSet set) {
    const FrameKernels* chosen = nullptr;
    switch (set) {
    case KernelSet::Best:
        chosen = Avx512VbmiFrameKernels();
        if (!chosen)
            chosen = Avx512FrameKernels();
        if (!chosen)
            chosen = Avx2FrameKernels();
        if (!chosen)
            chosen = Ssse3FrameKernels();
        if (!chosen)
            chosen = Sse2FrameKernels();
        break;
    case KernelSet::Sse2:
        chosen = Sse2FrameKernels();
        break;
    case KernelSet::Ssse3:
        chosen = Ssse3FrameKernels();
        break;
    case KernelSet::Avx2:
        chosen = Avx2FrameKernels();
        break;
    case KernelSet::Avx512:
        chosen = Avx512FrameKernels();
        break;
    case KernelSet::Avx512Vbmi:
        chosen = Avx512VbmiFrameKernels();
        break;
    case KernelSet::Portable:
        break;
    }
    return chosen ? *chosen : PortableFrameKernels();
}

} // namespace lupenta
