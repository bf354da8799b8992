#include "view/FrameKernels.h"

#include <cstring>

namespace lupenta {

namespace {

void GatherPortable(const GatherTable& table, const std::uint8_t* source, std::uint8_t* out,
                    const RowMask& mask) {
    for (int x = 0; x < table.width; ++x)
        std::memcpy(out + x * 3, source + table.index[x] * 3, 3);
    if (mask.keep)
        for (int j = 0; j < table.width * 3; ++j)
            out[j] = static_cast<std::uint8_t>((out[j] & mask.keep[j]) ^ mask.flip[j]);
}

void SmoothRowPortable(const SmoothTable& table, const std::uint8_t* source, std::uint16_t* sums) {
    for (int j = 0; j < table.bytes; ++j) {
        const std::uint8_t* p = source + table.offset[j];
        const int w = table.weight[j];
        sums[j] = static_cast<std::uint16_t>((p[0] * (256 - w) + p[3] * w) ^ 0x8000);
    }
}

void BlendPortable(const std::uint16_t* top, const std::uint16_t* bottom, int weight, int bytes,
                   std::uint8_t* out, const RowMask& mask) {
    for (int j = 0; j < bytes; ++j) {
        const int t0 = top[j] ^ 0x8000;
        const int t1 = bottom[j] ^ 0x8000;
        out[j] = static_cast<std::uint8_t>((t0 * (256 - weight) + t1 * weight + 32768) >> 16);
    }
    if (mask.keep)
        for (int j = 0; j < bytes; ++j)
            out[j] = static_cast<std::uint8_t>((out[j] & mask.keep[j]) ^ mask.flip[j]);
}

void CopyPortable(std::uint8_t* out, const std::uint8_t* row, int bytes) {
    std::memcpy(out, row, static_cast<std::size_t>(bytes));
}

void FencePortable() {}

void WidenRowPortable(const std::uint8_t* row, int width, std::uint8_t* out) {
    for (int x = 0; x < width; ++x, row += 3, out += 4) {
        out[0] = row[0];
        out[1] = row[1];
        out[2] = row[2];
        out[3] = 0;
    }
}

} // namespace

const FrameKernels& PortableFrameKernels() {
    static const FrameKernels kernels{.name = "portable",
                                      .window = 16,
                                      .gather = GatherPortable,
                                      .smoothRow = SmoothRowPortable,
                                      .blend = BlendPortable,
                                      .copy = CopyPortable,
                                      .stream = CopyPortable,
                                      .fence = FencePortable,
                                      .widenRow = WidenRowPortable};
    return kernels;
}

} // namespace lupenta
