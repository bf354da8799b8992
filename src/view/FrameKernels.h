#pragma once

// The inner loops of the frame pipeline, one set per instruction set. The tables they read are
// built by the pipeline; the portable set reads only the per-pixel and per-byte ones, the
// vector sets the per-window ones. Sources carry at least kSourceSlack readable bytes past
// their last pixel, and gather outputs kGatherSlack writable bytes.

#include <cstdint>

namespace lupenta {

constexpr int kSourceSlack = 32;
constexpr int kGatherSlack = 32;

struct GatherTable {
    const std::int32_t* index; // output pixel x takes source pixel index[x]
    int width;
    // Five output pixels per chunk, shuffled out of 16 source bytes starting at base[k].
    const std::int32_t* base;
    const std::uint8_t* mask; // 16 bytes per chunk
    int chunks;
};

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
};

struct FrameKernels {
    const char* name;
    // out = the gathered pixels, each byte xor `mask`.
    void (*gather)(const GatherTable& table, const std::uint8_t* source, std::uint8_t* out,
                   std::uint8_t mask);
    // One source row blended across: sums[j] = (c0 * (256 - w) + c1 * w) ^ 0x8000, so a
    // signed 16-bit multiply-add can take it on.
    void (*smoothRow)(const SmoothTable& table, const std::uint8_t* source, std::uint16_t* sums);
    // Two rows of sums blended down: (t0 * (256 - w) + t1 * w + 32768) >> 16, xor `mask`.
    void (*blend)(const std::uint16_t* top, const std::uint16_t* bottom, int weight, int bytes,
                  std::uint8_t* out, std::uint8_t mask);
    // Writes a finished row past the caches, for frames too large to stay in them; fence()
    // orders those writes before anyone reads the frame.
    void (*stream)(std::uint8_t* out, const std::uint8_t* row, int bytes);
    void (*fence)();
};

const FrameKernels& PortableFrameKernels();
// Null when the machine lacks the instruction set or the build has no vector code.
const FrameKernels* Sse2FrameKernels();
const FrameKernels* Ssse3FrameKernels();
const FrameKernels* Avx2FrameKernels();

} // namespace lupenta
