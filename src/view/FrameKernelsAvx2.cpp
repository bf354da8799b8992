// Kernels for processors with AVX2, compiled for that instruction set.

#include "view/FrameKernelsX86.h"

#if LUPENTA_X86_KERNELS

#include <immintrin.h>

#include <type_traits>

namespace lupenta::x86 {

namespace {

// Two 16-byte lanes, each shuffled out of its own 16 source bytes.
inline __m256i ShuffleLanesAvx2(const std::uint8_t* low, const std::uint8_t* high,
                                const std::uint8_t* shuffle) {
    const __m256i window = _mm256_inserti128_si256(
        _mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(low))),
        _mm_loadu_si128(reinterpret_cast<const __m128i*>(high)), 1);
    return _mm256_shuffle_epi8(window,
                               _mm256_loadu_si256(reinterpret_cast<const __m256i*>(shuffle)));
}

// What a window gets before it is stored: its bytes masked by the row's keep and flip (a
// grid's columns and inversion), then each row's own XOR (a row an inverting grid line runs
// along). Only what a block needs is applied: where keep clears no byte, the AND and its load
// are left out.
enum class Masking { None, Flip, KeepAndFlip };

struct WindowMasks {
    const std::uint8_t* keep;
    const std::uint8_t* flip;
    const __m256i* invert;
};

template <int Rows, Masking Mask, bool Inverts, bool Stream>
inline void StoreWindowAvx2(__m256i value, const WindowMasks& masks, std::uint8_t* const* out,
                            const bool* past, int to) {
    if (Mask == Masking::KeepAndFlip)
        value = _mm256_and_si256(
            value, _mm256_loadu_si256(reinterpret_cast<const __m256i*>(masks.keep + to)));
    if (Mask != Masking::None)
        value = _mm256_xor_si256(
            value, _mm256_loadu_si256(reinterpret_cast<const __m256i*>(masks.flip + to)));
    for (int r = 0; r < Rows; ++r) {
        auto* at = reinterpret_cast<__m256i*>(out[r] + to);
        const __m256i row = Inverts ? _mm256_xor_si256(value, masks.invert[r]) : value;
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

inline PeriodAvx2 LoadPeriodAvx2(const GatherTable& table) {
    PeriodAvx2 period;
    const int first = table.periodFrom;
    for (int j = 0; j < kChunkPeriod; ++j)
        period.shuffle[j] =
            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(table.mask + (first + j) * 32));
    for (int l = 0; l < 2 * kChunkPeriod; ++l)
        period.offset[l] = table.base[2 * first + l] - table.base[2 * first];
    return period;
}

// Rows whose windows repeat every period, as the VBMI kernels write plain ones: the run with
// its shuffles held in registers and each period's lanes reading the source `advance` bytes
// further on, only the windows outside it from the tables. The grid's columns and inversion
// do not keep to the period, but they come from row-long masks read in step with the stores,
// so a masked row still needs no table for the windows of the run.
template <int Rows, Masking Mask, bool Inverts, bool Stream>
inline void WritePeriodicRowsAvx2(const GatherTable& table, const PeriodAvx2& period,
                                  const WindowMasks& masks, const std::uint8_t* source,
                                  std::uint8_t* const* out, const bool* past) {
    const int chunks = table.chunks;
    const std::int32_t* const at = table.at;
    const std::int32_t* const base = table.base;
    const std::uint8_t* const mask = table.mask;
    const int first = table.periodFrom;
    const int periods = table.periods;
    const std::int32_t advance = table.advance;
    if (first > 0)
        StoreWindowAvx2<Rows, Mask, Inverts, Stream>(
            ShuffleLanesAvx2(source + base[0], source + base[1], mask), masks, out, past, at[0]);
    const std::uint8_t* from = source + base[2 * first];
    int to = at[first];
    // Copied out of `period`, whose address is taken: the window stores may alias it, and the
    // compiler would read every offset again after them.
    std::int32_t offset[2 * kChunkPeriod];
    for (int l = 0; l < 2 * kChunkPeriod; ++l)
        offset[l] = period.offset[l];
    for (int p = 0; p < periods; ++p, from += advance) {
        __m256i value[kChunkPeriod];
        for (int j = 0; j < kChunkPeriod; ++j) {
            const __m256i window = _mm256_inserti128_si256(
                _mm256_castsi128_si256(
                    _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + offset[2 * j]))),
                _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + offset[2 * j + 1])), 1);
            value[j] = _mm256_shuffle_epi8(window, period.shuffle[j]);
        }
        for (int j = 0; j < kChunkPeriod; ++j, to += 32)
            StoreWindowAvx2<Rows, Mask, Inverts, Stream>(value[j], masks, out, past, to);
    }
    for (int k = first + periods * kChunkPeriod; k < chunks; ++k) {
        const int place = k == 0 || k == chunks - 1 ? at[k] : at[1] + (k - 1) * 32;
        StoreWindowAvx2<Rows, Mask, Inverts, Stream>(
            ShuffleLanesAvx2(source + base[2 * k], source + base[2 * k + 1], mask + k * 32), masks,
            out, past, place);
    }
}

