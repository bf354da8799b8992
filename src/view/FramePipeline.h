#pragma once

// The zoomed paint's pixel work in as few passes over the output frame as possible: scaling,
// grid, crosshair, both mirrors and inversion are folded into building each output row once,
// and rows that repeat are copied rather than rebuilt. The step-by-step functions below define
// the result; the pipeline matches them byte for byte.

#include "platform/Bitmap24.h"
#include "view/FrameKernels.h"
#include "view/FrameOps.h"
#include "view/LineBuffer.h"
#include "view/Overlays.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace lupenta {

struct ZoomedPaint {
    OverlayInput overlay; // zoom, hot pixel, grid, and the view and display sizes
    bool smooth = false;
    bool drawCross = false;
    bool flipHorizontal = false;
    bool flipVertical = false;
    bool invert = false;
    friend bool operator==(const ZoomedPaint&, const ZoomedPaint&) = default;
};

// Scaling, then the grid with the frame's persistent pen, the crosshair, the mirrors and
// inversion, one pass each. The pointer image goes between scaling and the grid, so the
// sequence comes in two halves as well.
void RenderZoomedReference(const Bitmap24& src, Bitmap24& dst, Pen& pen, const ZoomedPaint& paint);
void ScaleZoomedReference(const Bitmap24& src, Bitmap24& dst, const ZoomedPaint& paint);
void FinishZoomedReference(Bitmap24& dst, Pen& pen, const ZoomedPaint& paint);

// Keeps its row buffers and tables from one paint to the next, so painting at a stable size
// allocates nothing. Each function leaves `dst` and `pen` exactly as its reference does.
class FramePipeline {
public:
    // A set the machine cannot run falls back to the portable one.
    explicit FramePipeline(KernelSet set = KernelSet::Best);

    void Render(const Bitmap24& src, Bitmap24& dst, Pen& pen, const ZoomedPaint& paint);
    void Scale(const Bitmap24& src, Bitmap24& dst, const ZoomedPaint& paint);
    void Finish(Bitmap24& dst, Pen& pen, const ZoomedPaint& paint);

    const char* KernelName() const;

    // Frames of at least `threshold` bytes are written partly past the caches: as many of their
    // rows as fit `cacheBudget` bytes beside the source rows the paint reads go through them.
    void SetStreaming(std::size_t threshold, std::size_t cacheBudget);

private:
    struct Edit {
        int from = 0; // pixels [from, to) of an output row
        int to = 0;
        bool set = false; // set to `bgr`, else complement
        std::uint8_t bgr[3] = {0, 0, 0};
    };

    // Which rows of a paint are written past the caches: `streamed` of `height`, spread
    // evenly.
    struct Streaming {
        int streamed = 0;
        int height = 1;
        bool Any() const { return streamed > 0; }
        bool Row(int out) const;
    };

    Streaming PlanStreaming(const Bitmap24& src, const Bitmap24& dst, int height, int sourceRows,
                            std::size_t cacheBudget) const;
    // Bit r set when row r of a block (unmirrored rows `ys`) goes past the caches.
    unsigned StreamedRows(const Streaming& streaming, const int* ys, int count) const;
    void PlanOverlays(Pen& pen, const ZoomedPaint& paint, const Bitmap24& dst);
    void BuildPlan(Pen& pen, const ZoomedPaint& paint, const Bitmap24& dst);
    Edit MakeEdit(const Pen& pen) const;
    void AddSpan(Edit edit, int from, int to);
    void PlanRowKinds();
    // The horizontal grid line or the crosshair draws on row `y`, see ApplyRowEdits.
    bool RowHasEdits(int y) const { return rowKinds_[static_cast<std::size_t>(y)] & kEditedRow; }
    RowMask Mask() const;
    // A grid line drawn with the inverting pen runs along row `y`.
    bool GridInverts(int y) const {
        return overlays_ && (rowKinds_[static_cast<std::size_t>(y)] & kInvertedRow);
    }
    RowMask MaskFor(int y) const;
    void ApplyRowEdits(std::uint8_t* row, int y);
    void ReplicateRows(const Bitmap24& src, Bitmap24& dst, int width, int height, int zoom);
    void StreamRows(const Bitmap24& src, Bitmap24& dst, int width, int height, int zoom);
    void MarkRows(const Bitmap24& src, Bitmap24& dst, int width, int height, int zoom,
                  const Streaming& streaming);
    void MaskRows(const Bitmap24& src, Bitmap24& dst, int width, int height, int zoom,
                  const Streaming& streaming);
    bool WindowsFill(int width, const Bitmap24& dst, int window) const;
    bool WritesPlainCells(const Bitmap24& src, const Streaming& streaming) const;
    bool WritesMaskedCells(const Bitmap24& src, const Streaming& streaming) const;
    void MaskedCellsOf(const Bitmap24& src, Bitmap24& dst, int height, int zoom,
                       const GatherTable& table, const RowMask& mask);
    void PlainCellsOf(const Bitmap24& src, Bitmap24& dst, int height, int zoom,
                      const GatherTable& table);
    void GatherRows(const Bitmap24& src, Bitmap24& dst, int width, int height, int zoom);
    template <typename Write>
    void ForEachCellBlock(const Bitmap24& src, Bitmap24& dst, int height, int zoom, Write write);
    // A grid line in the pen's colour covers the whole row, so the row is not built at all.
    bool CoveredByGrid(int y) const {
        return overlays_ && (rowKinds_[static_cast<std::size_t>(y)] & kCoveredRow);
    }
    GatherTable PixelChunks(int width) const;
    void SmoothRows(const Bitmap24& src, Bitmap24& dst, int width, int height, int zoom);
    void TransformRows(Bitmap24& dst);
    const std::uint16_t* SumsFor(const Bitmap24& src, int row, int keep);
    void BuildGather(int width, int zoom);
    bool BuildWindows(int width, int zoom, const Bitmap24& dst, int window, int lane);
    void FindWindowPeriod(int window, int lane);
    const std::uint8_t* MarkedWindows(const RowMarks& marks);
    void BuildSmooth(int width, int sourceWidth, int zoom);
    const std::uint8_t* SourceRow(const Bitmap24& src, int row);
    const std::uint8_t* LoadSource(const std::uint8_t* row, int bytes);
    std::uint8_t* RowBuffer(int which, int bytes, const std::uint8_t* like);
    void WriteRow(Bitmap24& dst, int y, const std::uint8_t* row, int bytes, bool stream);

