#include "view/FrameKernels.h"

#if defined(__SSE2__) || defined(_M_X64)

#include <algorithm>
#include <cstring>
#include <immintrin.h>

#if defined(_MSC_VER) && !defined(__clang__)
#include <intrin.h>
#define LUPENTA_TARGET_SSSE3
#define LUPENTA_TARGET_AVX2
#define LUPENTA_TARGET_AVX512
#define LUPENTA_TARGET_AVX512VBMI
#else
// The build targets plain x86-64; these functions are only called once the CPU has been asked.
#define LUPENTA_TARGET_SSSE3 __attribute__((target("ssse3")))
#define LUPENTA_TARGET_AVX2 __attribute__((target("avx2")))
#define LUPENTA_TARGET_AVX512 __attribute__((target("avx512f")))
#define LUPENTA_TARGET_AVX512VBMI __attribute__((target("avx512f,avx512bw,avx512vbmi")))
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

inline __m128i Masked(__m128i v, const RowMask& mask, int j) {
    const __m128i keep = _mm_loadu_si128(reinterpret_cast<const __m128i*>(mask.keep + j));
    const __m128i flip = _mm_loadu_si128(reinterpret_cast<const __m128i*>(mask.flip + j));
    return _mm_xor_si128(_mm_and_si128(v, keep), flip);
}

// Rows have slack past their end, so the last vector may run over.
void MaskRowSse2(std::uint8_t* out, int bytes, const RowMask& mask) {
    for (int j = 0; j < bytes; j += 16) {
        auto* p = reinterpret_cast<__m128i*>(out + j);
        _mm_storeu_si128(p, Masked(_mm_loadu_si128(p), mask, j));
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

LUPENTA_TARGET_SSSE3 inline __m128i ShuffleChunkSsse3(const std::uint8_t* from,
                                                      const std::uint8_t* shuffle) {
    return _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(from)),
                            _mm_loadu_si128(reinterpret_cast<const __m128i*>(shuffle)));
}

LUPENTA_TARGET_SSSE3 inline __m128i GatherChunk(const GatherTable& table,
                                                const std::uint8_t* source, int k) {
    const __m128i window =
        _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + table.base[k]));
    const __m128i shuffle = _mm_loadu_si128(reinterpret_cast<const __m128i*>(table.mask + k * 16));
    return _mm_shuffle_epi8(window, shuffle);
}

// Sixteen bytes go out per chunk but only fifteen count: the next chunk overwrites the last.
LUPENTA_TARGET_SSSE3 void GatherSsse3(const GatherTable& table, const std::uint8_t* source,
                                      std::uint8_t* out, const RowMask& mask) {
    if (mask.keep) {
        for (int k = 0; k < table.chunks; ++k)
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + k * 15),
                             Masked(GatherChunk(table, source, k), mask, k * 15));
    } else {
        for (int k = 0; k < table.chunks; ++k)
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + k * 15),
                             GatherChunk(table, source, k));
    }
}

// Straight into the frame, so there is no row buffer to read back while its stores are still
// on their way; the last chunks go through a small buffer to stop at the row's end. The table
// is read into locals and the row count is a template argument, as the byte stores could
// alias anything and the row pointers belong in registers.
template <int Rows>
LUPENTA_TARGET_SSSE3 void GatherRowsSsse3N(const GatherTable& table, const std::uint8_t* source,
                                           std::uint8_t* const* rows, const RowMask& mask) {
    const int bytes = table.width * 3;
    const int chunks = table.chunks;
    const std::int32_t* const base = table.base;
    const std::uint8_t* const shuffle = table.mask;
    const std::uint8_t* const keep = mask.keep;
    const std::uint8_t* const flip = mask.flip;
    std::uint8_t* out[Rows];
    for (int r = 0; r < Rows; ++r)
        out[r] = rows[r];
    int k = 0;
    for (int to = 0; k < chunks && to + 16 <= bytes; ++k, to += 15) {
        __m128i value = ShuffleChunkSsse3(source + base[k], shuffle + k * 16);
        if (keep)
            value = Masked(value, RowMask{keep, flip}, to);
        for (int r = 0; r < Rows; ++r)
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out[r] + to), value);
    }
    for (; k < chunks; ++k) {
        __m128i value = ShuffleChunkSsse3(source + base[k], shuffle + k * 16);
        if (keep)
            value = Masked(value, RowMask{keep, flip}, k * 15);
        alignas(16) std::uint8_t tail[16];
        _mm_store_si128(reinterpret_cast<__m128i*>(tail), value);
        const int n = bytes - k * 15 < 16 ? bytes - k * 15 : 16;
        for (int r = 0; r < Rows; ++r)
            std::memcpy(out[r] + k * 15, tail, static_cast<std::size_t>(n));
    }
}

LUPENTA_TARGET_SSSE3 void GatherRowsSsse3(const GatherTable& table, const std::uint8_t* source,
                                          std::uint8_t* const* rows, int count,
                                          const RowMask& mask) {
    for (; count >= 8; count -= 8, rows += 8)
        GatherRowsSsse3N<8>(table, source, rows, mask);
    switch (count) {
    case 7:
        return GatherRowsSsse3N<7>(table, source, rows, mask);
    case 6:
        return GatherRowsSsse3N<6>(table, source, rows, mask);
    case 5:
        return GatherRowsSsse3N<5>(table, source, rows, mask);
    case 4:
        return GatherRowsSsse3N<4>(table, source, rows, mask);
    case 3:
        return GatherRowsSsse3N<3>(table, source, rows, mask);
    case 2:
        return GatherRowsSsse3N<2>(table, source, rows, mask);
    case 1:
        return GatherRowsSsse3N<1>(table, source, rows, mask);
    default:
        return;
    }
}

