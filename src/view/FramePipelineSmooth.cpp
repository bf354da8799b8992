// The smooth path: each source row blended across once, each output row blended down from two.

#include "view/FramePipeline.h"

#include "view/FrameKernels.h"

#include <algorithm>

namespace lupenta {

// The taps of the unmirrored column each output byte shows; eight bytes reach at most four
// output pixels, so their source pixels and the ones after them fit in one 16-byte window.
void FramePipeline::BuildSmooth(int width, int sourceWidth, int zoom) {
    sumsRow_[0] = sumsRow_[1] = -1;
    const TableKey key{width, sourceWidth, zoom, flipH_};
    if (key == smoothKey_)
        return;
    smoothKey_ = key;
    const int bytes = width * 3;
    const int groups = (bytes + 7) / 8;
    const int window = kernels_->window;
    const bool wide = window == 64 && zoom >= 2;
    const int wideGroups = wide ? (bytes + window - 1) / window : 0;
    const std::size_t padded = static_cast<std::size_t>(std::max(groups * 8, wideGroups * window));
    smoothOffset_.resize(padded);
    smoothWeight_.resize(padded);
    for (int x = 0; x < width; ++x) {
        const SmoothTap tap = SmoothTapFor(flipH_ ? width - 1 - x : x, zoom, sourceWidth);
        for (int b = 0; b < 3; ++b) {
            smoothOffset_[static_cast<std::size_t>(x * 3 + b)] = tap.index * 3 + b;
            smoothWeight_[static_cast<std::size_t>(x * 3 + b)] =
                static_cast<std::int16_t>(tap.weight);
        }
    }
    for (std::size_t j = static_cast<std::size_t>(bytes); j < padded; ++j) {
        smoothOffset_[j] = smoothOffset_[static_cast<std::size_t>(bytes - 1)];
        smoothWeight_[j] = 0;
    }
    groupBase_.resize(static_cast<std::size_t>(groups));
    groupMask_.Place(static_cast<std::size_t>(groups) * 16, 0);
    for (int g = 0; g < groups; ++g) {
        const std::int32_t* offset = &smoothOffset_[static_cast<std::size_t>(g) * 8];
        const int first = *std::min_element(offset, offset + 8);
        groupBase_[static_cast<std::size_t>(g)] = first;
        std::uint8_t* mask = &groupMask_[static_cast<std::size_t>(g) * 16];
        for (int i = 0; i < 8; ++i) {
            mask[i * 2] = static_cast<std::uint8_t>(offset[i] - first);
            mask[i * 2 + 1] = 0x80;
        }
    }
    wideBase_.resize(static_cast<std::size_t>(wideGroups));
    wideMask_.Place(static_cast<std::size_t>(wideGroups) * 64, 0);
    for (int g = 0; g < wideGroups; ++g) {
        // Sixty-four output bytes reach at most 13 source pixels from zoom 2 up.
        const std::int32_t* offset = &smoothOffset_[static_cast<std::size_t>(g) * 64];
        const int first = *std::min_element(offset, offset + 64);
        wideBase_[static_cast<std::size_t>(g)] = first;
        for (int i = 0; i < 64; ++i)
            wideMask_[static_cast<std::size_t>(g) * 64 + static_cast<std::size_t>(i)] =
                static_cast<std::uint8_t>(offset[i] - first);
    }
    for (auto& sums : sums_)
        sums.resize(padded);
}

const std::uint16_t* FramePipeline::SumsFor(const Bitmap24& src, int row, int keep) {
    for (int s = 0; s < 2; ++s)
        if (sumsRow_[s] == row)
            return sums_[s].data();
    const int s = sumsRow_[0] == keep ? 1 : 0;
    const SmoothTable table{
        smoothOffset_.data(), smoothWeight_.data(), static_cast<int>(smoothOffset_.size()),
        groupBase_.data(),    groupMask_.data(),    static_cast<int>(groupBase_.size()),
        wideBase_.data(),     wideMask_.data(),     static_cast<int>(wideBase_.size())};
    kernels_->smoothRow(table, SourceRow(src, row), sums_[s].data());
    sumsRow_[s] = row;
    return sums_[s].data();
}

// Separable: each source row is blended across once, into 16-bit sums that keep every bit,
// and each output row blends two of those down.
void FramePipeline::SmoothRows(const Bitmap24& src, Bitmap24& dst, int width, int height,
                               int zoom) {
    BuildSmooth(width, src.Width(), zoom);
    const int bytes = width * 3;
    // Blending a row takes long enough for the streamed rows before it to drain, so a large
    // frame goes past the caches whole: keeping half of a 4K frame in them made smoothing 10 to
    // 16% slower.
    const Streaming streaming = PlanStreaming(src, dst, height, 0, 0);
    const bool streamDirect = kernels_->streamBlend && WindowsFill(width, dst, 64);
    std::uint8_t* row = RowBuffer(0, bytes, dst.Row(0));
    for (int line = 0; line < height; ++line) {
        const int y = flipV_ ? height - 1 - line : line;
        const SmoothTap tap = SmoothTapFor(y, zoom, src.Height());
        const int next = std::min(tap.index + 1, src.Height() - 1);
        const std::uint16_t* top = SumsFor(src, tap.index, next);
        const std::uint16_t* bottom = tap.weight == 0 ? top : SumsFor(src, next, tap.index);
        std::uint8_t* out = dst.Row(line);
        const bool edited = overlays_ && RowHasEdits(y);
        const bool stream = streaming.Row(line);
        if (stream && streamDirect && !edited) {
            kernels_->streamBlend(top, bottom, tap.weight, bytes, out, MaskFor(y));
            continue;
        }
        // Blending straight into the frame writes each line once; past the caches a row that
        // is edited after blending goes through a row in cache first.
        std::uint8_t* target = stream ? row : out;
        kernels_->blend(top, bottom, tap.weight, bytes, target, MaskFor(y));
        if (edited)
            ApplyRowEdits(target, y);
        if (stream)
            kernels_->stream(out, row, bytes);
    }
    if (streaming.Any())
        kernels_->fence();
}

} // namespace lupenta