// Every window from the tables: the first and the last where the row's ends put them, the
// others a window apart, their places counted rather than loaded.
template <int Rows, Masking Mask, bool Inverts, bool Stream>
inline void WriteTableRowsAvx2(const GatherTable& table, const WindowMasks& masks,
                               const std::uint8_t* source, std::uint8_t* const* out,
                               const bool* past) {
    const int chunks = table.chunks;
    const std::int32_t* base = table.base;
    const std::uint8_t* shuffle = table.mask;
    StoreWindowAvx2<Rows, Mask, Inverts, Stream>(
        ShuffleLanesAvx2(source + base[0], source + base[1], shuffle), masks, out, past,
        table.at[0]);
    if (chunks < 2)
        return;
    int to = table.at[1];
    for (int k = 1; k < chunks - 1; ++k, to += 32) {
        base += 2;
        shuffle += 32;
        StoreWindowAvx2<Rows, Mask, Inverts, Stream>(
            ShuffleLanesAvx2(source + base[0], source + base[1], shuffle), masks, out, past, to);
    }
    const int last = chunks - 1;
    StoreWindowAvx2<Rows, Mask, Inverts, Stream>(ShuffleLanesAvx2(source + table.base[2 * last],
                                                                  source + table.base[2 * last + 1],
                                                                  table.mask + last * 32),
                                                 masks, out, past, table.at[last]);
}

// A row of at least 32 bytes copied from one already in the cache.
inline void CopyRowAvx2(std::uint8_t* out, const std::uint8_t* row, int bytes) {
    int j = 0;
    for (; j + 32 <= bytes; j += 32)
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + j),
                            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(row + j)));
    if (j < bytes)
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + bytes - 32),
                            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(row + bytes - 32)));
}

// Rows with nothing drawn on them and nothing inverted, through the caches.
template <int Rows>
inline void WritePlainRowsAvx2(const GatherTable& table, const PeriodAvx2& period,
                               const std::uint8_t* source, std::uint8_t* const* out) {
    constexpr WindowMasks kNone{nullptr, nullptr, nullptr};
    constexpr bool kCached[Rows] = {};
    if (table.periods > 0)
        WritePeriodicRowsAvx2<Rows, Masking::None, false, false>(table, period, kNone, source, out,
                                                                 kCached);
    else
        WriteTableRowsAvx2<Rows, Masking::None, false, false>(table, kNone, source, out, kCached);
}

// As the widest kernels do it, with 32-byte windows: the table and the row pointers in
// registers, the inner windows' places counted, a table's periodic run written a period at a
// time. Kept out of line: inlined into the dispatch below, with every row count's loop in one
// function, the compiler kept the period's source pointer and lane offsets on the stack and
// read them again every period (1080p at zoom 2: 1.41 against 1.15 million instructions a
// paint).
template <int Rows, Masking Mask, bool Inverts, bool Stream>
LUPENTA_NOINLINE void MaskRowsAvx2N(const GatherTable& table, const PeriodAvx2& period,
                                    const RowMask& mask, const std::uint8_t* source,
                                    std::uint8_t* const* rows, const std::uint8_t* invert,
                                    unsigned streamRows) {
    std::uint8_t* out[Rows];
    __m256i flips[Rows];
    bool past[Rows];
    for (int r = 0; r < Rows; ++r) {
        out[r] = rows[r];
        flips[r] = _mm256_set1_epi8(static_cast<char>(invert[r]));
        past[r] = (streamRows >> r) & 1;
    }
    const WindowMasks masks{mask.keep, mask.flip, flips};
    if (table.periods > 0)
        WritePeriodicRowsAvx2<Rows, Mask, Inverts, Stream>(table, period, masks, source, out, past);
    else
        WriteTableRowsAvx2<Rows, Mask, Inverts, Stream>(table, masks, source, out, past);
}

