// Running a paint: the frame written cell by cell through the kernels, rows through or past
// the caches.

#include "view/FramePipeline.h"

#include "view/CacheSize.h"
#include "view/FrameKernels.h"

#include <algorithm>
#include <cstring>

namespace lupenta {

namespace {

// A frame that fits the last-level cache beside its source is written faster through the
// caches. Of a larger one (a 4K frame is 25 MB) as many rows go through them as fit two fifths
// of the cache beside the source, and the others past them: writing past the caches saves
// reading each line before overwriting it, and where a kernel writes a cell's rows window by
// window the two ways run side by side. A 4K frame written half each way took 55% of the
// time it took wholly past the caches, and caching more of it than that was slower again.
constexpr std::size_t kDefaultStreamThreshold = std::size_t{16} << 20;

// A processor that describes no caches is taken to have a last-level cache of this size, the
// size the split above was measured on. Virtual machines may hide the description (one gave
// none in the leaves we read, and 508 MB of L3 in the older one); with no budget at all every
// row of a 4K frame went past the caches, and scaling took 1.35 to 1.6 times a memset of the
// frame, against 0.9 to 1.3 times with this one.
constexpr std::size_t kAssumedLastLevelCache = std::size_t{32} << 20;

std::size_t DefaultCacheBudget() {
    const std::size_t reported = LastLevelCacheBytes();
    return (reported > 0 ? reported : kAssumedLastLevelCache) / 5 * 2;
}

bool DisplayIsFrame(const Bitmap24& dst, const OverlayInput& in) {
    return in.displayWidth == dst.Width() && in.displayHeight == dst.Height() && in.zoom >= 1;
}

} // namespace

void ScaleZoomedReference(const Bitmap24& src, Bitmap24& dst, const ZoomedPaint& paint) {
    if (paint.smooth)
        ScaleSmooth(src, dst, paint.overlay.zoom);
    else
        ScaleReplicate(src, dst, paint.overlay.zoom);
}

void FinishZoomedReference(Bitmap24& dst, Pen& pen, const ZoomedPaint& paint) {
    const bool gridDrawn = DrawGridLines(dst, pen, paint.overlay);
    if (paint.drawCross)
        DrawCrosshair(dst, pen, gridDrawn, paint.overlay);
    if (paint.flipHorizontal)
        MirrorLeftRight(dst);
    if (paint.flipVertical)
        MirrorTopBottom(dst);
    if (paint.invert)
        InvertFrame(dst);
}

void RenderZoomedReference(const Bitmap24& src, Bitmap24& dst, Pen& pen, const ZoomedPaint& paint) {
    ScaleZoomedReference(src, dst, paint);
    FinishZoomedReference(dst, pen, paint);
}

FramePipeline::FramePipeline(KernelSet set)
    : kernels_(&ChooseFrameKernels(set)), streamThreshold_(kDefaultStreamThreshold),
      cacheBudget_(DefaultCacheBudget()) {}

void FramePipeline::SetStreaming(std::size_t threshold, std::size_t cacheBudget) {
    streamThreshold_ = threshold;
    cacheBudget_ = cacheBudget;
}

bool FramePipeline::Streaming::Row(int out) const {
    const auto spread = [&](int y) { return static_cast<long long>(y) * streamed / height; };
    return spread(out + 1) > spread(out);
}

// Which of the `height` rows a paint writes go past the caches, when it reads `sourceRows`
// rows of `src` and may keep `cacheBudget` bytes in the caches.
FramePipeline::Streaming FramePipeline::PlanStreaming(const Bitmap24& src, const Bitmap24& dst,
                                                      int height, int sourceRows,
                                                      std::size_t cacheBudget) const {
    const std::size_t frame = static_cast<std::size_t>(dst.Stride()) * dst.Height();
    if (frame < streamThreshold_ || height <= 0)
        return {};
    const std::size_t source =
        static_cast<std::size_t>(src.Stride()) * static_cast<std::size_t>(sourceRows);
    const std::size_t cached = cacheBudget > source ? cacheBudget - source : 0;
    const std::size_t cachedRows = cached / static_cast<std::size_t>(dst.Stride());
    const int streamed =
        cachedRows >= static_cast<std::size_t>(height) ? 0 : height - static_cast<int>(cachedRows);
    return {streamed, height};
}

unsigned FramePipeline::StreamedRows(const Streaming& streaming, const int* ys, int count) const {
    unsigned bits = 0;
    if (!streaming.Any())
        return bits;
    for (int r = 0; r < count; ++r)
        if (streaming.Row(flipV_ ? streaming.height - 1 - ys[r] : ys[r]))
            bits |= 1u << r;
    return bits;
}

const char* FramePipeline::KernelName() const {
    return kernels_->name;
}

void FramePipeline::Render(const Bitmap24& src, Bitmap24& dst, Pen& pen, const ZoomedPaint& paint) {
    if (!DisplayIsFrame(dst, paint.overlay)) {
        RenderZoomedReference(src, dst, pen, paint);
        return;
    }
    PlanOverlays(pen, paint, dst);
    if (dst.Empty())
        return;
    const int zoom = paint.overlay.zoom;
    const bool covered = src.Width() * zoom >= dst.Width() && src.Height() * zoom >= dst.Height();
    if (!covered) {
        // Whatever the scaling leaves untouched still gets mirrored, so it has to be read back.
        Scale(src, dst, paint);
        TransformRows(dst);
        return;
    }
    if (paint.smooth)
        SmoothRows(src, dst, dst.Width(), dst.Height(), zoom);
    else
        ReplicateRows(src, dst, dst.Width(), dst.Height(), zoom);
}

void FramePipeline::Scale(const Bitmap24& src, Bitmap24& dst, const ZoomedPaint& paint) {
    const int zoom = paint.overlay.zoom;
    if (zoom < 1) {
        ScaleZoomedReference(src, dst, paint);
        return;
    }
    const int width = std::min(dst.Width(), src.Width() * zoom);
    const int height = std::min(dst.Height(), src.Height() * zoom);
    if (width <= 0 || height <= 0)
        return;
    const bool flipH = flipH_, flipV = flipV_, overlays = overlays_, masked = masked_;
    flipH_ = flipV_ = overlays_ = masked_ = false;
    if (paint.smooth)
        SmoothRows(src, dst, width, height, zoom);
    else
        ReplicateRows(src, dst, width, height, zoom);
    flipH_ = flipH;
    flipV_ = flipV;
    overlays_ = overlays;
    masked_ = masked;
}

void FramePipeline::Finish(Bitmap24& dst, Pen& pen, const ZoomedPaint& paint) {
    if (!DisplayIsFrame(dst, paint.overlay)) {
        FinishZoomedReference(dst, pen, paint);
        return;
    }
    PlanOverlays(pen, paint, dst);
    // With nothing drawn, inverted or mirrored the scaled frame is already finished, and a
    // pass over it would only copy every row onto itself.
    if (!dst.Empty() && (!plain_ || flipH_ || flipV_))
        TransformRows(dst);
}

// A source row is read in place when the frame's own bytes after it cover the kernels' reach.
const std::uint8_t* FramePipeline::SourceRow(const Bitmap24& src, int row) {
    const int bytes = src.Width() * 3;
    const std::size_t end = static_cast<std::size_t>(src.Stride()) * src.Height();
    if (static_cast<std::size_t>(row) * src.Stride() + bytes + kSourceSlack <= end)
        return src.Row(row);
    return LoadSource(src.Row(row), bytes);
}

const std::uint8_t* FramePipeline::LoadSource(const std::uint8_t* row, int bytes) {
    source_.resize(static_cast<std::size_t>(bytes) + kSourceSlack);
    std::memcpy(source_.data(), row, static_cast<std::size_t>(bytes));
    return source_.data();
}

// Placed at the same offset within a cache line as the frame's rows, so copying a row out
// never splits a load across two lines.
std::uint8_t* FramePipeline::RowBuffer(int which, int bytes, const std::uint8_t* like) {
    return rows_[which].Place(static_cast<std::size_t>(bytes) + kGatherSlack, LinePhase(like));
}

void FramePipeline::WriteRow(Bitmap24& dst, int y, const std::uint8_t* row, int bytes,
                             bool stream) {
    if (stream)
        kernels_->stream(dst.Row(y), row, bytes);
    else
        kernels_->copy(dst.Row(y), row, bytes);
}

// Every output row of a source row's cell is the same but for the overlays, so each cell's
// rows are handed to `write` together with the cell's source row, in blocks; the rows' edits
// follow. The frame is written from the top down even when mirrored, the source then being read
// from the bottom up: the frame is the larger stream, and a descending one made a mirrored
// two-times paint 10% slower.
template <typename Write>
void FramePipeline::ForEachCellBlock(const Bitmap24& src, Bitmap24& dst, int height, int zoom,
                                     Write write) {
    std::uint8_t* rows[kRowsPerGather];
    int ys[kRowsPerGather];
    const int cells = (height + zoom - 1) / zoom;
    for (int i = 0; i < cells; ++i) {
        const int cell = flipV_ ? cells - 1 - i : i;
        const int top = cell * zoom;
        const int bottom = std::min(top + zoom, height);
        const int first = flipV_ ? height - bottom : top;
        const int last = flipV_ ? height - top : bottom;
        const std::uint8_t* source = SourceRow(src, cell);
        for (int from = first; from < last; from += kRowsPerGather) {
            const int to = std::min(from + kRowsPerGather, last);
            int count = 0;
            for (int out = from; out < to; ++out) {
                const int y = flipV_ ? height - 1 - out : out;
                if (CoveredByGrid(y))
                    continue;
                rows[count] = dst.Row(out);
                ys[count++] = y;
            }
            if (count > 0)
                write(cell, source, rows, ys, count);
            if (!overlays_)
                continue;
            for (int out = from; out < to; ++out) {
                const int y = flipV_ ? height - 1 - out : out;
                if (RowHasEdits(y))
                    ApplyRowEdits(dst.Row(out), y);
            }
        }
    }
}

void FramePipeline::ReplicateRows(const Bitmap24& src, Bitmap24& dst, int width, int height,
                                  int zoom) {
    BuildGather(width, zoom);
    const Streaming streaming =
        PlanStreaming(src, dst, height, (height + zoom - 1) / zoom, cacheBudget_);
    const bool stream = streaming.Any();
    if (kernels_->markRows && BuildWindows(width, zoom, dst, 64, 64) &&
        (!stream || WindowsFill(width, dst, 64)))
        MarkRows(src, dst, width, height, zoom, streaming);
    else if (kernels_->maskRows && BuildWindows(width, zoom, dst, 32, 16) &&
             (!stream || WindowsFill(width, dst, 32)))
        MaskRows(src, dst, width, height, zoom, streaming);
    else if (stream)
        StreamRows(src, dst, width, height, zoom);
    else
        GatherRows(src, dst, width, height, zoom);
}

// Frames too large for the caches go past them, from a row built in cache; the frame is
// written top to bottom even when mirrored, which the caches take best. Rows are written one
// at a time here, so the two ways of writing would not run side by side: keeping half the rows
// in the caches made 4K paints 12 to 26% slower.
void FramePipeline::StreamRows(const Bitmap24& src, Bitmap24& dst, int width, int height,
                               int zoom) {
    const int bytes = width * 3;
    const GatherTable table = PixelChunks(width);
    std::uint8_t* plain = RowBuffer(0, bytes, dst.Row(0));
    std::uint8_t* marked = RowBuffer(1, bytes, dst.Row(0));
    int built = -1;
    for (int out = 0; out < height; ++out) {
        const int y = flipV_ ? height - 1 - out : out;
        if (y / zoom != built) {
            built = y / zoom;
            kernels_->gather(table, SourceRow(src, built), plain, Mask());
        }
        if (GridInverts(y) || (overlays_ && RowHasEdits(y))) {
            if (GridInverts(y))
                kernels_->gather(table, SourceRow(src, built), marked, MaskFor(y));
            else
                std::memcpy(marked, plain, static_cast<std::size_t>(bytes));
            ApplyRowEdits(marked, y);
            kernels_->stream(dst.Row(out), marked, bytes);
        } else {
            kernels_->stream(dst.Row(out), plain, bytes);
        }
    }
    kernels_->fence();
}

// Every row is cut into whole windows of the frame, none split or overlapping another, as
// writing past the caches needs.
bool FramePipeline::WindowsFill(int width, const Bitmap24& dst, int window) const {
    return dst.Stride() % window == 0 &&
           reinterpret_cast<std::uintptr_t>(dst.Row(0)) % static_cast<std::uintptr_t>(window) ==
               0 &&
           width * 3 % window == 0;
}

// Whole windows straight into the frame, the grid's columns marked by the table and each
// row's inversion applied as it is stored.
void FramePipeline::MarkRows(const Bitmap24& src, Bitmap24& dst, int width, int height, int zoom,
                             const Streaming& streaming) {
    RowMarks marks;
    const std::uint8_t* shuffle = windowMask_.data();
    if (overlays_) {
        marks.complement = !gridEdit_.set;
        for (int b = 0; b < 3; ++b)
            marks.colour[b] = static_cast<std::uint8_t>(gridEdit_.bgr[b] ^ mask_);
        shuffle = MarkedWindows(marks);
        marks.marked = shuffle != windowMask_.data();
    }
    // The period belongs to the plain table; the grid's columns do not keep to it.
    const GatherTable table{gatherIndex_.data(),
                            width,
                            windowBase_.data(),
                            shuffle,
                            static_cast<int>(windowAt_.size()),
                            windowAt_.data(),
                            windowPeriodFrom_,
                            marks.marked ? 0 : windowPeriods_,
                            windowAdvance_};
    if (WritesPlainCells(src, streaming))
        return PlainCellsOf(src, dst, height, zoom, table);
    ForEachCellBlock(
        src, dst, height, zoom,
        [&](int, const std::uint8_t* source, std::uint8_t* const* rows, const int* ys, int count) {
            // Without the overlays no row is inverted: filling a block's worth of zeros took
            // a call to memset for every cell.
            static constexpr std::uint8_t kUninverted[kRowsPerGather] = {};
            std::uint8_t inverts[kRowsPerGather];
            const std::uint8_t* invert = kUninverted;
            if (overlays_) {
                for (int r = 0; r < count; ++r)
                    inverts[r] = static_cast<std::uint8_t>(GridInverts(ys[r]) ? ~mask_ : mask_);
                invert = inverts;
            }
            kernels_->markRows(table, marks, source, rows, invert, count,
                               StreamedRows(streaming, ys, count));
        });
    if (streaming.Any())
        kernels_->fence();
}

// Whether the frame goes to the kernels in one call: nothing drawn on it, nothing inverted,
// every row through the caches, and source rows at least the slack apart, so that only the
// last one can need copying and the one buffer SourceRow copies into holds it while the frame
// is written.
bool FramePipeline::WritesPlainCells(const Bitmap24& src, const Streaming& streaming) const {
    return kernels_->plainCells && (!overlays_ || plain_) && !streaming.Any() &&
           src.Stride() >= kSourceSlack;
}

// Whether a frame with overlays goes to the kernels in one call: as WritesPlainCells, but for
// what is drawn and inverted.
bool FramePipeline::WritesMaskedCells(const Bitmap24& src, const Streaming& streaming) const {
    return kernels_->maskedCells && overlays_ && !streaming.Any() && src.Stride() >= kSourceSlack;
}

// A frame with overlays in one call, then each row's edits; the edited rows are few and were
// written moments before, so they are still in the caches. Only a paint with the overlays
// planned for this frame comes here: without them the frame is plain.
void FramePipeline::MaskedCellsOf(const Bitmap24& src, Bitmap24& dst, int height, int zoom,
                                  const GatherTable& table, const RowMask& mask) {
    const int cells = (height + zoom - 1) / zoom;
    cellSources_.resize(static_cast<std::size_t>(cells));
    for (int i = 0; i < cells; ++i)
        cellSources_[static_cast<std::size_t>(i)] = SourceRow(src, flipV_ ? cells - 1 - i : i);
    const int cut = height - (cells - 1) * zoom;
    const MaskedCells frame{{cellSources_.data(), dst.Row(0), dst.Stride(), zoom,
                             flipV_ ? cut : std::min(zoom, height), height},
                            mask,
                            rowInvert_.data(),
                            rowSkip_.data()};
    kernels_->maskedCells(table, frame);
    for (int out : editedRows_)
        ApplyRowEdits(dst.Row(out), flipV_ ? height - 1 - out : out);
}

// A frame with nothing drawn on it and nothing inverted, in one call: each cell's source row
// in output order, as ForEachCellBlock walks them.
void FramePipeline::PlainCellsOf(const Bitmap24& src, Bitmap24& dst, int height, int zoom,
                                 const GatherTable& table) {
    const int cells = (height + zoom - 1) / zoom;
    cellSources_.resize(static_cast<std::size_t>(cells));
    for (int i = 0; i < cells; ++i)
        cellSources_[static_cast<std::size_t>(i)] = SourceRow(src, flipV_ ? cells - 1 - i : i);
    const int cut = height - (cells - 1) * zoom;
    const PlainCells plain{cellSources_.data(),
                           dst.Row(0),
                           dst.Stride(),
                           zoom,
                           flipV_ ? cut : std::min(zoom, height),
                           height};
    kernels_->plainCells(table, plain);
}

// Whole windows straight into the frame, masked as they are stored, each row's inversion
// applied with them.
void FramePipeline::MaskRows(const Bitmap24& src, Bitmap24& dst, int width, int height, int zoom,
                             const Streaming& streaming) {
    const GatherTable table{gatherIndex_.data(),
                            width,
                            windowBase_.data(),
                            windowMask_.data(),
                            static_cast<int>(windowAt_.size()),
                            windowAt_.data(),
                            windowPeriodFrom_,
                            windowPeriods_,
                            windowAdvance_};
    if (WritesPlainCells(src, streaming))
        return PlainCellsOf(src, dst, height, zoom, table);
    const RowMask mask = overlays_ ? Mask() : RowMask{};
    if (WritesMaskedCells(src, streaming))
        return MaskedCellsOf(src, dst, height, zoom, table, mask);
    ForEachCellBlock(
        src, dst, height, zoom,
        [&](int, const std::uint8_t* source, std::uint8_t* const* rows, const int* ys, int count) {
            std::uint8_t invert[kRowsPerGather];
            for (int r = 0; r < count; ++r)
                invert[r] = GridInverts(ys[r]) ? 0xFF : 0;
            kernels_->maskRows(table, mask, source, rows, invert, count,
                               StreamedRows(streaming, ys, count));
        });
    if (streaming.Any())
        kernels_->fence();
}

// Pixel by pixel chunks, masked as they are built: straight into the frame where the kernels
// can, else built once per cell and copied.
void FramePipeline::GatherRows(const Bitmap24& src, Bitmap24& dst, int width, int height,
                               int zoom) {
    const int bytes = width * 3;
    const GatherTable table = PixelChunks(width);
    std::uint8_t* plain = RowBuffer(0, bytes, dst.Row(0));
    std::uint8_t* marked = RowBuffer(1, bytes, dst.Row(0));
    int built = -1;
    ForEachCellBlock(src, dst, height, zoom,
                     [&](int cell, const std::uint8_t* source, std::uint8_t* const* rows,
                         const int* ys, int count) {
                         std::uint8_t* plainRows[kRowsPerGather];
                         std::uint8_t* invertedRows[kRowsPerGather];
                         int plainCount = 0;
                         int invertedCount = 0;
                         RowMask gridMask;
                         for (int r = 0; r < count; ++r) {
                             if (GridInverts(ys[r])) {
                                 invertedRows[invertedCount++] = rows[r];
                                 gridMask = MaskFor(ys[r]);
                             } else {
                                 plainRows[plainCount++] = rows[r];
                             }
                         }
                         if (kernels_->gatherRows) {
                             if (plainCount > 0)
                                 kernels_->gatherRows(table, source, plainRows, plainCount, Mask());
                             if (invertedCount > 0)
                                 kernels_->gatherRows(table, source, invertedRows, invertedCount,
                                                      gridMask);
                             return;
                         }
                         if (plainCount > 0 && built != cell) {
                             kernels_->gather(table, source, plain, Mask());
                             built = cell;
                         }
                         for (int r = 0; r < plainCount; ++r)
                             kernels_->copy(plainRows[r], plain, bytes);
                         if (invertedCount > 0)
                             kernels_->gather(table, source, marked, gridMask);
                         for (int r = 0; r < invertedCount; ++r)
                             kernels_->copy(invertedRows[r], marked, bytes);
                     });
}

// Overlays, mirrors and inversion in place, for a frame that is already scaled: each pair of
// rows that trade places is read before either is written.
void FramePipeline::TransformRows(Bitmap24& dst) {
    const int width = dst.Width();
    const int height = dst.Height();
    const int bytes = width * 3;
    BuildGather(width, 1);
    const GatherTable table = PixelChunks(width);
    std::uint8_t* first = RowBuffer(0, bytes, dst.Row(0));
    std::uint8_t* second = RowBuffer(1, bytes, dst.Row(0));
    auto build = [&](int y, std::uint8_t* row) {
        kernels_->gather(table, LoadSource(dst.Row(y), bytes), row, MaskFor(y));
        if (RowHasEdits(y))
            ApplyRowEdits(row, y);
    };
    for (int y = 0; y < height; ++y) {
        const int out = flipV_ ? height - 1 - y : y;
        if (out < y)
            break;
        build(y, first);
        if (out != y) {
            build(out, second);
            WriteRow(dst, y, second, bytes, false);
        }
        WriteRow(dst, out, first, bytes, false);
    }
}

} // namespace lupenta
