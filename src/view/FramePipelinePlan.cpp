// Planning a paint: the overlays' edits row by row, and the tables that say which source bytes
// each window of the frame shows.

#include "view/FramePipeline.h"

#include "view/FrameKernels.h"

#include <algorithm>
#include <cstring>

namespace lupenta {

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
    keepsAll_ = true;
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
                    keepsAll_ = false;
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
    PlanRowKinds();
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

// What each row gets besides its cell's pixels, looked up for every row of every paint rather
// than worked out again from the grid and the crosshair.
// The same, counted down the frame as it is written, for the kernels that take a whole frame.
void FramePipeline::PlanRowKinds() {
    const std::size_t height = gridRows_.size();
    rowKinds_.assign(height, 0);
    for (std::size_t y = 0; y < height; ++y)
        if (gridRows_[y])
            rowKinds_[y] = gridEdit_.set ? kCoveredRow | kEditedRow : kInvertedRow;
    if (cross_) {
        const int last = crossZoom_ == 1 ? crossTop_ : crossTop_ + crossZoom_;
        for (int y = std::max(crossTop_, 0); y <= last && y < static_cast<int>(height); ++y)
            rowKinds_[static_cast<std::size_t>(y)] |= kEditedRow;
    }
    rowInvert_.resize(height);
    rowSkip_.resize(height);
    editedRows_.clear();
    for (std::size_t out = 0; out < height; ++out) {
        const std::uint8_t kind = rowKinds_[flipV_ ? height - 1 - out : out];
        rowInvert_[out] = kind & kInvertedRow ? 0xFF : 0;
        rowSkip_[out] = kind & kCoveredRow;
        if (kind & kEditedRow)
            editedRows_.push_back(static_cast<int>(out));
    }
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
    return {keep_.data(), flip_.data(), keepsAll_};
}

RowMask FramePipeline::MaskFor(int y) const {
    if (GridInverts(y))
        return {keep_.data(), gridFlip_.data(), keepsAll_};
    return Mask();
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

GatherTable FramePipeline::PixelChunks(int width) const {
    return {gatherIndex_.data(), width, chunkBase_.data(), chunkMask_.data(),
            static_cast<int>(chunkBase_.size())};
}

} // namespace lupenta
