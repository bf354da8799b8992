#pragma once

// The kernels for x86 processors, one file for each instruction set and each file compiled for
// its own set. Only the kernel sets call them, and a set is offered only once the processor has
// been asked whether it has the instructions.

#include "view/FrameKernels.h"

#if defined(__SSE2__) || defined(_M_X64)
#define LUPENTA_X86_KERNELS 1
#else
#define LUPENTA_X86_KERNELS 0
#endif

#if LUPENTA_X86_KERNELS

#if defined(_MSC_VER) && !defined(__clang__)
#define LUPENTA_NOINLINE __declspec(noinline)
#else
#define LUPENTA_NOINLINE __attribute__((noinline))
#endif

#include <emmintrin.h>

#include <cstdint>
#include <cstring>

namespace lupenta::x86 {

// Internal to every file that includes this one: each compiles them for its own instruction
// set, and one copy shared through the linker could reach a processor without that set.
namespace {

// With the sums stored as t ^ 0x8000, a signed multiply-add gives
// t0 * (256 - w) + t1 * w - 32768 * 256, so adding that back with the rounding half is exact.
constexpr int kBlendBias = 32768 * 256 + 32768;

constexpr int Fewer(int a, int b) {
    return a < b ? a : b;
}

inline __m128i Masked(__m128i v, const RowMask& mask, int j) {
    const __m128i keep = _mm_loadu_si128(reinterpret_cast<const __m128i*>(mask.keep + j));
    const __m128i flip = _mm_loadu_si128(reinterpret_cast<const __m128i*>(mask.flip + j));
    return _mm_xor_si128(_mm_and_si128(v, keep), flip);
}

} // namespace

// Baseline: every x86-64 processor has SSE2.
void GatherSse2(const GatherTable& table, const std::uint8_t* source, std::uint8_t* out,
                const RowMask& mask);
void SmoothRowSse2(const SmoothTable& table, const std::uint8_t* source, std::uint16_t* sums);
void BlendSse2(const std::uint16_t* top, const std::uint16_t* bottom, int weight, int bytes,
               std::uint8_t* out, const RowMask& mask);
void CopyMemcpy(std::uint8_t* out, const std::uint8_t* row, int bytes);
void StreamSse2(std::uint8_t* out, const std::uint8_t* row, int bytes);
void FenceSse2();
// The blend's portable loop, for row tails that a full vector would overrun.
void BlendTail(const std::uint16_t* top, const std::uint16_t* bottom, int weight, int from,
               int bytes, std::uint8_t* out, const RowMask& mask);
bool NoRowInverted(const std::uint8_t* invert, int count);

// SSSE3.
void GatherSsse3(const GatherTable& table, const std::uint8_t* source, std::uint8_t* out,
                 const RowMask& mask);
void GatherRowsSsse3(const GatherTable& table, const std::uint8_t* source,
                     std::uint8_t* const* rows, int count, const RowMask& mask);
void SmoothRowSsse3(const SmoothTable& table, const std::uint8_t* source, std::uint16_t* sums);
// Groups `from` to the last, for the wider kernels' tails.
void SmoothGroupsSsse3(const SmoothTable& table, const std::uint8_t* source, std::uint16_t* sums,
                       int from);
void WidenRowSsse3(const std::uint8_t* row, int width, std::uint8_t* out);

// AVX2.
void WidenRowAvx2(const std::uint8_t* row, int width, std::uint8_t* out);
void SmoothRowAvx2(const SmoothTable& table, const std::uint8_t* source, std::uint16_t* sums);
void BlendAvx2(const std::uint16_t* top, const std::uint16_t* bottom, int weight, int bytes,
               std::uint8_t* out, const RowMask& mask);
void BlendAvx2Stream(const std::uint16_t* top, const std::uint16_t* bottom, int weight, int bytes,
                     std::uint8_t* out, const RowMask& mask);
void PlainCellsAvx2(const GatherTable& table, const PlainCells& cells);
void MaskedCellsAvx2(const GatherTable& table, const MaskedCells& cells);
void MaskRowsAvx2(const GatherTable& table, const RowMask& mask, const std::uint8_t* source,
                  std::uint8_t* const* rows, const std::uint8_t* invert, int count,
                  unsigned streamRows);

// AVX-512F.
void CopyAvx512(std::uint8_t* out, const std::uint8_t* row, int bytes);
void StreamAvx512(std::uint8_t* out, const std::uint8_t* row, int bytes);

// AVX-512F, BW and VBMI.
void GatherVbmi(const GatherTable& table, const std::uint8_t* source, std::uint8_t* out,
                const RowMask& mask);
void SmoothRowVbmi(const SmoothTable& table, const std::uint8_t* source, std::uint16_t* sums);
void BlendAvx512(const std::uint16_t* top, const std::uint16_t* bottom, int weight, int bytes,
                 std::uint8_t* out, const RowMask& mask);
void BlendAvx512Stream(const std::uint16_t* top, const std::uint16_t* bottom, int weight, int bytes,
                       std::uint8_t* out, const RowMask& mask);
void MarkRowsVbmi(const GatherTable& table, const RowMarks& marks, const std::uint8_t* source,
                  std::uint8_t* const* rows, const std::uint8_t* invert, int count,
                  unsigned streamRows);
void PlainCellsVbmi(const GatherTable& table, const PlainCells& cells);

} // namespace lupenta::x86

#endif
