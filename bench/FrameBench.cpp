#include "platform/Bitmap24.h"
#include "view/FrameOps.h"

#include <benchmark/benchmark.h>

#include <cstring>

namespace {

using lupenta::Bitmap24;

void FillPattern(Bitmap24& frame) {
    for (int y = 0; y < frame.Height(); ++y)
        for (int x = 0; x < frame.Width() * 3; ++x)
            frame.Row(y)[x] = static_cast<std::uint8_t>(x * 7 + y * 13);
}

void ScaleReplicate(benchmark::State& state, int width, int height, int zoom) {
    Bitmap24 src;
    Bitmap24 dst;
    src.SetSize(width / zoom + 1, height / zoom + 1);
    dst.SetSize(width, height);
    FillPattern(src);
    for (auto _ : state) {
        lupenta::ScaleReplicate(src, dst, zoom);
        benchmark::DoNotOptimize(dst.Row(0));
    }
}

} // namespace

BENCHMARK_CAPTURE(ScaleReplicate, 1920x1080 / z4, 1920, 1080, 4)
    ->Name("scale_replicate/1920x1080/z4");

BENCHMARK_MAIN();
