// Kernels for processors with AVX-512F, compiled for that instruction set.

#include "view/FrameKernelsX86.h"

#if LUPENTA_X86_KERNELS

#include <immintrin.h>

namespace lupenta::x86 {

// Whole-line aligned stores keep up with the fastest fill the machine has; the frame's rows
// need not start on a line, so the first and last stores are unaligned and overlap.
void CopyAvx512(std::uint8_t* out, const std::uint8_t* row, int bytes) {
    if (bytes < 64) {
        std::memcpy(out, row, static_cast<std::size_t>(bytes));
        return;
    }
    _mm512_storeu_si512(out, _mm512_loadu_si512(row));
    int j = static_cast<int>(64 - (reinterpret_cast<std::uintptr_t>(out) & 63));
    for (; j + 64 <= bytes; j += 64)
        _mm512_store_si512(out + j, _mm512_loadu_si512(row + j));
    _mm512_storeu_si512(out + bytes - 64, _mm512_loadu_si512(row + bytes - 64));
}

void StreamAvx512(std::uint8_t* out, const std::uint8_t* row, int bytes) {
    if (bytes < 64) {
        std::memcpy(out, row, static_cast<std::size_t>(bytes));
        return;
    }
    _mm512_storeu_si512(out, _mm512_loadu_si512(row));
    int j = static_cast<int>(64 - (reinterpret_cast<std::uintptr_t>(out) & 63));
    for (; j + 64 <= bytes; j += 64)
        _mm512_stream_si512(reinterpret_cast<__m512i*>(out + j), _mm512_loadu_si512(row + j));
    _mm512_storeu_si512(out + bytes - 64, _mm512_loadu_si512(row + bytes - 64));
}

} // namespace lupenta::x86

#endif