// The shuffle's zeroing bytes are 0x80; adding 3 to each lane leaves them zeroing and moves
// every index on to the same byte of the next pixel.
LUPENTA_TARGET_SSSE3 inline void
SmoothGroupSsse3(const SmoothTable& table, const std::uint8_t* source, std::uint16_t* sums, int g) {
    const __m128i nextPixel = _mm_set1_epi16(3);
    const __m128i full = _mm_set1_epi16(256);
    const __m128i bias = _mm_set1_epi16(static_cast<short>(0x8000));
    const __m128i window =
        _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + table.base[g]));
    const __m128i shuffle = _mm_loadu_si128(reinterpret_cast<const __m128i*>(table.mask + g * 16));
    const __m128i c0 = _mm_shuffle_epi8(window, shuffle);
    const __m128i c1 = _mm_shuffle_epi8(window, _mm_add_epi16(shuffle, nextPixel));
    const __m128i w1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(table.weight + g * 8));
    const __m128i w0 = _mm_sub_epi16(full, w1);
    const __m128i sum = _mm_add_epi16(_mm_mullo_epi16(c0, w0), _mm_mullo_epi16(c1, w1));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(sums + g * 8), _mm_xor_si128(sum, bias));
}

LUPENTA_TARGET_SSSE3 void SmoothRowSsse3(const SmoothTable& table, const std::uint8_t* source,
                                         std::uint16_t* sums) {
    for (int g = 0; g < table.groups; ++g)
        SmoothGroupSsse3(table, source, sums, g);
}

// Two groups at once, one per 128-bit lane.
LUPENTA_TARGET_AVX2 void SmoothRowAvx2(const SmoothTable& table, const std::uint8_t* source,
                                       std::uint16_t* sums) {
    const __m256i nextPixel = _mm256_set1_epi16(3);
    const __m256i full = _mm256_set1_epi16(256);
    const __m256i bias = _mm256_set1_epi16(static_cast<short>(0x8000));
    int g = 0;
    for (; g + 2 <= table.groups; g += 2) {
        const __m256i window = _mm256_inserti128_si256(
            _mm256_castsi128_si256(
                _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + table.base[g]))),
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + table.base[g + 1])), 1);
        const __m256i shuffle =
            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(table.mask + g * 16));
        const __m256i c0 = _mm256_shuffle_epi8(window, shuffle);
        const __m256i c1 = _mm256_shuffle_epi8(window, _mm256_add_epi16(shuffle, nextPixel));
        const __m256i w1 =
            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(table.weight + g * 8));
        const __m256i w0 = _mm256_sub_epi16(full, w1);
        const __m256i sum =
            _mm256_add_epi16(_mm256_mullo_epi16(c0, w0), _mm256_mullo_epi16(c1, w1));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(sums + g * 8), _mm256_xor_si256(sum, bias));
    }
    for (; g < table.groups; ++g)
        SmoothGroupSsse3(table, source, sums, g);
}

bool NoRowInverted(const std::uint8_t* invert, int count) {
    return std::all_of(invert, invert + count, [](std::uint8_t b) { return b == 0; });
}

// Two 16-byte lanes, each shuffled out of its own 16 source bytes.
LUPENTA_TARGET_AVX2 inline __m256i
ShuffleLanesAvx2(const std::uint8_t* low, const std::uint8_t* high, const std::uint8_t* shuffle) {
    const __m256i window = _mm256_inserti128_si256(
        _mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(low))),
        _mm_loadu_si128(reinterpret_cast<const __m128i*>(high)), 1);
    return _mm256_shuffle_epi8(window,
                               _mm256_loadu_si256(reinterpret_cast<const __m256i*>(shuffle)));
}

template <int Rows, bool Masked, bool Stream>
LUPENTA_TARGET_AVX2 inline void StoreLanesAvx2(__m256i value, const std::uint8_t* keep,
                                               const std::uint8_t* flip, std::uint8_t* const* out,
                                               const __m256i* invert, const bool* past, int to) {
    if (Masked)
        value = _mm256_xor_si256(
            _mm256_and_si256(value,
                             _mm256_loadu_si256(reinterpret_cast<const __m256i*>(keep + to))),
            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(flip + to)));
    for (int r = 0; r < Rows; ++r) {
        auto* at = reinterpret_cast<__m256i*>(out[r] + to);
        const __m256i row = _mm256_xor_si256(value, invert[r]);
        if (Stream && past[r])
            _mm256_stream_si256(at, row);
        else
            _mm256_storeu_si256(at, row);
    }
}

// The masks of a table's periodic run, and where each lane of its chunks reads the source
// relative to the first.
struct PeriodAvx2 {
    __m256i shuffle[kChunkPeriod];
    std::int32_t offset[2 * kChunkPeriod];
};

LUPENTA_TARGET_AVX2 inline PeriodAvx2 LoadPeriodAvx2(const GatherTable& table) {
    PeriodAvx2 period;
    const int first = table.periodFrom;
    for (int j = 0; j < kChunkPeriod; ++j)
        period.shuffle[j] =
            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(table.mask + (first + j) * 32));
    for (int l = 0; l < 2 * kChunkPeriod; ++l)
        period.offset[l] = table.base[2 * first + l] - table.base[2 * first];
    return period;
}

template <int Rows, bool Stream>
LUPENTA_TARGET_AVX2 inline void StorePlainAvx2(__m256i value, std::uint8_t* const* out,
                                               const bool* past, int to) {
    for (int r = 0; r < Rows; ++r) {
        auto* at = reinterpret_cast<__m256i*>(out[r] + to);
        if (Stream && past[r])
            _mm256_stream_si256(at, value);
        else
            _mm256_storeu_si256(at, value);
    }
}

