// Kernels for processors with AVX-512 VBMI, compiled for AVX-512F, BW and VBMI.

#include "view/FrameKernelsX86.h"

#if LUPENTA_X86_KERNELS

#include <immintrin.h>

namespace lupenta::x86 {

namespace {

// How a window's bytes are made: a plain shuffle of the source, or one that also takes the pen
// colour or the complement of a source byte where the table marks it.
enum class Marking { Plain, Colour, Complement };

// One window of the row shuffled, marked and stored into every row, each with its own
// inversion; plain windows are never inverted.
template <int Rows, Marking Marks, bool Stream>
inline void MarkWindowVbmi(const std::uint8_t* from, const std::uint8_t* shuffle, __m512i colour,
                           std::uint8_t* const* out, const __m512i* flip, const bool* past,
                           int to) {
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

inline PeriodVbmi LoadPeriodVbmi(const GatherTable& table) {
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
inline void WritePlainChunkVbmi(int k, int chunks, const std::int32_t* at, const std::int32_t* base,
                                const std::uint8_t* mask, const std::uint8_t* source,
                                std::uint8_t* const* out, const bool* past) {
    const int to = k == 0 || k == chunks - 1 ? at[k] : at[1] + (k - 1) * 64;
    MarkWindowVbmi<Rows, Marking::Plain, Stream>(source + base[k], mask + k * 64, __m512i{}, out,
                                                 nullptr, past, to);
}

// A plain row whose chunks repeat every period: the run is shuffled with its masks held in
// registers, a period at a time, each reading the source `advance` bytes further on than the
// one before, and only the chunks outside it are read from the tables. Reading each chunk's
// mask and source place from the tables made 1080p paints 6 to 8% slower.
template <int Rows, bool Stream>
inline void WritePlainRowsVbmi(const GatherTable& table, const PeriodVbmi& period,
                               const std::uint8_t* source, std::uint8_t* const* out,
                               const bool* past) {
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
void MarkRowsVbmiN(const GatherTable& table, const RowMarks& marks, const std::uint8_t* source,
                   std::uint8_t* const* rows, const std::uint8_t* invert, unsigned streamRows) {
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
void MarkRowsVbmiFor(const GatherTable& table, const RowMarks& marks, const std::uint8_t* source,
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
void MarkRowsVbmiAs(const GatherTable& table, const RowMarks& marks, const std::uint8_t* source,
                    std::uint8_t* const* rows, const std::uint8_t* invert, int count,
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

// Four groups at once, each in its own 128-bit lane with its own source window, as the
// byte shuffle works within lanes.
void SmoothRowAvx512(const SmoothTable& table, const std::uint8_t* source, std::uint16_t* sums) {
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
    SmoothGroupsSsse3(table, source, sums, g);
}

inline void SmoothWideHalf(__m256i taps0, __m256i taps1, const std::int16_t* weight,
                           std::uint16_t* sums) {
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
inline void SmoothWideGroup(const SmoothTable& table, const std::uint8_t* source,
                            std::uint16_t* sums, int g) {
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

inline __m512i BlendThirtyTwo(const std::uint16_t* top, const std::uint16_t* bottom,
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
void BlendAvx512Rows(const std::uint16_t* top, const std::uint16_t* bottom, int weight, int bytes,
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

} // namespace

// Twenty-one output pixels per chunk out of a 64-byte window; the 64th byte is overwritten by
// the next chunk.
void GatherVbmi(const GatherTable& table, const std::uint8_t* source, std::uint8_t* out,
                const RowMask& mask) {
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

void MarkRowsVbmi(const GatherTable& table, const RowMarks& marks, const std::uint8_t* source,
                  std::uint8_t* const* rows, const std::uint8_t* invert, int count,
                  unsigned streamRows) {
    if (streamRows)
        MarkRowsVbmiAs<true>(table, marks, source, rows, invert, count, streamRows);
    else
        MarkRowsVbmiAs<false>(table, marks, source, rows, invert, count, 0);
}

// The cells' rows in blocks of up to eight, each block with its own row count as a template
// argument, as MarkRowsVbmiFor does it; a tall cell's first row is built and copied into the
// others.
void PlainCellsVbmi(const GatherTable& table, const PlainCells& cells) {
    // A table without a periodic run may be shorter than a period.
    const PeriodVbmi period = table.periods > 0 ? LoadPeriodVbmi(table) : PeriodVbmi{};
    const int bytes = table.width * 3;
    constexpr int kBlock = 8;
    const bool cached[kBlock] = {};
    std::uint8_t* out[kBlock];
    int y = 0;
    for (int i = 0; y < cells.height; ++i) {
        const std::uint8_t* source = cells.sources[i];
        const int bottom = Fewer(y + (i == 0 ? cells.first : cells.zoom), cells.height);
        if (bottom - y >= kCopiedCell) {
            out[0] = cells.out + y * cells.stride;
            WritePlainRowsVbmi<1, false>(table, period, source, out, cached);
            for (++y; y < bottom; ++y)
                CopyAvx512(cells.out + y * cells.stride, out[0], bytes);
            continue;
        }
        for (; y < bottom; y += kBlock) {
            const int count = Fewer(kBlock, bottom - y);
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

void SmoothRowVbmi(const SmoothTable& table, const std::uint8_t* source, std::uint16_t* sums) {
    if (table.wideGroups == 0) {
        SmoothRowAvx512(table, source, sums);
        return;
    }
    for (int g = 0; g < table.wideGroups; ++g)
        SmoothWideGroup(table, source, sums, g);
}

void BlendAvx512(const std::uint16_t* top, const std::uint16_t* bottom, int weight, int bytes,
                 std::uint8_t* out, const RowMask& mask) {
    BlendAvx512Rows<false>(top, bottom, weight, bytes, out, mask);
}

void BlendAvx512Stream(const std::uint16_t* top, const std::uint16_t* bottom, int weight, int bytes,
                       std::uint8_t* out, const RowMask& mask) {
    BlendAvx512Rows<true>(top, bottom, weight, bytes, out, mask);
}

} // namespace lupenta::x86

#endif