    // Rows of a cell written from one gathered row; more at once than the store buffers can
    // keep apart costs more than gathering again.
    static constexpr int kRowsPerGather = 8;

    const FrameKernels* kernels_;
    std::size_t streamThreshold_;
    std::size_t cacheBudget_;

    // The last plan holds as long as what it was made from does.
    struct PlanKey {
        ZoomedPaint paint;
        Pen pen;
        int width = -1;
        int height = -1;
        std::uintptr_t phase = 0;
        friend bool operator==(const PlanKey&, const PlanKey&) = default;
    };
    PlanKey planKey_;
    Pen plannedPen_;

    // What the current paint folds in; all in output (mirrored) coordinates.
    bool flipH_ = false;
    bool flipV_ = false;
    std::uint8_t mask_ = 0; // 0xFF when inverting
    bool overlays_ = false;
    bool masked_ = false;  // keep_ and flip_ hold the grid columns and inversion
    bool keepsAll_ = true; // no byte of keep_ is cleared
    LineBuffer keep_;
    LineBuffer flip_;
    LineBuffer gridPattern_; // a whole row in the grid pen's colour
    LineBuffer gridFlip_;    // flip_ complemented, for rows an inverting grid line runs along
    int width_ = 0;
    int height_ = 0;
    Edit gridEdit_;
    std::vector<std::uint8_t> gridRows_; // per unmirrored row: 1 when a grid line runs along it
    // Per unmirrored row, what it gets besides its cell's pixels.
    static constexpr std::uint8_t kCoveredRow = 1;  // a grid line in the pen's colour
    static constexpr std::uint8_t kInvertedRow = 2; // a grid line with the inverting pen
    static constexpr std::uint8_t kEditedRow = 4;   // edited after it is built
    std::vector<std::uint8_t> rowKinds_;
    // Counted down the frame: each row's XOR, whether it is left for its grid line, and the
    // rows edited after they are built.
    std::vector<std::uint8_t> rowInvert_;
    std::vector<std::uint8_t> rowSkip_;
    std::vector<int> editedRows_;
    std::vector<int> gridColumns_; // output columns a grid line runs down, ascending
    bool cross_ = false;
    bool plain_ = false; // nothing drawn on the frame and nothing inverted
    Edit crossEdit_;
    int crossZoom_ = 1;
    int crossLeft_ = 0; // the hot cell's corner, unmirrored
    int crossTop_ = 0;
    std::vector<Edit> spans_;

    // The tables depend only on these, so a paint at a stable size reuses the last ones.
    struct TableKey {
        int width = -1;
        int sourceWidth = -1;
        int zoom = -1;
        bool flipH = false;
        int window = 0;
        friend bool operator==(const TableKey&, const TableKey&) = default;
    };
    TableKey gatherKey_;
    TableKey smoothKey_;
    std::vector<std::int32_t> gatherIndex_;
    std::vector<std::int32_t> chunkBase_;
    LineBuffer chunkMask_;
    TableKey windowKey_; // sourceWidth holds the frame rows' offset within a window
    std::vector<std::int32_t> windowAt_;
    std::vector<std::int32_t> windowBase_;
    // For the window table, see GatherTable::periods.
    int windowPeriodFrom_ = 0;
    int windowPeriods_ = 0;
    std::int32_t windowAdvance_ = 0;
    LineBuffer windowMask_;
    struct MarkedKey {
        bool complement = false;
        std::uint8_t colour[3] = {0, 0, 0};
        std::vector<int> columns;
    };
    MarkedKey markedKey_;
    LineBuffer markedMask_;
    std::vector<std::int32_t> smoothOffset_;
    std::vector<std::int16_t> smoothWeight_;
    std::vector<std::int32_t> groupBase_;
    LineBuffer groupMask_;
    std::vector<std::int32_t> wideBase_;
    LineBuffer wideMask_;
    std::vector<std::uint16_t> sums_[2]; // two source rows blended across, see FrameKernels
    int sumsRow_[2] = {-1, -1};
    std::vector<std::uint8_t> source_;
    std::vector<const std::uint8_t*> cellSources_; // each cell's source row, for plainCells
    LineBuffer rows_[2];
};

} // namespace lupenta
