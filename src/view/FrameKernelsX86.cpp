#include "view/FrameKernels.h"

#if defined(__SSE2__) || defined(_M_X64)

#include <cstring>
#include <immintrin.h>

#if defined(_MSC_VER) && !defined(__clang__)
#include <intrin.h>
#define LUPENTA_TARGET_SSSE3
#define LUPENTA_TARGET_AVX2
#else
// The build targets plain x86-64; these functions are only called once the CPU has been asked.
#define LUPENTA_TARGET_SSSE3 __attribute__((target("ssse3")))
#define LUPENTA_TARGET_AVX2 __attribute__((target("avx2")))
#endif

namespace lupenta {

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

// The portable loops are the fallback for row tails that a full vector would overrun.
void BlendTail(const std::uint16_t* top, const std::uint16_t* bottom, int weight, int from,
               int bytes, std::uint8_t* out, std::uint8_t mask) {
    for (int j = from; j < bytes; ++j) {
        const int t0 = top[j] ^ 0x8000;
        const int t1 = bottom[j] ^ 0x8000;
        out[j] =
            static_cast<std::uint8_t>(((t0 * (256 - weight) + t1 * weight + 32768) >> 16) ^ mask);
    }
}

void GatherSse2(const GatherTable& table, const std::uint8_t* source, std::uint8_t* out,
                std::uint8_t mask) {
    const std::uint32_t flip = mask * 0x010101u;
    for (int x = 0; x < table.width; ++x) {
        std::uint32_t pixel;
        std::memcpy(&pixel, source + table.index[x] * 3, 4);
        pixel ^= flip;
        // The fourth byte is overwritten by the next pixel; the output has slack for the last.
        std::memcpy(out + x * 3, &pixel, 4);
    }
}

void SmoothRowSse2(const SmoothTable& table, const std::uint8_t* source, std::uint16_t* sums) {
    for (int j = 0; j < table.bytes; ++j) {
        const std::uint8_t* p = source + table.offset[j];
        const int w = table.weight[j];
        sums[j] = static_cast<std::uint16_t>((p[0] * (256 - w) + p[3] * w) ^ 0x8000);
    }
}

// With the sums stored as t ^ 0x8000, a signed multiply-add gives
// t0 * (256 - w) + t1 * w - 32768 * 256, so adding that back with the rounding half is exact.
constexpr int kBlendBias = 32768 * 256 + 32768;

inline __m128i BlendEight(__m128i t0, __m128i t1, __m128i weights, __m128i bias) {
    const __m128i lo = _mm_madd_epi16(_mm_unpacklo_epi16(t0, t1), weights);
    const __m128i hi = _mm_madd_epi16(_mm_unpackhi_epi16(t0, t1), weights);
    return _mm_packs_epi32(_mm_srli_epi32(_mm_add_epi32(lo, bias), 16),
                           _mm_srli_epi32(_mm_add_epi32(hi, bias), 16));
}

void BlendSse2(const std::uint16_t* top, const std::uint16_t* bottom, int weight, int bytes,
               std::uint8_t* out, std::uint8_t mask) {
    const __m128i weights = _mm_set1_epi32((256 - weight) | (weight << 16));
    const __m128i bias = _mm_set1_epi32(kBlendBias);
    const __m128i flip = _mm_set1_epi8(static_cast<char>(mask));
    int j = 0;
    for (; j + 16 <= bytes; j += 16) {
        const auto* a = reinterpret_cast<const __m128i*>(top + j);
        const auto* b = reinterpret_cast<const __m128i*>(bottom + j);
        const __m128i first = BlendEight(_mm_loadu_si128(a), _mm_loadu_si128(b), weights, bias);
        const __m128i second =
            BlendEight(_mm_loadu_si128(a + 1), _mm_loadu_si128(b + 1), weights, bias);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + j),
                         _mm_xor_si128(_mm_packus_epi16(first, second), flip));
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

void FenceSse2() {
    _mm_sfence();
}

LUPENTA_TARGET_SSSE3 void GatherSsse3(const GatherTable& table, const std::uint8_t* source,
                                      std::uint8_t* out, std::uint8_t mask) {
    const __m128i flip = _mm_set1_epi8(static_cast<char>(mask));
    for (int k = 0; k < table.chunks; ++k) {
        const __m128i window =
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + table.base[k]));
        const __m128i shuffle =
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(table.mask + k * 16));
        // Sixteen bytes go out but only fifteen count: the next chunk overwrites the last.
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + k * 15),
                         _mm_xor_si128(_mm_shuffle_epi8(window, shuffle), flip));
    }
}