template <Masking Mask, bool Inverts, bool Stream>
void WriteBlocksAvx2(const GatherTable& table, const PeriodAvx2& period, const RowMask& mask,
                     const std::uint8_t* source, std::uint8_t* const* rows,
                     const std::uint8_t* invert, int count, unsigned streamRows) {
    for (; count >= 8; count -= 8, rows += 8, invert += 8, streamRows >>= 8)
        MaskRowsAvx2N<8, Mask, Inverts, Stream>(table, period, mask, source, rows, invert,
                                                streamRows);
    switch (count) {
    case 7:
        return MaskRowsAvx2N<7, Mask, Inverts, Stream>(table, period, mask, source, rows, invert,
                                                       streamRows);
    case 6:
        return MaskRowsAvx2N<6, Mask, Inverts, Stream>(table, period, mask, source, rows, invert,
                                                       streamRows);
    case 5:
        return MaskRowsAvx2N<5, Mask, Inverts, Stream>(table, period, mask, source, rows, invert,
                                                       streamRows);
    case 4:
        return MaskRowsAvx2N<4, Mask, Inverts, Stream>(table, period, mask, source, rows, invert,
                                                       streamRows);
    case 3:
        return MaskRowsAvx2N<3, Mask, Inverts, Stream>(table, period, mask, source, rows, invert,
                                                       streamRows);
    case 2:
        return MaskRowsAvx2N<2, Mask, Inverts, Stream>(table, period, mask, source, rows, invert,
                                                       streamRows);
    case 1:
        return MaskRowsAvx2N<1, Mask, Inverts, Stream>(table, period, mask, source, rows, invert,
                                                       streamRows);
    default:
        return;
    }
}

template <Masking Mask, bool Inverts, bool Stream>
void MaskRowsAvx2For(const GatherTable& table, const RowMask& mask, const std::uint8_t* source,
                     std::uint8_t* const* rows, const std::uint8_t* invert, int count,
                     unsigned streamRows) {
    const PeriodAvx2 period = table.periods > 0 ? LoadPeriodAvx2(table) : PeriodAvx2{};
    WriteBlocksAvx2<Mask, Inverts, Stream>(table, period, mask, source, rows, invert, count,
                                           streamRows);
}

// A whole frame of masked cells, as MaskedCellsAvx2 writes it.
template <Masking Mask>
void MaskedCellsAvx2For(const GatherTable& table, const MaskedCells& frame) {
    const PeriodAvx2 period = table.periods > 0 ? LoadPeriodAvx2(table) : PeriodAvx2{};
    const PlainCells& cells = frame.cells;
    constexpr int kBlock = 8;
    std::uint8_t* out[kBlock];
    std::uint8_t invert[kBlock];
    int y = 0;
    for (int i = 0; y < cells.height; ++i) {
        const std::uint8_t* source = cells.sources[i];
        const int bottom = Fewer(y + (i == 0 ? cells.first : cells.zoom), cells.height);
        while (y < bottom) {
            int count = 0;
            bool inverts = false;
            for (; y < bottom && count < kBlock; ++y) {
                if (frame.skip[y])
                    continue;
                out[count] = cells.out + y * cells.stride;
                invert[count] = frame.invert[y];
                inverts |= frame.invert[y] != 0;
                ++count;
            }
            if (inverts)
                WriteBlocksAvx2<Mask, true, false>(table, period, frame.mask, source, out, invert,
                                                   count, 0);
            else
                WriteBlocksAvx2<Mask, false, false>(table, period, frame.mask, source, out, invert,
                                                    count, 0);
        }
    }
}

template <Masking Mask, bool Inverts>
void MaskRowsAvx2Streamed(const GatherTable& table, const RowMask& mask, const std::uint8_t* source,
                          std::uint8_t* const* rows, const std::uint8_t* invert, int count,
                          unsigned streamRows) {
    if (streamRows)
        MaskRowsAvx2For<Mask, Inverts, true>(table, mask, source, rows, invert, count, streamRows);
    else
        MaskRowsAvx2For<Mask, Inverts, false>(table, mask, source, rows, invert, count, 0);
}

inline __m256i BlendSixteen(const std::uint16_t* top, const std::uint16_t* bottom, __m256i weights,
                            __m256i bias) {
    const __m256i t0 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(top));
    const __m256i t1 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(bottom));
    const __m256i lo = _mm256_madd_epi16(_mm256_unpacklo_epi16(t0, t1), weights);
    const __m256i hi = _mm256_madd_epi16(_mm256_unpackhi_epi16(t0, t1), weights);
    return _mm256_packs_epi32(_mm256_srli_epi32(_mm256_add_epi32(lo, bias), 16),
                              _mm256_srli_epi32(_mm256_add_epi32(hi, bias), 16));
}

template <bool Stream>
void BlendAvx2Rows(const std::uint16_t* top, const std::uint16_t* bottom, int weight, int bytes,
                   std::uint8_t* out, const RowMask& mask) {
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

} // namespace

// Two groups at once, one per 128-bit lane.
void SmoothRowAvx2(const SmoothTable& table, const std::uint8_t* source, std::uint16_t* sums) {
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
    SmoothGroupsSsse3(table, source, sums, g);
}

