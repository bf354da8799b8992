// The baseline kernels: every x86-64 processor has SSE2.

#include "view/FrameKernelsX86.h"

#include <algorithm>

#if LUPENTA_X86_KERNELS

#include <immintrin.h>

namespace lupenta::x86 {

namespace {

// Rows have slack past their end, so the last vector may run over.
void MaskRowSse2(std::uint8_t* out, int bytes, const RowMask& mask) {
    for (int j = 0; j < bytes; j += 16) {
        auto* p = reinterpret_cast<__m128i*>(out + j);
        _mm_storeu_si128(p, Masked(_mm_loadu_si128(p), mask, j));
    }
}

inline __m128i BlendEight(__m128i t0, __m128i t1, __m128i weights, __m128i bias) {
    const __m128i lo = _mm_madd_epi16(_mm_unpacklo_epi16(t0, t1), weights);
    const __m128i hi = _mm_madd_epi16(_mm_unpackhi_epi16(t0, t1), weights);
    return _mm_packs_epi32(_mm_srli_epi32(_mm_add_epi32(lo, bias), 16),
                           _mm_srli_epi32(_mm_add_epi32(hi, bias), 16));
}

} // namespace

// The portable loops are the fallback for row tails that a full vector would overrun.
void BlendTail(const std::uint16_t* top, const std::uint16_t* bottom, int weight, int from,
               int bytes, std::uint8_t* out, const RowMask& mask) {
    for (int j = from; j < bytes; ++j) {
        const int t0 = top[j] ^ 0x8000;
        const int t1 = bottom[j] ^ 0x8000;
        int value = (t0 * (256 - weight) + t1 * weight + 32768) >> 16;
        if (mask.keep)
            value = (value & mask.keep[j]) ^ mask.flip[j];
        out[j] = static_cast<std::uint8_t>(value);
    }
}

void GatherSse2(const GatherTable& table, const std::uint8_t* source, std::uint8_t* out,
                const RowMask& mask) {
    for (int x = 0; x < table.width; ++x) {
        std::uint32_t pixel;
        std::memcpy(&pixel, source + table.index[x] * 3, 4);
        // The fourth byte is overwritten by the next pixel; the output has slack for the last.
        std::memcpy(out + x * 3, &pixel, 4);
    }
    if (mask.keep)
        MaskRowSse2(out, table.width * 3, mask);
}

void SmoothRowSse2(const SmoothTable& table, const std::uint8_t* source, std::uint16_t* sums) {
    for (int j = 0; j < table.bytes; ++j) {
        const std::uint8_t* p = source + table.offset[j];
        const int w = table.weight[j];
        sums[j] = static_cast<std::uint16_t>((p[0] * (256 - w) + p[3] * w) ^ 0x8000);
    }
}

void BlendSse2(const std::uint16_t* top, const std::uint16_t* bottom, int weight, int bytes,
               std::uint8_t* out, const RowMask& mask) {
    const __m128i weights = _mm_set1_epi32((256 - weight) | (weight << 16));
    const __m128i bias = _mm_set1_epi32(kBlendBias);
    int j = 0;
    for (; j + 16 <= bytes; j += 16) {
        const auto* a = reinterpret_cast<const __m128i*>(top + j);
        const auto* b = reinterpret_cast<const __m128i*>(bottom + j);
        const __m128i first = BlendEight(_mm_loadu_si128(a), _mm_loadu_si128(b), weights, bias);
        const __m128i second =
            BlendEight(_mm_loadu_si128(a + 1), _mm_loadu_si128(b + 1), weights, bias);
        const __m128i value = _mm_packus_epi16(first, second);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + j),
                         mask.keep ? Masked(value, mask, j) : value);
    }
    BlendTail(top, bottom, weight, j, bytes, out, mask);
}

void StreamSse2(std::uint8_t* out, const std::uint8_t* row, int bytes) {
    int head = static_cast<int>((16 - (reinterpret_cast<std::uintptr_t>(out) & 15)) & 15);
    if (head > bytes)
        head = bytes;
    std::memcpy(out, row, static_cast<std::size_t>(head));
    int j = head;
    for (; j + 64 <= bytes; j += 64) {
        const auto* in = reinterpret_cast<const __m128i*>(row + j);
        auto* to = reinterpret_cast<__m128i*>(out + j);
        const __m128i a = _mm_loadu_si128(in);
        const __m128i b = _mm_loadu_si128(in + 1);
        const __m128i c = _mm_loadu_si128(in + 2);
        const __m128i d = _mm_loadu_si128(in + 3);
        _mm_stream_si128(to, a);
        _mm_stream_si128(to + 1, b);
        _mm_stream_si128(to + 2, c);
        _mm_stream_si128(to + 3, d);
    }
    for (; j + 16 <= bytes; j += 16)
        _mm_stream_si128(reinterpret_cast<__m128i*>(out + j),
                         _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + j)));
    std::memcpy(out + j, row + j, static_cast<std::size_t>(bytes - j));
}

void CopyMemcpy(std::uint8_t* out, const std::uint8_t* row, int bytes) {
    std::memcpy(out, row, static_cast<std::size_t>(bytes));
}

void FenceSse2() {
    _mm_sfence();
}

bool NoRowInverted(const std::uint8_t* invert, int count) {
    return std::all_of(invert, invert + count, [](std::uint8_t b) { return b == 0; });
}

} // namespace lupenta::x86

#endif
