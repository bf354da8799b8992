// Kernels for processors with SSSE3, compiled for that instruction set.

#include "view/FrameKernelsX86.h"

#if LUPENTA_X86_KERNELS

#include <immintrin.h>

namespace lupenta::x86 {

namespace {

inline __m128i ShuffleChunkSsse3(const std::uint8_t* from, const std::uint8_t* shuffle) {
    return _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(from)),
                            _mm_loadu_si128(reinterpret_cast<const __m128i*>(shuffle)));
}

inline __m128i GatherChunk(const GatherTable& table, const std::uint8_t* source, int k) {
    const __m128i window =
        _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + table.base[k]));
    const __m128i shuffle = _mm_loadu_si128(reinterpret_cast<const __m128i*>(table.mask + k * 16));
    return _mm_shuffle_epi8(window, shuffle);
}

// Straight into the frame, so there is no row buffer to read back while its stores are still
// on their way; the last chunks go through a small buffer to stop at the row's end. The table
// is read into locals and the row count is a template argument, as the byte stores could
// alias anything and the row pointers belong in registers.
template <int Rows>
void GatherRowsSsse3N(const GatherTable& table, const std::uint8_t* source,
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

// The shuffle's zeroing bytes are 0x80; adding 3 to each lane leaves them zeroing and moves
// every index on to the same byte of the next pixel.
inline void SmoothGroupSsse3(const SmoothTable& table, const std::uint8_t* source,
                             std::uint16_t* sums, int g) {
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

} // namespace

// Sixteen bytes go out per chunk but only fifteen count: the next chunk overwrites the last.
void GatherSsse3(const GatherTable& table, const std::uint8_t* source, std::uint8_t* out,
                 const RowMask& mask) {
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

void GatherRowsSsse3(const GatherTable& table, const std::uint8_t* source,
                     std::uint8_t* const* rows, int count, const RowMask& mask) {
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

void SmoothRowSsse3(const SmoothTable& table, const std::uint8_t* source, std::uint16_t* sums) {
    SmoothGroupsSsse3(table, source, sums, 0);
}

void SmoothGroupsSsse3(const SmoothTable& table, const std::uint8_t* source, std::uint16_t* sums,
                       int from) {
    for (int g = from; g < table.groups; ++g)
        SmoothGroupSsse3(table, source, sums, g);
}

// Four pixels a load; a load reads 16 bytes for their 12, so the last pixels, up to five,
// are widened one at a time rather than read past the row.
void WidenRowSsse3(const std::uint8_t* row, int width, std::uint8_t* out) {
    const __m128i spread =
        _mm_setr_epi8(0, 1, 2, -128, 3, 4, 5, -128, 6, 7, 8, -128, 9, 10, 11, -128);
    int x = 0;
    for (; x + 6 <= width; x += 4)
        _mm_storeu_si128(
            reinterpret_cast<__m128i*>(out + x * 4),
            _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(row + x * 3)),
                             spread));
    for (; x < width; ++x) {
        out[x * 4] = row[x * 3];
        out[x * 4 + 1] = row[x * 3 + 1];
        out[x * 4 + 2] = row[x * 3 + 2];
        out[x * 4 + 3] = 0;
    }
}

} // namespace lupenta::x86

#endif