LUPENTA_TARGET_SSSE3 void SmoothRowSsse3(const SmoothTable& table, const std::uint8_t* source,
                                         std::uint16_t* sums) {
    // The shuffle's zeroing bytes are 0x80; adding 3 to each lane leaves them zeroing and moves
    // every index on to the same byte of the next pixel.
    const __m128i nextPixel = _mm_set1_epi16(3);
    const __m128i full = _mm_set1_epi16(256);
    const __m128i bias = _mm_set1_epi16(static_cast<short>(0x8000));
    for (int g = 0; g < table.groups; ++g) {
        const __m128i window =
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + table.base[g]));
        const __m128i shuffle =
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(table.mask + g * 16));
        const __m128i c0 = _mm_shuffle_epi8(window, shuffle);
        const __m128i c1 = _mm_shuffle_epi8(window, _mm_add_epi16(shuffle, nextPixel));
        const __m128i w1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(table.weight + g * 8));
        const __m128i w0 = _mm_sub_epi16(full, w1);
        const __m128i sum = _mm_add_epi16(_mm_mullo_epi16(c0, w0), _mm_mullo_epi16(c1, w1));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(sums + g * 8), _mm_xor_si128(sum, bias));
    }
}

LUPENTA_TARGET_AVX2 void BlendAvx2(const std::uint16_t* top, const std::uint16_t* bottom,
                                   int weight, int bytes, std::uint8_t* out, std::uint8_t mask) {
    const __m256i weights = _mm256_set1_epi32((256 - weight) | (weight << 16));
    const __m256i bias = _mm256_set1_epi32(kBlendBias);
    const __m256i flip = _mm256_set1_epi8(static_cast<char>(mask));
    int j = 0;
    for (; j + 32 <= bytes; j += 32) {
        const auto* a = reinterpret_cast<const __m256i*>(top + j);
        const auto* b = reinterpret_cast<const __m256i*>(bottom + j);
        __m256i halves[2];
        for (int h = 0; h < 2; ++h) {
            const __m256i t0 = _mm256_loadu_si256(a + h);
            const __m256i t1 = _mm256_loadu_si256(b + h);
            const __m256i lo = _mm256_madd_epi16(_mm256_unpacklo_epi16(t0, t1), weights);
            const __m256i hi = _mm256_madd_epi16(_mm256_unpackhi_epi16(t0, t1), weights);
            halves[h] = _mm256_packs_epi32(_mm256_srli_epi32(_mm256_add_epi32(lo, bias), 16),
                                           _mm256_srli_epi32(_mm256_add_epi32(hi, bias), 16));
        }
        // Packing works within 128-bit lanes; the permute puts the quarters back in order.
        const __m256i bytes32 =
            _mm256_permute4x64_epi64(_mm256_packus_epi16(halves[0], halves[1]), 0xD8);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + j), _mm256_xor_si256(bytes32, flip));
    }
    BlendTail(top, bottom, weight, j, bytes, out, mask);
}

} // namespace

const FrameKernels* Sse2FrameKernels() {
    static const FrameKernels kernels{"sse2",    GatherSse2, SmoothRowSse2,
                                      BlendSse2, StreamSse2, FenceSse2};
    return &kernels;
}

const FrameKernels* Ssse3FrameKernels() {
    static const FrameKernels kernels{"ssse3",   GatherSsse3, SmoothRowSsse3,
                                      BlendSse2, StreamSse2,  FenceSse2};
    static const bool supported = CpuHasSsse3();
    return supported ? &kernels : nullptr;
}

const FrameKernels* Avx2FrameKernels() {
    static const FrameKernels kernels{"avx2",    GatherSsse3, SmoothRowSsse3,
                                      BlendAvx2, StreamSse2,  FenceSse2};
    static const bool supported = CpuHasAvx2() && CpuHasSsse3();
    return supported ? &kernels : nullptr;
}

} // namespace lupenta

#else

namespace lupenta {

const FrameKernels* Sse2FrameKernels() {
    return nullptr;
}
const FrameKernels* Ssse3FrameKernels() {
    return nullptr;
}
const FrameKernels* Avx2FrameKernels() {
    return nullptr;
}

} // namespace lupenta

#endif
