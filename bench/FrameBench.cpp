// One paint's pixel work at the sizes a magnifier view takes, beside the floor (writing or
// copying the output frame once) and pixman scaling a 32-bpp source to the same size. Every
// kernel runs in one binary so the ratios come from one run.
//
// Each benchmark paints once before it is timed: every repetition allocates its frames afresh,
// and the first paint into a new frame takes the page faults of all its pages (a 1080p frame
// is 1500 pages; on a loaded machine that first paint took milliseconds), which would land in
// whichever repetition ran few iterations. The program paints into frames it keeps.

#include "platform/Bitmap24.h"
#include "view/FramePipeline.h"

#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

using lupenta::Bitmap24;
using lupenta::FramePipeline;
using lupenta::Pen;
using lupenta::ZoomedPaint;

// Frames as the program has them: DIB sections start on a page.
class PageAllocator final : public lupenta::PixelAllocator {
public:
    std::unique_ptr<lupenta::PixelStore> Allocate(int, int height, int stride) override {
        return std::make_unique<Store>(static_cast<std::size_t>(height) * stride);
    }

private:
    class Store final : public lupenta::PixelStore {
    public:
        explicit Store(std::size_t bytes)
            : bits_(static_cast<std::uint8_t*>(::operator new(bytes, kPage))) {}
        ~Store() override { ::operator delete(bits_, kPage); }
        Store(const Store&) = delete;
        Store& operator=(const Store&) = delete;
        std::uint8_t* Bits() override { return bits_; }

    private:
        static constexpr std::align_val_t kPage{4096};
        std::uint8_t* bits_;
    };
};

PageAllocator& Pages() {
    static PageAllocator allocator;
    return allocator;
}

struct Size {
    int width;
    int height;
};

constexpr Size kSizes[] = {{468, 253}, {1920, 1080}, {3840, 2160}};
constexpr int kZooms[] = {2, 4, 8, 16, 40};

// The source pixels a view of this size needs at this zoom, rounded up as the view does.
Size SourceSize(Size out, int zoom) {
    return {(out.width + zoom - 1) / zoom, (out.height + zoom - 1) / zoom};
}

void FillPattern(Bitmap24& frame) {
    for (int y = 0; y < frame.Height(); ++y)
        for (int i = 0; i < frame.Width() * 3; ++i)
            frame.Row(y)[i] = static_cast<std::uint8_t>(i * 7 + y * 13);
}

void FloorMemset(benchmark::State& state, Size out, int) {
    Bitmap24 dst(Pages());
    dst.SetSize(out.width, out.height);
    const std::size_t bytes = static_cast<std::size_t>(dst.Stride()) * dst.Height();
    int value = 0;
    const auto paint = [&] {
        std::memset(dst.Row(0), ++value & 0xFF, bytes);
        benchmark::ClobberMemory();
    };
    paint();
    for (auto _ : state)
        paint();
}

void FloorMemcpy(benchmark::State& state, Size out, int) {
    Bitmap24 from(Pages());
    Bitmap24 dst(Pages());
    from.SetSize(out.width, out.height);
    dst.SetSize(out.width, out.height);
    FillPattern(from);
    const std::size_t bytes = static_cast<std::size_t>(dst.Stride()) * dst.Height();
    const auto paint = [&] {
        std::memcpy(dst.Row(0), from.Row(0), bytes);
        benchmark::ClobberMemory();
    };
    paint();
    for (auto _ : state)
        paint();
}

struct PixmanImage {
    explicit PixmanImage(Size size)
        : bits(static_cast<std::size_t>(size.width) * size.height),
          image(pixman_image_create_bits(PIXMAN_x8r8g8b8, size.width, size.height, bits.data(),
                                         size.width * 4)) {}
    ~PixmanImage() { pixman_image_unref(image); }
    PixmanImage(const PixmanImage&) = delete;
    PixmanImage& operator=(const PixmanImage&) = delete;

    std::vector<std::uint32_t> bits;
    pixman_image_t* image;
};

void PixmanScale(benchmark::State& state, Size out, int zoom, pixman_filter_t filter) {
    const Size in = SourceSize(out, zoom);
    PixmanImage src(in);
    PixmanImage dst(out);
    for (std::size_t i = 0; i < src.bits.size(); ++i)
        src.bits[i] = static_cast<std::uint32_t>(i * 2654435761u) & 0xFFFFFF;
    pixman_transform_t transform;
    pixman_transform_init_scale(&transform, pixman_double_to_fixed(1.0 / zoom),
                                pixman_double_to_fixed(1.0 / zoom));
    pixman_image_set_transform(src.image, &transform);
    pixman_image_set_filter(src.image, filter, nullptr, 0);
    pixman_image_set_repeat(src.image, PIXMAN_REPEAT_PAD);
    const auto paint = [&] {
        pixman_image_composite32(PIXMAN_OP_SRC, src.image, nullptr, dst.image, 0, 0, 0, 0, 0, 0,
                                 out.width, out.height);
        benchmark::ClobberMemory();
    };
    paint();
    for (auto _ : state)
        paint();
}

