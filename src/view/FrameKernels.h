#pragma once

// The inner loops of the frame pipeline, one set per instruction set. The tables they read are
// built by the pipeline; the portable set reads only the per-pixel and per-byte ones, the
// vector sets the per-window ones. Sources carry at least kSourceSlack readable bytes past
// their last pixel, and gather outputs kGatherSlack writable bytes.

#include <cstddef>
#include <cstdint>

namespace lupenta {

constexpr int kSourceSlack = 96;
constexpr int kGatherSlack = 96;

struct GatherTable {
    const std::int32_t* index; // output pixel x takes source pixel index[x]
    int width;
    // (window - 1) / 3 output pixels per chunk, shuffled out of `window` source bytes
    // starting at base[k].
    const std::int32_t* base;
    const std::uint8_t* mask; // `window` bytes per chunk
    int chunks;
    // Where each chunk goes in the output row, for the kernels that write rows straight into
    // the frame: a full `window` bytes at each, all inside the row, and every chunk but the
    // first and the last `window` bytes after the one before. Null puts chunk k at
    // k * ((window - 1) / 3) pixels.
    const std::int32_t* at = nullptr;
    // For a whole-window table: `periods` runs of kChunkPeriod chunks from chunk `periodFrom`
    // on, each a window after the one before, repeat the first run, each shuffled as the chunk
    // a run before out of the source `advance` bytes further on. None when `periods` is 0.
    int periodFrom = 0;
    int periods = 0;
    std::int32_t advance = 0;
};

// A plain cell at least this many rows tall has its first row built and copied into the others:
// a row copied from the cache costs about what writing one from a register does, while
// building it reads a table or the source for every window. At 1080p (alternating with the
// blocks of eight rows) zoom 20 went from 91.5 to 83 us, 24 from 88.6 to 82.5, 32 from 81.5 to
// 76 and 40 from 85 to 78; 16 moved within the noise (+-3%) and 12 was 4% slower.
constexpr int kCopiedCell = 16;

// Three 64-byte chunks are 64 pixels, whole source pixels at any zoom that divides 64 (three
// 32-byte ones at any that divides 32). Longer periods (9 chunks at zoom 3, 15 at zoom 40)
// held in registers made paints slower.
constexpr int kChunkPeriod = 3;

struct SmoothTable {
    // Output byte j blends source byte offset[j] with the byte 3 further on (the next pixel)
    // by weight[j] / 256.
    const std::int32_t* offset;
    const std::int16_t* weight;
    int bytes;
    // Eight output bytes per group, shuffled out of 16 source bytes starting at base[g].
    const std::int32_t* base;
    const std::uint8_t* mask; // 16 bytes per group: offset and 0x80 for each output byte
    int groups;
    // Sixty-four output bytes per group, shuffled out of the 64 source bytes starting at
    // wideBase[g], for the kernels with a 64-byte window; none where a group reaches further.
    // `offset` and `weight` then run on to the end of the last group.
    const std::int32_t* wideBase = nullptr;
    const std::uint8_t* wideMask = nullptr; // 64 bytes per group: each output byte's offset
    int wideGroups = 0;
};

// What every output row gets after scaling: byte j becomes (b & keep[j]) ^ flip[j]. It carries
// the vertical grid lines and inversion; a null `keep` means the row is taken as it is. Both
// rows have kGatherSlack bytes past the row's end.
struct RowMask {
    const std::uint8_t* keep = nullptr;
    const std::uint8_t* flip = nullptr;
    bool keepsAll = false; // every byte of `keep` is 0xFF, so only `flip` changes the row
};

// The grid's columns, folded into a whole-window table: a shuffle index of 64 + i takes byte i
// of the pen colour (blue, green, red) instead of a source byte, or with `complement` the
// complement of the window's byte i. Applying a mask to every byte would cost two more loads
// for each store.
struct RowMarks {
    bool marked = false; // some index of the table is 64 or more
    bool complement = false;
    std::uint8_t colour[3] = {0, 0, 0};
};

// A whole frame of plain cells, top to bottom: cell i shows source row sources[i] in its
// rows, `first` rows in the first cell (fewer than `zoom` when a mirrored frame cuts it), then
// `zoom` rows each until `height`. Nothing is marked or inverted, and every row goes through
// the caches.
struct PlainCells {
    const std::uint8_t* const* sources;
    std::uint8_t* out; // the frame's top row
    std::ptrdiff_t stride;
    int zoom;
    int first;
    int height;
};

// A whole frame of cells with overlays, through the caches: as PlainCells, each row masked by
// `mask` and XORed with invert[y], and row y (counted down the frame) left alone where skip[y]
// is set.
struct MaskedCells {
    PlainCells cells;
    RowMask mask;
    const std::uint8_t* invert;
    const std::uint8_t* skip;
};

struct FrameKernels {
    const char* name;
    int window; // bytes a gather chunk shuffles from
    void (*gather)(const GatherTable& table, const std::uint8_t* source, std::uint8_t* out,
                   const RowMask& mask);
    // One source row blended across: sums[j] = (c0 * (256 - w) + c1 * w) ^ 0x8000, so a
    // signed 16-bit multiply-add can take it on.
    void (*smoothRow)(const SmoothTable& table, const std::uint8_t* source, std::uint16_t* sums);
    // Two rows of sums blended down, (t0 * (256 - w) + t1 * w + 32768) >> 16, then masked.
    void (*blend)(const std::uint16_t* top, const std::uint16_t* bottom, int weight, int bytes,
                  std::uint8_t* out, const RowMask& mask);
    // Writes a finished row into the frame.
    void (*copy)(std::uint8_t* out, const std::uint8_t* row, int bytes);
    // Writes a finished row past the caches, for frames too large to stay in them; fence()
    // orders those writes before anyone reads the frame.
    void (*stream)(std::uint8_t* out, const std::uint8_t* row, int bytes);
    void (*fence)();
    // The gathered, masked row written straight into each of `count` frame rows, touching no
    // byte past the row's end; null where the set has none and the row goes through a buffer.
    void (*gatherRows)(const GatherTable& table, const std::uint8_t* source,
                       std::uint8_t* const* rows, int count, const RowMask& mask) = nullptr;
    // The same for a table of whole windows (`at` set) that marks bytes itself, see RowMarks;
    // row r gets every byte XORed with invert[r]. Row r goes past the caches when bit r of
    // `streamRows` is set (fence() follows); every window must then fill a cache line of the
    // frame. Null where the set has none.
    void (*markRows)(const GatherTable& table, const RowMarks& marks, const std::uint8_t* source,
                     std::uint8_t* const* rows, const std::uint8_t* invert, int count,
                     unsigned streamRows) = nullptr;
    // blend() written past the caches, for a row that starts on a cache line and is a whole
    // number of lines long; fence() follows. Null where the set has none.
    void (*streamBlend)(const std::uint16_t* top, const std::uint16_t* bottom, int weight,
                        int bytes, std::uint8_t* out, const RowMask& mask) = nullptr;
    // The set's window kernel (markRows or maskRows, through the table it takes) for a whole
    // frame of plain cells: a periodic run's masks are set up once for the frame instead of
    // once for every block of rows, and a tall cell's first row is copied into the others.
    // Null where the set has none.
    void (*plainCells)(const GatherTable& table, const PlainCells& cells) = nullptr;
    // Rows straight into the frame from a table of whole 32-byte windows (`at` set) of two
    // 16-byte lanes: lane l of chunk k is shuffled out of the 16 source bytes at base[2k + l].
    // Bytes are masked by `mask` (a null one takes them as they are), then row r has every
    // byte XORed with invert[r]; `streamRows` as for markRows. Null where the set has none.
    void (*maskRows)(const GatherTable& table, const RowMask& mask, const std::uint8_t* source,
                     std::uint8_t* const* rows, const std::uint8_t* invert, int count,
                     unsigned streamRows) = nullptr;
    // maskRows for a whole frame, see MaskedCells. Null where the set has none.
    void (*maskedCells)(const GatherTable& table, const MaskedCells& cells) = nullptr;
    // A row of `width` pixels widened to the screen's 32-bit layout (blue, green, red, 0),
    // reading and writing nothing past either row. Null where the set has none.
    void (*widenRow)(const std::uint8_t* row, int width, std::uint8_t* out) = nullptr;
};

enum class KernelSet { Best, Portable, Sse2, Ssse3, Avx2, Avx512, Avx512Vbmi };

// The set asked for, or with Best the fastest the processor runs; the portable one when the
// processor or the build lacks the set.
const FrameKernels& ChooseFrameKernels(KernelSet set);

const FrameKernels& PortableFrameKernels();
// Null when the machine lacks the instruction set or the build has no vector code.
const FrameKernels* Sse2FrameKernels();
const FrameKernels* Ssse3FrameKernels();
const FrameKernels* Avx2FrameKernels();
const FrameKernels* Avx512FrameKernels();
const FrameKernels* Avx512VbmiFrameKernels();

} // namespace lupenta