void MaskRowsAvx2(const GatherTable& table, const RowMask& mask, const std::uint8_t* source,
                  std::uint8_t* const* rows, const std::uint8_t* invert, int count,
                  unsigned streamRows) {
    const bool inverts = !NoRowInverted(invert, count);
    const auto write = [&](auto masking) {
        constexpr Masking kMask = decltype(masking)::value;
        if (inverts)
            MaskRowsAvx2Streamed<kMask, true>(table, mask, source, rows, invert, count, streamRows);
        else
            MaskRowsAvx2Streamed<kMask, false>(table, mask, source, rows, invert, count,
                                               streamRows);
    };
    if (!mask.keep)
        write(std::integral_constant<Masking, Masking::None>{});
    else if (mask.keepsAll)
        write(std::integral_constant<Masking, Masking::Flip>{});
    else
        write(std::integral_constant<Masking, Masking::KeepAndFlip>{});
}

// The cells' rows in blocks of up to eight, each block's row count, mask and inversion
// dispatched here rather than by a call from the pipeline for every block (at zoom 2 the
// pipeline's walk and the dispatch cost about 300 instructions a block, 540 blocks at 1080p).
void MaskedCellsAvx2(const GatherTable& table, const MaskedCells& cells) {
    if (!cells.mask.keep)
        MaskedCellsAvx2For<Masking::None>(table, cells);
    else if (cells.mask.keepsAll)
        MaskedCellsAvx2For<Masking::Flip>(table, cells);
    else
        MaskedCellsAvx2For<Masking::KeepAndFlip>(table, cells);
}

// The cells' rows in blocks of up to eight, a tall cell's first row copied into the others,
// as PlainCellsVbmi does it.
void PlainCellsAvx2(const GatherTable& table, const PlainCells& cells) {
    // A table without a periodic run may be shorter than a period.
    const PeriodAvx2 period = table.periods > 0 ? LoadPeriodAvx2(table) : PeriodAvx2{};
    const int bytes = table.width * 3;
    constexpr int kBlock = 8;
    std::uint8_t* out[kBlock];
    int y = 0;
    for (int i = 0; y < cells.height; ++i) {
        const std::uint8_t* source = cells.sources[i];
        const int bottom = Fewer(y + (i == 0 ? cells.first : cells.zoom), cells.height);
        if (bottom - y >= kCopiedCell) {
            out[0] = cells.out + y * cells.stride;
            WritePlainRowsAvx2<1>(table, period, source, out);
            for (++y; y < bottom; ++y)
                CopyRowAvx2(cells.out + y * cells.stride, out[0], bytes);
            continue;
        }
        for (; y < bottom; y += kBlock) {
            const int count = Fewer(kBlock, bottom - y);
            for (int r = 0; r < count; ++r)
                out[r] = cells.out + (y + r) * cells.stride;
            switch (count) {
            case 8:
                WritePlainRowsAvx2<8>(table, period, source, out);
                break;
            case 7:
                WritePlainRowsAvx2<7>(table, period, source, out);
                break;
            case 6:
                WritePlainRowsAvx2<6>(table, period, source, out);
                break;
            case 5:
                WritePlainRowsAvx2<5>(table, period, source, out);
                break;
            case 4:
                WritePlainRowsAvx2<4>(table, period, source, out);
                break;
            case 3:
                WritePlainRowsAvx2<3>(table, period, source, out);
                break;
            case 2:
                WritePlainRowsAvx2<2>(table, period, source, out);
                break;
            default:
                WritePlainRowsAvx2<1>(table, period, source, out);
                break;
            }
        }
        y = bottom;
    }
}

void BlendAvx2(const std::uint16_t* top, const std::uint16_t* bottom, int weight, int bytes,
               std::uint8_t* out, const RowMask& mask) {
    BlendAvx2Rows<false>(top, bottom, weight, bytes, out, mask);
}

void BlendAvx2Stream(const std::uint16_t* top, const std::uint16_t* bottom, int weight, int bytes,
                     std::uint8_t* out, const RowMask& mask) {
    BlendAvx2Rows<true>(top, bottom, weight, bytes, out, mask);
}

// Eight pixels a step, four from each lane's load; each load reads four bytes past its
// pixels, so the SSSE3 kernel takes the last ten at most.
void WidenRowAvx2(const std::uint8_t* row, int width, std::uint8_t* out) {
    const __m256i spread =
        _mm256_setr_epi8(0, 1, 2, -128, 3, 4, 5, -128, 6, 7, 8, -128, 9, 10, 11, -128, 0, 1, 2,
                         -128, 3, 4, 5, -128, 6, 7, 8, -128, 9, 10, 11, -128);
    int x = 0;
    for (; x + 10 <= width; x += 8) {
        const std::uint8_t* from = row + x * 3;
        const __m256i pixels = _mm256_inserti128_si256(
            _mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(from))),
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + 12)), 1);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + x * 4),
                            _mm256_shuffle_epi8(pixels, spread));
    }
    WidenRowSsse3(row + x * 3, width - x, out + x * 4);
}

} // namespace lupenta::x86

#endif