// Everything on, as a busy paint has it: grid every 5 source pixels, crosshair, both mirrors
// and inversion.
ZoomedPaint FullPaint(Size out, int zoom, bool smooth) {
    const Size in = SourceSize(out, zoom);
    ZoomedPaint paint;
    paint.overlay.zoom = zoom;
    paint.overlay.leftOffset = in.width / 2;
    paint.overlay.topOffset = in.height / 2;
    paint.overlay.gridlevel = 5;
    paint.overlay.viewWidth = out.width;
    paint.overlay.viewHeight = out.height;
    paint.overlay.displayWidth = out.width;
    paint.overlay.displayHeight = out.height;
    paint.smooth = smooth;
    paint.drawCross = true;
    paint.flipHorizontal = true;
    paint.flipVertical = true;
    paint.invert = true;
    return paint;
}

// The kernel set every pipeline benchmark measures: the one the program would choose, or with
// LUPENTA_KERNELS (avx512vbmi or vbmi, avx512, avx2, ssse3, sse2, portable) a set this machine
// would not choose by itself. None, with a message, for a name it does not know or a set this
// machine or build cannot run: measuring the fallback under the asked-for name would mislead.
std::optional<lupenta::KernelSet> KernelsToMeasure() {
    using lupenta::KernelSet;
    const char* asked = std::getenv("LUPENTA_KERNELS");
    if (!asked || !*asked)
        return KernelSet::Best;
    const std::string name = asked;
    const std::pair<const char*, KernelSet> sets[] = {
        {"portable", KernelSet::Portable}, {"sse2", KernelSet::Sse2},
        {"ssse3", KernelSet::Ssse3},       {"avx2", KernelSet::Avx2},
        {"avx512", KernelSet::Avx512},     {"avx512vbmi", KernelSet::Avx512Vbmi},
        {"vbmi", KernelSet::Avx512Vbmi}};
    for (const auto& [label, set] : sets) {
        if (name != label)
            continue;
        const bool runs = set == KernelSet::Portable ||
                          std::string(lupenta::ChooseFrameKernels(set).name) != "portable";
        if (runs)
            return set;
        std::fprintf(stderr, "LUPENTA_KERNELS=%s: this machine or build cannot run that set\n",
                     asked);
        return std::nullopt;
    }
    std::fprintf(stderr,
                 "LUPENTA_KERNELS=%s: not a kernel set (avx512vbmi or vbmi, avx512, avx2, "
                 "ssse3, sse2, portable)\n",
                 asked);
    return std::nullopt;
}

void Pipeline(benchmark::State& state, lupenta::KernelSet set, Size out, int zoom, bool smooth,
              bool overlays) {
    const Size in = SourceSize(out, zoom);
    Bitmap24 src(Pages());
    Bitmap24 dst(Pages());
    src.SetSize(in.width, in.height);
    dst.SetSize(out.width, out.height);
    FillPattern(src);
    FramePipeline pipeline(set);
    const ZoomedPaint paint = FullPaint(out, zoom, smooth);
    Pen pen;
    const auto render = [&] {
        if (overlays)
            pipeline.Render(src, dst, pen, paint);
        else
            pipeline.Scale(src, dst, paint);
        benchmark::ClobberMemory();
    };
    render();
    for (auto _ : state)
        render();
    state.SetLabel(pipeline.KernelName());
}

} // namespace

int main(int argc, char** argv) {
    const std::optional<lupenta::KernelSet> measured = KernelsToMeasure();
    if (!measured)
        return 2;
    const lupenta::KernelSet set = *measured;
    benchmark::AddCustomContext("kernels", lupenta::ChooseFrameKernels(set).name);
    benchmark::AddCustomContext("kernels_chosen",
                                lupenta::ChooseFrameKernels(lupenta::KernelSet::Best).name);
    using Kernel = std::function<void(benchmark::State&, Size, int)>;
    const std::pair<const char*, Kernel> kernels[] = {
        {"floor_memset", FloorMemset},
        {"floor_memcpy", FloorMemcpy},
        {"pixman_nearest",
         [](benchmark::State& s, Size o, int z) { PixmanScale(s, o, z, PIXMAN_FILTER_NEAREST); }},
        {"pixman_bilinear",
         [](benchmark::State& s, Size o, int z) { PixmanScale(s, o, z, PIXMAN_FILTER_BILINEAR); }},
        {"scale_replicate",
         [set](benchmark::State& s, Size o, int z) { Pipeline(s, set, o, z, false, false); }},
        {"pipeline_replicate",
         [set](benchmark::State& s, Size o, int z) { Pipeline(s, set, o, z, false, true); }},
        {"pipeline_smooth",
         [set](benchmark::State& s, Size o, int z) { Pipeline(s, set, o, z, true, true); }},
    };
    // Size and zoom outermost, so each group of kernels runs back to back under the same load.
    for (const Size& size : kSizes)
        for (int zoom : kZooms)
            for (const auto& [name, kernel] : kernels) {
                const std::string label = std::string(name) + "/" + std::to_string(size.width) +
                                          "x" + std::to_string(size.height) + "/z" +
                                          std::to_string(zoom);
                benchmark::RegisterBenchmark(
                    label.c_str(),
                    [kernel = kernel, size, zoom](benchmark::State& s) { kernel(s, size, zoom); })
                    ->Unit(benchmark::kMicrosecond)
                    ->UseRealTime();
            }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