// A plain row whose windows repeat every period, as the VBMI kernels write it: the run with
// its masks held in registers and each period's lanes reading the source `advance` bytes
// further on, only the windows outside it from the tables.
template <int Rows, bool Stream>
LUPENTA_TARGET_AVX2 inline void
WritePlainRowsAvx2(const GatherTable& table, const PeriodAvx2& period, const std::uint8_t* source,
                   std::uint8_t* const* out, const bool* past) {
    const int chunks = table.chunks;
    const std::int32_t* const at = table.at;
    const std::int32_t* const base = table.base;
    const std::uint8_t* const mask = table.mask;
    const int first = table.periodFrom;
    const int periods = table.periods;
    const std::int32_t advance = table.advance;
    int k = 0;
    if (periods > 0) {
        if (first > 0)
            StorePlainAvx2<Rows, Stream>(ShuffleLanesAvx2(source + base[0], source + base[1], mask),
                                         out, past, at[0]);
        const std::uint8_t* from = source + base[2 * first];
        int to = at[first];
        for (int p = 0; p < periods; ++p, from += advance) {
            __m256i value[kChunkPeriod];
            for (int j = 0; j < kChunkPeriod; ++j) {
                const __m256i window = _mm256_inserti128_si256(
                    _mm256_castsi128_si256(_mm_loadu_si128(
                        reinterpret_cast<const __m128i*>(from + period.offset[2 * j]))),
                    _mm_loadu_si128(
                        reinterpret_cast<const __m128i*>(from + period.offset[2 * j + 1])),
                    1);
                value[j] = _mm256_shuffle_epi8(window, period.shuffle[j]);
            }
            for (int j = 0; j < kChunkPeriod; ++j, to += 32)
                StorePlainAvx2<Rows, Stream>(value[j], out, past, to);
        }
        k = first + periods * kChunkPeriod;
    }
    for (; k < chunks; ++k) {
        const int to = k == 0 || k == chunks - 1 ? at[k] : at[1] + (k - 1) * 32;
        StorePlainAvx2<Rows, Stream>(
            ShuffleLanesAvx2(source + base[2 * k], source + base[2 * k + 1], mask + k * 32), out,
            past, to);
    }
}

// A row of at least 32 bytes copied from one already in the cache.
LUPENTA_TARGET_AVX2 inline void CopyRowAvx2(std::uint8_t* out, const std::uint8_t* row, int bytes) {
    int j = 0;
    for (; j + 32 <= bytes; j += 32)
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + j),
                            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(row + j)));
    if (j < bytes)
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + bytes - 32),
                            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(row + bytes - 32)));
}

// As the widest kernels do it, with 32-byte windows: the table and the row pointers in
// registers, the inner windows' places counted. A plain block (no mask, no row inverted)
// writes the table's periodic run a period at a time.
template <int Rows, bool Masked, bool Stream>
LUPENTA_TARGET_AVX2 void MaskRowsAvx2N(const GatherTable& table, const RowMask& mask,
                                       const std::uint8_t* source, std::uint8_t* const* rows,
                                       const std::uint8_t* invert, unsigned streamRows,
                                       bool plain) {
    const int chunks = table.chunks;
    const std::int32_t* const at = table.at;
    const std::int32_t* const base = table.base;
    const std::uint8_t* const shuffle = table.mask;
    const std::uint8_t* const keep = mask.keep;
    const std::uint8_t* const flip = mask.flip;
    std::uint8_t* out[Rows];
    __m256i flips[Rows];
    bool past[Rows];
    for (int r = 0; r < Rows; ++r) {
        out[r] = rows[r];
        flips[r] = _mm256_set1_epi8(static_cast<char>(invert[r]));
        past[r] = (streamRows >> r) & 1;
    }
    if (!Masked && plain && table.periods > 0)
        return WritePlainRowsAvx2<Rows, Stream>(table, LoadPeriodAvx2(table), source, out, past);
    int to = chunks > 2 ? at[1] : 0;
    for (int k = 0; k < chunks; ++k) {
        const int place = k == 0 || k == chunks - 1 ? at[k] : to;
        const __m256i value =
            ShuffleLanesAvx2(source + base[2 * k], source + base[2 * k + 1], shuffle + k * 32);
        StoreLanesAvx2<Rows, Masked, Stream>(value, keep, flip, out, flips, past, place);
        if (k > 0)
            to += 32;
    }
}

template <bool Masked, bool Stream>
LUPENTA_TARGET_AVX2 void MaskRowsAvx2For(const GatherTable& table, const RowMask& mask,
                                         const std::uint8_t* source, std::uint8_t* const* rows,
                                         const std::uint8_t* invert, int count,
                                         unsigned streamRows) {
    const bool plain = NoRowInverted(invert, count);
    for (; count >= 8; count -= 8, rows += 8, invert += 8, streamRows >>= 8)
        MaskRowsAvx2N<8, Masked, Stream>(table, mask, source, rows, invert, streamRows, plain);
    switch (count) {
    case 7:
        return MaskRowsAvx2N<7, Masked, Stream>(table, mask, source, rows, invert, streamRows,
                                                plain);
    case 6:
        return MaskRowsAvx2N<6, Masked, Stream>(table, mask, source, rows, invert, streamRows,
                                                plain);
    case 5:
        return MaskRowsAvx2N<5, Masked, Stream>(table, mask, source, rows, invert, streamRows,
                                                plain);
    case 4:
        return MaskRowsAvx2N<4, Masked, Stream>(table, mask, source, rows, invert, streamRows,
                                                plain);
    case 3:
        return MaskRowsAvx2N<3, Masked, Stream>(table, mask, source, rows, invert, streamRows,
                                                plain);
    case 2:
        return MaskRowsAvx2N<2, Masked, Stream>(table, mask, source, rows, invert, streamRows,
                                                plain);
    case 1:
        return MaskRowsAvx2N<1, Masked, Stream>(table, mask, source, rows, invert, streamRows,
                                                plain);
    default:
        return;
    }
}

