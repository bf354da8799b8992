#include "view/FramePipeline.h"

#include "view/CacheSize.h"
#include "view/FrameKernels.h"

#include <algorithm>
#include <cstring>

namespace lupenta {

namespace {

const FrameKernels& ChooseKernels(KernelSet set) {
    const FrameKernels* chosen = nullptr;
    switch (set) {
    case KernelSet::Best:
        chosen = Avx512VbmiFrameKernels();
        if (!chosen)
            chosen = Avx512FrameKernels();
        if (!chosen)
            chosen = Avx2FrameKernels();
        if (!chosen)
            chosen = Ssse3FrameKernels();
        if (!chosen)
            chosen = Sse2FrameKernels();
        break;
    case KernelSet::Sse2:
        chosen = Sse2FrameKernels();
        break;
    case KernelSet::Ssse3:
        chosen = Ssse3FrameKernels();
        break;
    case KernelSet::Avx2:
        chosen = Avx2FrameKernels();
        break;
    case KernelSet::Avx512:
        chosen = Avx512FrameKernels();
        break;
    case KernelSet::Avx512Vbmi:
        chosen = Avx512VbmiFrameKernels();
        break;
    case KernelSet::Portable:
        break;
    }
    return chosen ? *chosen : PortableFrameKernels();
}

// A frame that fits the last-level cache beside its source is written faster through the
// caches. Of a larger one (a 4K frame is 25 MB) as many rows go through them as fit two fifths
// of the cache beside the source, and the others past them: writing past the caches saves
// reading each line before overwriting it, and where a kernel writes a cell's rows window by
// window the two ways run side by side. A 4K frame written half each way took 55% of the
// time it took wholly past the caches, and caching more of it than that was slower again.
constexpr std::size_t kDefaultStreamThreshold = std::size_t{16} << 20;

std::size_t DefaultCacheBudget() {
    return LastLevelCacheBytes() / 5 * 2;
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
    : kernels_(&ChooseKernels(set)), streamThreshold_(kDefaultStreamThreshold),
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
    if (!dst.Empty())
        TransformRows(dst);
}

// Works out every overlay pixel for a frame of the display's size and moves the pen on as
// drawing the grid and the crosshair would. A steady view paints with the same plan frame
// after frame, so it is only worked out again when something it depends on changes.
void FramePipeline::PlanOverlays(Pen& pen, const ZoomedPaint& paint, const Bitmap24& dst) {
    const PlanKey key{paint, pen, dst.Width(), dst.Height(),
                      dst.Empty() ? 0 : LinePhase(dst.Row(0))};
    if (key == planKey_) {
        pen = plannedPen_;
        return;
    }
    planKey_ = key;
    BuildPlan(pen, paint, dst);
    plannedPen_ = pen;
}

void FramePipeline::BuildPlan(Pen& pen, const ZoomedPaint& paint, const Bitmap24& dst) {
    const OverlayInput& in = paint.overlay;
    const int width = dst.Width();
    const int height = dst.Height();
    const std::uintptr_t phase = dst.Empty() ? 0 : LinePhase(dst.Row(0));
    const int z = in.zoom;
    const int g = in.gridlevel;
    width_ = width;
    height_ = height;
    flipH_ = paint.flipHorizontal;
    flipV_ = paint.flipVertical;
    mask_ = paint.invert ? 0xFF : 0;
    overlays_ = true;

    const std::size_t rowBytes = static_cast<std::size_t>(width) * 3 + kGatherSlack;
    keep_.Fill(rowBytes, phase, 0xFF);
    flip_.Fill(rowBytes, phase, mask_);
    masked_ = mask_ != 0;
    gridRows_.assign(static_cast<std::size_t>(std::max(height, 0)), 0);
    gridColumns_.clear();
    const bool gridDrawn = z > 1 && g > 0;
    if (gridDrawn) {
        gridEdit_ = MakeEdit(pen);
        gridPattern_.Place(rowBytes, phase);
        for (std::size_t j = 0; j + 3 <= rowBytes; j += 3)
            std::memcpy(&gridPattern_[j], gridEdit_.bgr, 3);
        const int ox = in.fixedGrid ? in.screenLeft % g : 0;
        const int shiftX = (z * in.leftOffset - in.viewWidth / 2) % (z * g);
        for (int i = 0; i <= in.displayWidth / z; ++i) {
            const int x = z * (i - ox) - shiftX;
            if ((i - in.leftOffset) % g != 0 || x < 0 || x >= width)
                continue;
            gridColumns_.push_back(flipH_ ? width - 1 - x : x);
            const std::size_t at = static_cast<std::size_t>(gridColumns_.back()) * 3;
            for (std::size_t b = 0; b < 3; ++b) {
                if (gridEdit_.set) {
                    keep_[at + b] = 0;
                    flip_[at + b] = gridEdit_.bgr[b];
                } else {
                    flip_[at + b] = static_cast<std::uint8_t>(~flip_[at + b]);
                }
            }
            masked_ = true;
        }
        if (!gridEdit_.set) {
            // A grid line drawn with the inverting pen complements its row, which the row's
            // mask can do as the row is built: ~((b & keep) ^ flip) == (b & keep) ^ ~flip.
            std::uint8_t* inverted = gridFlip_.Place(rowBytes, phase);
            for (std::size_t j = 0; j < rowBytes; ++j)
                inverted[j] = static_cast<std::uint8_t>(~flip_[j]);
        }
        std::sort(gridColumns_.begin(), gridColumns_.end());
        const int oy = in.fixedGrid ? in.screenTop % g : 0;
        const int shiftY = (z * in.topOffset - in.viewHeight / 2) % (z * g);
        for (int i = 0; i <= in.displayHeight / z; ++i) {
            const int y = z * (i - oy) - shiftY;
            if ((i - in.topOffset) % g == 0 && y >= 0 && y < height)
                gridRows_[static_cast<std::size_t>(y)] = 1;
        }
    }

    cross_ = paint.drawCross;
    plain_ =
        !masked_ && !cross_ &&
        std::none_of(gridRows_.begin(), gridRows_.end(), [](std::uint8_t row) { return row != 0; });
    crossZoom_ = z;
    crossLeft_ = in.leftOffset * z;
    crossTop_ = in.topOffset * z;
    if (!cross_)
        return;
    if (z == 1) {
        crossEdit_ = MakeEdit(Pen{kBlack, RasterOp::Invert});
        return;
    }
    if (gridDrawn && in.drawGrid)
        pen = Pen{kRed, RasterOp::Copy};
    else
        pen.op = RasterOp::Invert;
    crossEdit_ = MakeEdit(pen);
    if (gridDrawn)
        pen.colour = kBlack;
}

// Inversion comes after the overlays, so a pen colour lands inverted and a complement stays
// a complement.
FramePipeline::Edit FramePipeline::MakeEdit(const Pen& pen) const {
    Edit edit;
    edit.set = pen.op == RasterOp::Copy;
    edit.bgr[0] = static_cast<std::uint8_t>(BlueOf(pen.colour) ^ mask_);
    edit.bgr[1] = static_cast<std::uint8_t>(GreenOf(pen.colour) ^ mask_);
    edit.bgr[2] = static_cast<std::uint8_t>(RedOf(pen.colour) ^ mask_);
    return edit;
}

namespace {

void ApplyEdit(std::uint8_t* row, int from, int to, bool set, const std::uint8_t* bgr) {
    std::uint8_t* p = row + from * 3;
    std::uint8_t* end = row + to * 3;
    if (set) {
        for (; p != end; p += 3) {
            p[0] = bgr[0];
            p[1] = bgr[1];
            p[2] = bgr[2];
        }
    } else {
        for (; p != end; ++p)
            *p = static_cast<std::uint8_t>(~*p);
    }
}

} // namespace

void FramePipeline::AddSpan(Edit edit, int from, int to) {
    from = std::max(from, 0);
    to = std::min(to, width_);
    if (from >= to)
        return;
    if (flipH_) {
        const int mirroredFrom = width_ - to;
        to = width_ - from;
        from = mirroredFrom;
    }
    edit.from = from;
    edit.to = to;
    spans_.push_back(edit);
}

RowMask FramePipeline::Mask() const {
    if (!masked_)
        return {};
    return {keep_.data(), flip_.data()};
}

bool FramePipeline::GridInverts(int y) const {
    return overlays_ && gridRows_[static_cast<std::size_t>(y)] && !gridEdit_.set;
}

RowMask FramePipeline::MaskFor(int y) const {
    if (GridInverts(y))
        return {keep_.data(), gridFlip_.data()};
    return Mask();
}

bool FramePipeline::RowHasEdits(int y) const {
    if (gridRows_[static_cast<std::size_t>(y)] && gridEdit_.set)
        return true;
    if (!cross_)
        return false;
    if (crossZoom_ == 1)
        return y == crossTop_;
    return y >= crossTop_ && y <= crossTop_ + crossZoom_;
}

// The edits of unmirrored row `y`, in drawing order: the horizontal grid line, then the
// crosshair, whose four sides share no pixel. A grid line that inverts is already in the row,
// built with MaskFor(y).
void FramePipeline::ApplyRowEdits(std::uint8_t* row, int y) {
    spans_.clear();
    if (gridRows_[static_cast<std::size_t>(y)] && gridEdit_.set)
        std::memcpy(row, gridPattern_.data(), static_cast<std::size_t>(width_) * 3);
    if (cross_) {
        const int z = crossZoom_;
        const int left = crossLeft_;
        const int top = crossTop_;
        if (z == 1) {
            if (y == top)
                AddSpan(crossEdit_, left, left + 1);
        } else {
            if (y == top)
                AddSpan(crossEdit_, left, left + z);
            if (y >= top && y < top + z)
                AddSpan(crossEdit_, left + z, left + z + 1);
            if (y == top + z)
                AddSpan(crossEdit_, left + 1, left + z + 1);
            if (y > top && y <= top + z)
                AddSpan(crossEdit_, left, left + 1);
        }
    }
    for (const Edit& e : spans_)
        ApplyEdit(row, e.from, e.to, e.set, e.bgr);
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

// Output pixel x shows source pixel index[x]. The index moves by at most one from pixel to
// pixel, so a chunk of n output pixels never reaches more than n source pixels and fits the
// kernels' shuffle window.
void FramePipeline::BuildGather(int width, int zoom) {
    const TableKey key{width, 0, zoom, flipH_};
    if (key == gatherKey_)
        return;
    gatherKey_ = key;
    gatherIndex_.resize(static_cast<std::size_t>(width));
    for (int x = 0; x < width; ++x)
        gatherIndex_[static_cast<std::size_t>(x)] = (flipH_ ? width - 1 - x : x) / zoom;
    const int window = kernels_->window;
    const int pixels = (window - 1) / 3;
    const int chunks = (width + pixels - 1) / pixels;
    chunkBase_.resize(static_cast<std::size_t>(chunks));
    chunkMask_.Fill(static_cast<std::size_t>(chunks) * window, 0, 0x80);
    for (int k = 0; k < chunks; ++k) {
        const auto at = [&](int p) {
            return gatherIndex_[static_cast<std::size_t>(std::min(k * pixels + p, width - 1))];
        };
        int first = at(0);
        for (int p = 1; p < pixels; ++p)
            first = std::min(first, at(p));
        chunkBase_[static_cast<std::size_t>(k)] = first * 3;
        std::uint8_t* mask = &chunkMask_[static_cast<std::size_t>(k) * window];
        for (int p = 0; p < pixels; ++p)
            for (int b = 0; b < 3; ++b)
                mask[p * 3 + b] = static_cast<std::uint8_t>((at(p) - first) * 3 + b);
    }
}

// Chunks of a whole window each, byte for byte rather than pixel for pixel, each window
// shuffled in lanes out of `lane` source bytes of its own. Where every row starts at the same
// place within a window's width they are placed so that every store but the first and the
// last fills whole windows of the frame: a store split across two cache lines costs nearly
// two. False when a lane's output would reach more source bytes than the lane holds, or the
// row is shorter than a window.
bool FramePipeline::BuildWindows(int width, int zoom, const Bitmap24& dst, int window, int lane) {
    const int bytes = width * 3;
    if (zoom < 2 || bytes < window)
        return false;
    const int phase = dst.Stride() % window == 0
                          ? static_cast<int>(reinterpret_cast<std::uintptr_t>(dst.Row(0)) %
                                             static_cast<std::uintptr_t>(window))
                          : 0;
    const TableKey key{width, phase, zoom, flipH_, window};
    if (key == windowKey_)
        return true;
    windowKey_ = {};
    markedKey_ = {};
    windowAt_.clear();
    windowAt_.push_back(0);
    for (int at = (window - phase) % window; at + window <= bytes; at += window)
        if (at != 0)
            windowAt_.push_back(at);
    if (windowAt_.back() + window < bytes)
        windowAt_.push_back(bytes - window);
    const std::size_t lanes = windowAt_.size() * static_cast<std::size_t>(window / lane);
    windowBase_.resize(lanes);
    windowMask_.Place(lanes * static_cast<std::size_t>(lane), 0);
    const auto pixel = [&](int j) { return gatherIndex_[static_cast<std::size_t>(j / 3)]; };
    for (std::size_t l = 0; l < lanes; ++l) {
        const int at = windowAt_[l / static_cast<std::size_t>(window / lane)] +
                       static_cast<int>(l % static_cast<std::size_t>(window / lane)) * lane;
        const int first = std::min(pixel(at), pixel(at + lane - 1)) * 3;
        windowBase_[l] = first;
        for (int i = 0; i < lane; ++i) {
            const int offset = pixel(at + i) * 3 + (at + i) % 3 - first;
            if (offset >= lane)
                return false;
            windowMask_[l * static_cast<std::size_t>(lane) + static_cast<std::size_t>(i)] =
                static_cast<std::uint8_t>(offset);
        }
    }
    FindWindowPeriod(window, lane);
    windowKey_ = key;
    return true;
}

// The longest run of windows, from the first or the one after it, that lie a window apart and
// repeat every kChunkPeriod, each of its lanes reading the source a fixed number of bytes
// further on than a period before: at any zoom that divides the pixels of a period (64 for
// 64-byte windows, 32 for 32-byte ones), mirrored or not.
void FramePipeline::FindWindowPeriod(int window, int lane) {
    windowPeriodFrom_ = 0;
    windowPeriods_ = 0;
    windowAdvance_ = 0;
    const int chunks = static_cast<int>(windowAt_.size());
    const int lanes = window / lane;
    constexpr int period = kChunkPeriod;
    if (chunks < 2 * period)
        return;
    const auto index = [](int i) { return static_cast<std::size_t>(i); };
    const auto repeats = [&](int k, std::int32_t advance) {
        for (int l = 0; l < lanes; ++l)
            if (windowBase_[index(k * lanes + l)] - windowBase_[index((k - period) * lanes + l)] !=
                advance)
                return false;
        const std::uint8_t* mask = &windowMask_[index(k * window)];
        return std::memcmp(mask, mask - period * window, index(window)) == 0;
    };
    const int from = windowAt_[1] - windowAt_[0] == window ? 0 : 1;
    const std::int32_t advance =
        windowBase_[index((from + period) * lanes)] - windowBase_[index(from * lanes)];
    int end = from + period;
    while (end < chunks && windowAt_[index(end)] - windowAt_[index(end - 1)] == window &&
           repeats(end, advance))
        ++end;
    // A period is worth its registers only when the row holds it at least twice.
    if ((end - from) / period < 2)
        return;
    windowPeriodFrom_ = from;
    windowPeriods_ = (end - from) / period;
    windowAdvance_ = advance;
}

// The window table with the grid's columns marked, rebuilt only when the columns, the pen or
// the window table change.
const std::uint8_t* FramePipeline::MarkedWindows(const RowMarks& marks) {
    if (gridColumns_.empty())
        return windowMask_.data();
    // Compared in place: copying the columns for the comparison would allocate every paint.
    const bool same = markedKey_.complement == marks.complement &&
                      std::equal(marks.colour, marks.colour + 3, markedKey_.colour) &&
                      markedKey_.columns == gridColumns_;
    if (same)
        return markedMask_.data();
    markedKey_.complement = marks.complement;
    std::copy(marks.colour, marks.colour + 3, markedKey_.colour);
    markedKey_.columns = gridColumns_;
    const std::size_t window = LineBuffer::kLine;
    const std::size_t chunks = windowAt_.size();
    std::uint8_t* marked = markedMask_.Place(chunks * window, 0);
    std::memcpy(marked, windowMask_.data(), chunks * window);
    for (std::size_t k = 0; k < chunks; ++k) {
        const int at = windowAt_[k];
        // Columns are sorted, so the first one that can reach this window is found by halving.
        auto column = std::lower_bound(gridColumns_.begin(), gridColumns_.end(), (at - 2) / 3);
        for (; column != gridColumns_.end() && *column * 3 < at + static_cast<int>(window);
             ++column) {
            for (int b = 0; b < 3; ++b) {
                const int i = *column * 3 + b - at;
                if (i < 0 || i >= static_cast<int>(window))
                    continue;
                std::uint8_t& index = marked[k * window + static_cast<std::size_t>(i)];
                index = static_cast<std::uint8_t>(marks.complement ? index | 64 : 64 + b);
            }
        }
    }
    return marked;
}

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

// A grid line in the pen's colour covers the whole row, so the row is not built at all.
bool FramePipeline::CoveredByGrid(int y) const {
    return overlays_ && gridEdit_.set && gridRows_[static_cast<std::size_t>(y)];
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

GatherTable FramePipeline::PixelChunks(int width) const {
    return {gatherIndex_.data(), width, chunkBase_.data(), chunkMask_.data(),
            static_cast<int>(chunkBase_.size())};
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
