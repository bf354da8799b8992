#include "view/ScreenFrame.h"

namespace lupenta {

void WidenFrame(const Bitmap24& frame, std::uint8_t* out, std::ptrdiff_t stride, KernelSet set) {
    const FrameKernels& kernels = ChooseFrameKernels(set);
    const auto widen = kernels.widenRow ? kernels.widenRow : PortableFrameKernels().widenRow;
    for (int y = 0; y < frame.Height(); ++y)
        widen(frame.Row(y), frame.Width(), out + y * stride);
}

} // namespace lupenta