LUPENTA_TARGET_AVX2 void MaskRowsAvx2(const GatherTable& table, const RowMask& mask,
                                      const std::uint8_t* source, std::uint8_t* const* rows,
                                      const std::uint8_t* invert, int count, unsigned streamRows) {
    if (mask.keep) {
        if (streamRows)
            MaskRowsAvx2For<true, true>(table, mask, source, rows, invert, count, streamRows);
        else
            MaskRowsAvx2For<true, false>(table, mask, source, rows, invert, count, 0);
    } else {
        if (streamRows)
            MaskRowsAvx2For<false, true>(table, mask, source, rows, invert, count, streamRows);
        else
            MaskRowsAvx2For<false, false>(table, mask, source, rows, invert, count, 0);
    }
}

// The cells' rows in blocks of up to eight, a tall cell's first row copied into the others,
// as PlainCellsVbmi does it.
LUPENTA_TARGET_AVX2 void PlainCellsAvx2(const GatherTable& table, const PlainCells& cells) {
    // A table without a periodic run may be shorter than a period.
    const PeriodAvx2 period = table.periods > 0 ? LoadPeriodAvx2(table) : PeriodAvx2{};
    const int bytes = table.width * 3;
    constexpr int kBlock = 8;
    const bool cached[kBlock] = {};
    std::uint8_t* out[kBlock];
    int y = 0;
    for (int i = 0; y < cells.height; ++i) {
        const std::uint8_t* source = cells.sources[i];
        const int bottom = std::min(y + (i == 0 ? cells.first : cells.zoom), cells.height);
        if (bottom - y >= kCopiedCell) {
            out[0] = cells.out + y * cells.stride;
            WritePlainRowsAvx2<1, false>(table, period, source, out, cached);
            for (++y; y < bottom; ++y)
                CopyRowAvx2(cells.out + y * cells.stride, out[0], bytes);
            continue;
        }
        for (; y < bottom; y += kBlock) {
            const int count = std::min(kBlock, bottom - y);
            for (int r = 0; r < count; ++r)
                out[r] = cells.out + (y + r) * cells.stride;
            switch (count) {
            case 8:
                WritePlainRowsAvx2<8, false>(table, period, source, out, cached);
                break;
            case 7:
                WritePlainRowsAvx2<7, false>(table, period, source, out, cached);
                break;
            case 6:
                WritePlainRowsAvx2<6, false>(table, period, source, out, cached);
                break;
            case 5:
                WritePlainRowsAvx2<5, false>(table, period, source, out, cached);
                break;
            case 4:
                WritePlainRowsAvx2<4, false>(table, period, source, out, cached);
                break;
            case 3:
                WritePlainRowsAvx2<3, false>(table, period, source, out, cached);
                break;
            case 2:
                WritePlainRowsAvx2<2, false>(table, period, source, out, cached);
                break;
            default:
                WritePlainRowsAvx2<1, false>(table, period, source, out, cached);
                break;
            }
        }
        y = bottom;
    }
}

LUPENTA_TARGET_AVX2 inline __m256i
BlendSixteen(const std::uint16_t* top, const std::uint16_t* bottom, __m256i weights, __m256i bias) {
    const __m256i t0 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(top));
    const __m256i t1 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(bottom));
    const __m256i lo = _mm256_madd_epi16(_mm256_unpacklo_epi16(t0, t1), weights);
    const __m256i hi = _mm256_madd_epi16(_mm256_unpackhi_epi16(t0, t1), weights);
    return _mm256_packs_epi32(_mm256_srli_epi32(_mm256_add_epi32(lo, bias), 16),
                              _mm256_srli_epi32(_mm256_add_epi32(hi, bias), 16));
}

template <bool Stream>
LUPENTA_TARGET_AVX2 void BlendAvx2Rows(const std::uint16_t* top, const std::uint16_t* bottom,
                                       int weight, int bytes, std::uint8_t* out,
                                       const RowMask& mask) {
    const __m256i weights = _mm256_set1_epi32((256 - weight) | (weight << 16));
    const __m256i bias = _mm256_set1_epi32(kBlendBias);
    int j = 0;
    for (; j + 32 <= bytes; j += 32) {
        const __m256i first = BlendSixteen(top + j, bottom + j, weights, bias);
        const __m256i second = BlendSixteen(top + j + 16, bottom + j + 16, weights, bias);
        // Packing works within 128-bit lanes; the permute puts the quarters back in order.
        __m256i value = _mm256_permute4x64_epi64(_mm256_packus_epi16(first, second), 0xD8);
        if (mask.keep) {
            const __m256i keep =
                _mm256_loadu_si256(reinterpret_cast<const __m256i*>(mask.keep + j));
            const __m256i flip =
                _mm256_loadu_si256(reinterpret_cast<const __m256i*>(mask.flip + j));
            value = _mm256_xor_si256(_mm256_and_si256(value, keep), flip);
        }
        if (Stream)
            _mm256_stream_si256(reinterpret_cast<__m256i*>(out + j), value);
        else
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + j), value);
    }
    BlendTail(top, bottom, weight, j, bytes, out, mask);
}

LUPENTA_TARGET_AVX2 void BlendAvx2(const std::uint16_t* top, const std::uint16_t* bottom,
                                   int weight, int bytes, std::uint8_t* out, const RowMask& mask) {
    BlendAvx2Rows<false>(top, bottom, weight, bytes, out, mask);
}

LUPENTA_TARGET_AVX2 void BlendAvx2Stream(const std::uint16_t* top, const std::uint16_t* bottom,
                                         int weight, int bytes, std::uint8_t* out,
                                         const RowMask& mask) {
    BlendAvx2Rows<true>(top, bottom, weight, bytes, out, mask);
}

// Whole-line aligned stores keep up with the fastest fill the machine has; the frame's rows
// need not start on a line, so the first and last stores are unaligned and overlap.
LUPENTA_TARGET_AVX512 void CopyAvx512(std::uint8_t* out, const std::uint8_t* row, int bytes) {
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

LUPENTA_TARGET_AVX512 void StreamAvx512(std::uint8_t* out, const std::uint8_t* row, int bytes) {
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

// Twenty-one output pixels per chunk out of a 64-byte window; the 64th byte is overwritten by
// the next chunk.
LUPENTA_TARGET_AVX512VBMI void GatherVbmi(const GatherTable& table, const std::uint8_t* source,
                                          std::uint8_t* out, const RowMask& mask) {
    for (int k = 0; k < table.chunks; ++k) {
        const __m512i window = _mm512_loadu_si512(source + table.base[k]);
        __m512i value = _mm512_maskz_permutexvar_epi8(
            ~__mmask64{0}, _mm512_loadu_si512(table.mask + k * 64), window);
        if (mask.keep)
            value =
                _mm512_xor_si512(_mm512_and_si512(value, _mm512_loadu_si512(mask.keep + k * 63)),
                                 _mm512_loadu_si512(mask.flip + k * 63));
        _mm512_storeu_si512(out + k * 63, value);
    }
}

// How a window's bytes are made: a plain shuffle of the source, or one that also takes the pen
// colour or the complement of a source byte where the table marks it.
enum class Marking { Plain, Colour, Complement };

// One window of the row shuffled, marked and stored into every row, each with its own
// inversion; plain windows are never inverted.
template <int Rows, Marking Marks, bool Stream>
LUPENTA_TARGET_AVX512VBMI inline void
MarkWindowVbmi(const std::uint8_t* from, const std::uint8_t* shuffle, __m512i colour,
               std::uint8_t* const* out, const __m512i* flip, const bool* past, int to) {
    const __m512i window = _mm512_loadu_si512(from);
    __m512i value;
    if constexpr (Marks == Marking::Plain) {
        value = _mm512_maskz_permutexvar_epi8(~__mmask64{0}, _mm512_loadu_si512(shuffle), window);
    } else {
        const __m512i marked =
            Marks == Marking::Complement ? _mm512_xor_si512(window, _mm512_set1_epi8(-1)) : colour;
        value = _mm512_permutex2var_epi8(window, _mm512_loadu_si512(shuffle), marked);
    }
    for (int r = 0; r < Rows; ++r) {
        const __m512i row = Marks == Marking::Plain ? value : _mm512_xor_si512(value, flip[r]);
        if (Stream && past[r])
            _mm512_stream_si512(reinterpret_cast<__m512i*>(out[r] + to), row);
        else
            _mm512_storeu_si512(out[r] + to, row);
    }
}

// The masks of a table's periodic run, and where each of its chunks reads the source relative
// to the first.
struct PeriodVbmi {
    __m512i shuffle[kChunkPeriod];
    std::int32_t offset[kChunkPeriod];
};

LUPENTA_TARGET_AVX512VBMI inline PeriodVbmi LoadPeriodVbmi(const GatherTable& table) {
    PeriodVbmi period;
    const int first = table.periodFrom;
    for (int j = 0; j < kChunkPeriod; ++j) {
        period.shuffle[j] = _mm512_loadu_si512(table.mask + (first + j) * 64);
        period.offset[j] = table.base[first + j] - table.base[first];
    }
    return period;
}

// One chunk of a plain row outside its periodic run. A function rather than a lambda: a lambda
// does not take on its enclosing function's target, and clang refuses its vector argument.
template <int Rows, bool Stream>
LUPENTA_TARGET_AVX512VBMI inline void
WritePlainChunkVbmi(int k, int chunks, const std::int32_t* at, const std::int32_t* base,
                    const std::uint8_t* mask, const std::uint8_t* source, std::uint8_t* const* out,
                    const bool* past) {
    const int to = k == 0 || k == chunks - 1 ? at[k] : at[1] + (k - 1) * 64;
    MarkWindowVbmi<Rows, Marking::Plain, Stream>(source + base[k], mask + k * 64, __m512i{}, out,
                                                 nullptr, past, to);
}

// A plain row whose chunks repeat every period: the run is shuffled with its masks held in
// registers, a period at a time, each reading the source `advance` bytes further on than the
// one before, and only the chunks outside it are read from the tables. Reading each chunk's
// mask and source place from the tables made 1080p paints 6 to 8% slower.
template <int Rows, bool Stream>
LUPENTA_TARGET_AVX512VBMI inline void
WritePlainRowsVbmi(const GatherTable& table, const PeriodVbmi& period, const std::uint8_t* source,
                   std::uint8_t* const* out, const bool* past) {
    const int chunks = table.chunks;
    const std::int32_t* const at = table.at;
    const std::int32_t* const base = table.base;
    const std::uint8_t* const mask = table.mask;
    const int first = table.periodFrom;
    const int periods = table.periods;
    const std::int32_t advance = table.advance;
    const auto write = WritePlainChunkVbmi<Rows, Stream>;
    int k = 0;
    if (periods > 0) {
        if (first > 0)
            write(0, chunks, at, base, mask, source, out, past);
        const std::uint8_t* from = source + base[first];
        int to = at[first];
        for (int p = 0; p < periods; ++p, from += advance) {
            __m512i value[kChunkPeriod];
            for (int j = 0; j < kChunkPeriod; ++j)
                value[j] = _mm512_maskz_permutexvar_epi8(
                    ~__mmask64{0}, period.shuffle[j], _mm512_loadu_si512(from + period.offset[j]));
            for (int j = 0; j < kChunkPeriod; ++j, to += 64)
                for (int r = 0; r < Rows; ++r) {
                    if (Stream && past[r])
                        _mm512_stream_si512(reinterpret_cast<__m512i*>(out[r] + to), value[j]);
                    else
                        _mm512_storeu_si512(out[r] + to, value[j]);
                }
        }
        k = first + periods * kChunkPeriod;
    }
    for (; k < chunks; ++k)
        write(k, chunks, at, base, mask, source, out, past);
}

// Every table pointer is read into a local first: the byte stores into the frame could alias
// anything, so otherwise each one is read again after every store. The row count is a
// template argument so that the row pointers stay in registers. Each kernel spells out its
// own dispatch on the row count: one shared helper taking a generic lambda made two-row
// blocks 25% slower.
template <int Rows, Marking Marks, bool Stream>
LUPENTA_TARGET_AVX512VBMI void MarkRowsVbmiN(const GatherTable& table, const RowMarks& marks,
                                             const std::uint8_t* source, std::uint8_t* const* rows,
                                             const std::uint8_t* invert, unsigned streamRows) {
    const int chunks = table.chunks;
    const std::int32_t* const at = table.at;
    const std::int32_t* const base = table.base;
    const std::uint8_t* const shuffle = table.mask;
    const __m512i colour = _mm512_maskz_set1_epi32(1, marks.colour[0] | (marks.colour[1] << 8) |
                                                          (marks.colour[2] << 16));
    std::uint8_t* out[Rows];
    __m512i flip[Rows];
    bool past[Rows];
    for (int r = 0; r < Rows; ++r) {
        out[r] = rows[r];
        flip[r] = _mm512_set1_epi8(Marks == Marking::Plain ? 0 : static_cast<char>(invert[r]));
        past[r] = (streamRows >> r) & 1;
    }
    const auto write = MarkWindowVbmi<Rows, Marks, Stream>;
    // The inner chunks' places are counted rather than read: a store whose address waits on a
    // load holds back every load after it.
    if constexpr (Marks == Marking::Plain) {
        if (table.periods > 0)
            return WritePlainRowsVbmi<Rows, Stream>(table, LoadPeriodVbmi(table), source, out,
                                                    past);
    }
    write(source + base[0], shuffle, colour, out, flip, past, at[0]);
    int to = chunks > 2 ? at[1] : 0;
    for (int k = 1; k < chunks - 1; ++k, to += 64)
        write(source + base[k], shuffle + k * 64, colour, out, flip, past, to);
    if (chunks > 1)
        write(source + base[chunks - 1], shuffle + (chunks - 1) * 64, colour, out, flip, past,
              at[chunks - 1]);
}

template <Marking Marks, bool Stream>
LUPENTA_TARGET_AVX512VBMI void
MarkRowsVbmiFor(const GatherTable& table, const RowMarks& marks, const std::uint8_t* source,
                std::uint8_t* const* rows, const std::uint8_t* invert, int count,
                unsigned streamRows) {
    for (; count >= 8; count -= 8, rows += 8, invert += 8, streamRows >>= 8)
        MarkRowsVbmiN<8, Marks, Stream>(table, marks, source, rows, invert, streamRows);
    switch (count) {
    case 7:
        return MarkRowsVbmiN<7, Marks, Stream>(table, marks, source, rows, invert, streamRows);
    case 6:
        return MarkRowsVbmiN<6, Marks, Stream>(table, marks, source, rows, invert, streamRows);
    case 5:
        return MarkRowsVbmiN<5, Marks, Stream>(table, marks, source, rows, invert, streamRows);
    case 4:
        return MarkRowsVbmiN<4, Marks, Stream>(table, marks, source, rows, invert, streamRows);
    case 3:
        return MarkRowsVbmiN<3, Marks, Stream>(table, marks, source, rows, invert, streamRows);
    case 2:
        return MarkRowsVbmiN<2, Marks, Stream>(table, marks, source, rows, invert, streamRows);
    case 1:
        return MarkRowsVbmiN<1, Marks, Stream>(table, marks, source, rows, invert, streamRows);
    default:
        return;
    }
}

template <bool Stream>
LUPENTA_TARGET_AVX512VBMI void MarkRowsVbmiAs(const GatherTable& table, const RowMarks& marks,
                                              const std::uint8_t* source, std::uint8_t* const* rows,
                                              const std::uint8_t* invert, int count,
                                              unsigned streamRows) {
    if (!marks.marked && NoRowInverted(invert, count))
        MarkRowsVbmiFor<Marking::Plain, Stream>(table, marks, source, rows, invert, count,
                                                streamRows);
    else if (marks.complement)
        MarkRowsVbmiFor<Marking::Complement, Stream>(table, marks, source, rows, invert, count,
                                                     streamRows);
    else
        MarkRowsVbmiFor<Marking::Colour, Stream>(table, marks, source, rows, invert, count,
                                                 streamRows);
}

LUPENTA_TARGET_AVX512VBMI void MarkRowsVbmi(const GatherTable& table, const RowMarks& marks,
                                            const std::uint8_t* source, std::uint8_t* const* rows,
                                            const std::uint8_t* invert, int count,
                                            unsigned streamRows) {
    if (streamRows)
        MarkRowsVbmiAs<true>(table, marks, source, rows, invert, count, streamRows);
    else
        MarkRowsVbmiAs<false>(table, marks, source, rows, invert, count, 0);
}

// The cells' rows in blocks of up to eight, each block with its own row count as a template
// argument, as MarkRowsVbmiFor does it; a tall cell's first row is built and copied into the
// others.
LUPENTA_TARGET_AVX512VBMI void PlainCellsVbmi(const GatherTable& table, const PlainCells& cells) {
    // A table without a periodic run may be shorter than a period.
    const PeriodVbmi period = table.periods > 0 ? LoadPeriodVbmi(table) : PeriodVbmi{};
    const int bytes = table.width * 3;
    constexpr int kBlock = 8;
    const bool cached[kBlock] = {};
    std::uint8_t* out[kBlock];
    int y = 0;
    for (int i = 0; y < cells.height; ++i) {
        const std::uint8_t* source = cells.sources[i];
        const int bottom = std::min(y + (i == 0 ? cells.first : cells.zoom), cells.height);
        if (bottom - y >= kCopiedCell) {
            out[0] = cells.out + y * cells.stride;
            WritePlainRowsVbmi<1, false>(table, period, source, out, cached);
            for (++y; y < bottom; ++y)
                CopyAvx512(cells.out + y * cells.stride, out[0], bytes);
            continue;
        }
        for (; y < bottom; y += kBlock) {
            const int count = std::min(kBlock, bottom - y);
            for (int r = 0; r < count; ++r)
                out[r] = cells.out + (y + r) * cells.stride;
            switch (count) {
            case 8:
                WritePlainRowsVbmi<8, false>(table, period, source, out, cached);
                break;
            case 7:
                WritePlainRowsVbmi<7, false>(table, period, source, out, cached);
                break;
            case 6:
                WritePlainRowsVbmi<6, false>(table, period, source, out, cached);
                break;
            case 5:
                WritePlainRowsVbmi<5, false>(table, period, source, out, cached);
                break;
            case 4:
                WritePlainRowsVbmi<4, false>(table, period, source, out, cached);
                break;
            case 3:
                WritePlainRowsVbmi<3, false>(table, period, source, out, cached);
                break;
            case 2:
                WritePlainRowsVbmi<2, false>(table, period, source, out, cached);
                break;
            default:
                WritePlainRowsVbmi<1, false>(table, period, source, out, cached);
                break;
            }
        }
        y = bottom;
    }
}

// Four groups at once, each in its own 128-bit lane with its own source window, as the
// byte shuffle works within lanes.
LUPENTA_TARGET_AVX512VBMI void SmoothRowAvx512(const SmoothTable& table, const std::uint8_t* source,
                                               std::uint16_t* sums) {
    const __m512i nextPixel = _mm512_set1_epi16(3);
    const __m512i full = _mm512_set1_epi16(256);
    const __m512i bias = _mm512_set1_epi16(static_cast<short>(0x8000));
    int g = 0;
    for (; g + 4 <= table.groups; g += 4) {
        const auto lane = [&](int i) {
            return _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + table.base[g + i]));
        };
        __m512i window = _mm512_castsi128_si512(lane(0));
        window = _mm512_inserti32x4(window, lane(1), 1);
        window = _mm512_inserti32x4(window, lane(2), 2);
        window = _mm512_inserti32x4(window, lane(3), 3);
        const __m512i shuffle = _mm512_loadu_si512(table.mask + g * 16);
        const __m512i c0 = _mm512_shuffle_epi8(window, shuffle);
        const __m512i c1 = _mm512_shuffle_epi8(window, _mm512_add_epi16(shuffle, nextPixel));
        const __m512i w1 = _mm512_loadu_si512(table.weight + g * 8);
        const __m512i w0 = _mm512_sub_epi16(full, w1);
        const __m512i sum =
            _mm512_add_epi16(_mm512_mullo_epi16(c0, w0), _mm512_mullo_epi16(c1, w1));
        _mm512_storeu_si512(sums + g * 8, _mm512_xor_si512(sum, bias));
    }
    for (; g < table.groups; ++g)
        SmoothGroupSsse3(table, source, sums, g);
}

LUPENTA_TARGET_AVX512VBMI inline void
SmoothWideHalf(__m256i taps0, __m256i taps1, const std::int16_t* weight, std::uint16_t* sums) {
    const __m512i a = _mm512_cvtepu8_epi16(taps0);
    const __m512i b = _mm512_cvtepu8_epi16(taps1);
    const __m512i sum =
        _mm512_add_epi16(_mm512_slli_epi16(a, 8),
                         _mm512_mullo_epi16(_mm512_sub_epi16(b, a), _mm512_loadu_si512(weight)));
    _mm512_storeu_si512(sums, _mm512_xor_si512(sum, _mm512_set1_epi16(static_cast<short>(0x8000))));
}

// Sixty-four output bytes from one 64-byte window. With c0 and c1 the two taps,
// c0 * (256 - w) + c1 * w == (c0 << 8) + (c1 - c0) * w, and as the sum fits 16 bits the
// product may wrap.
LUPENTA_TARGET_AVX512VBMI inline void
SmoothWideGroup(const SmoothTable& table, const std::uint8_t* source, std::uint16_t* sums, int g) {
    const __m512i window = _mm512_loadu_si512(source + table.wideBase[g]);
    const __m512i index = _mm512_loadu_si512(table.wideMask + g * 64);
    const __m512i c0 = _mm512_maskz_permutexvar_epi8(~__mmask64{0}, index, window);
    const __m512i c1 = _mm512_maskz_permutexvar_epi8(
        ~__mmask64{0}, _mm512_add_epi8(index, _mm512_set1_epi8(3)), window);
    SmoothWideHalf(_mm512_maskz_extracti64x4_epi64(0xFF, c0, 0),
                   _mm512_maskz_extracti64x4_epi64(0xFF, c1, 0), table.weight + g * 64,
                   sums + g * 64);
    SmoothWideHalf(_mm512_maskz_extracti64x4_epi64(0xFF, c0, 1),
                   _mm512_maskz_extracti64x4_epi64(0xFF, c1, 1), table.weight + g * 64 + 32,
                   sums + g * 64 + 32);
}

LUPENTA_TARGET_AVX512VBMI void SmoothRowVbmi(const SmoothTable& table, const std::uint8_t* source,
                                             std::uint16_t* sums) {
    if (table.wideGroups == 0) {
        SmoothRowAvx512(table, source, sums);
        return;
    }
    for (int g = 0; g < table.wideGroups; ++g)
        SmoothWideGroup(table, source, sums, g);
}

LUPENTA_TARGET_AVX512VBMI inline __m512i BlendThirtyTwo(const std::uint16_t* top,
                                                        const std::uint16_t* bottom,
                                                        __m512i weights, __m512i bias) {
    const __m512i t0 = _mm512_loadu_si512(top);
    const __m512i t1 = _mm512_loadu_si512(bottom);
    const __m512i lo = _mm512_madd_epi16(_mm512_unpacklo_epi16(t0, t1), weights);
    const __m512i hi = _mm512_madd_epi16(_mm512_unpackhi_epi16(t0, t1), weights);
    // The zero-masked forms say the same as the plain ones without leaving lanes undefined,
    // which older compilers warn about.
    const __mmask16 all = 0xFFFF;
    return _mm512_packs_epi32(_mm512_maskz_srli_epi32(all, _mm512_add_epi32(lo, bias), 16),
                              _mm512_maskz_srli_epi32(all, _mm512_add_epi32(hi, bias), 16));
}

template <bool Stream>
LUPENTA_TARGET_AVX512VBMI void BlendAvx512Rows(const std::uint16_t* top,
                                               const std::uint16_t* bottom, int weight, int bytes,
                                               std::uint8_t* out, const RowMask& mask) {
    const __m512i weights = _mm512_set1_epi32((256 - weight) | (weight << 16));
    const __m512i bias = _mm512_set1_epi32(kBlendBias);
    const __m512i order = _mm512_setr_epi64(0, 2, 4, 6, 1, 3, 5, 7);
    int j = 0;
    for (; j + 64 <= bytes; j += 64) {
        const __m512i first = BlendThirtyTwo(top + j, bottom + j, weights, bias);
        const __m512i second = BlendThirtyTwo(top + j + 32, bottom + j + 32, weights, bias);
        __m512i value =
            _mm512_maskz_permutexvar_epi64(0xFF, order, _mm512_packus_epi16(first, second));
        if (mask.keep)
            value = _mm512_xor_si512(_mm512_and_si512(value, _mm512_loadu_si512(mask.keep + j)),
                                     _mm512_loadu_si512(mask.flip + j));
        if (Stream)
            _mm512_stream_si512(reinterpret_cast<__m512i*>(out + j), value);
        else
            _mm512_storeu_si512(out + j, value);
    }
    BlendTail(top, bottom, weight, j, bytes, out, mask);
}

LUPENTA_TARGET_AVX512VBMI void BlendAvx512(const std::uint16_t* top, const std::uint16_t* bottom,
                                           int weight, int bytes, std::uint8_t* out,
                                           const RowMask& mask) {
    BlendAvx512Rows<false>(top, bottom, weight, bytes, out, mask);
}

LUPENTA_TARGET_AVX512VBMI void BlendAvx512Stream(const std::uint16_t* top,
                                                 const std::uint16_t* bottom, int weight, int bytes,
                                                 std::uint8_t* out, const RowMask& mask) {
    BlendAvx512Rows<true>(top, bottom, weight, bytes, out, mask);
}

} // namespace

const FrameKernels* Sse2FrameKernels() {
    static const FrameKernels kernels{.name = "sse2",
                                      .window = 16,
                                      .gather = GatherSse2,
                                      .smoothRow = SmoothRowSse2,
                                      .blend = BlendSse2,
                                      .copy = CopyMemcpy,
                                      .stream = StreamSse2,
                                      .fence = FenceSse2};
    return &kernels;
}

const FrameKernels* Ssse3FrameKernels() {
    static const FrameKernels kernels{.name = "ssse3",
                                      .window = 16,
                                      .gather = GatherSsse3,
                                      .smoothRow = SmoothRowSsse3,
                                      .blend = BlendSse2,
                                      .copy = CopyMemcpy,
                                      .stream = StreamSse2,
                                      .fence = FenceSse2,
                                      .gatherRows = GatherRowsSsse3};
    static const bool supported = CpuHasSsse3();
    return supported ? &kernels : nullptr;
}

const FrameKernels* Avx2FrameKernels() {
    static const FrameKernels kernels{.name = "avx2",
                                      .window = 16,
                                      .gather = GatherSsse3,
                                      .smoothRow = SmoothRowAvx2,
                                      .blend = BlendAvx2,
                                      .copy = CopyMemcpy,
                                      .stream = StreamSse2,
                                      .fence = FenceSse2,
                                      .gatherRows = GatherRowsSsse3,
                                      .streamBlend = BlendAvx2Stream,
                                      .plainCells = PlainCellsAvx2,
                                      .maskRows = MaskRowsAvx2};
    static const bool supported = CpuHasAvx2() && CpuHasSsse3();
    return supported ? &kernels : nullptr;
}

const FrameKernels* Avx512FrameKernels() {
    static const FrameKernels kernels{.name = "avx512",
                                      .window = 16,
                                      .gather = GatherSsse3,
                                      .smoothRow = SmoothRowAvx2,
                                      .blend = BlendAvx2,
                                      .copy = CopyAvx512,
                                      .stream = StreamAvx512,
                                      .fence = FenceSse2,
                                      .gatherRows = GatherRowsSsse3,
                                      .streamBlend = BlendAvx2Stream,
                                      .plainCells = PlainCellsAvx2,
                                      .maskRows = MaskRowsAvx2};
    static const bool supported = CpuHasAvx512() && CpuHasAvx2() && CpuHasSsse3();
    return supported ? &kernels : nullptr;
}

const FrameKernels* Avx512VbmiFrameKernels() {
    static const FrameKernels kernels{.name = "avx512vbmi",
                                      .window = 64,
                                      .gather = GatherVbmi,
                                      .smoothRow = SmoothRowVbmi,
                                      .blend = BlendAvx512,
                                      .copy = CopyAvx512,
                                      .stream = StreamAvx512,
                                      .fence = FenceSse2,
                                      .markRows = MarkRowsVbmi,
                                      .streamBlend = BlendAvx512Stream,
                                      .plainCells = PlainCellsVbmi};
    static const bool supported = CpuHasAvx512Vbmi() && CpuHasSsse3();
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
const FrameKernels* Avx512FrameKernels() {
    return nullptr;
}
const FrameKernels* Avx512VbmiFrameKernels() {
    return nullptr;
}

} // namespace lupenta

#endif
