#include "view/PointerImage.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace lupenta {

namespace {

// The backgrounds the image is learnt over: black, white and noise. Black and white fix the
// effect; the noise checks it on values in between.
constexpr int kBackgrounds = 3;
constexpr int kNoise = 2;

// Noise that can be produced again row by row, so the background need not be kept to check
// what was drawn over it.
class Noise {
public:
    void Fill(std::uint8_t* bytes, int count) {
        for (int j = 0; j < count; j += 4) {
            state_ ^= state_ << 13;
            state_ ^= state_ >> 17;
            state_ ^= state_ << 5;
            std::memcpy(bytes + j, &state_, static_cast<std::size_t>(std::min(4, count - j)));
        }
    }

private:
    std::uint32_t state_ = 0x9E3779B9u;
};

void PaintBackground(Bitmap24& bitmap, int background) {
    Noise noise;
    const int bytes = bitmap.Width() * 3;
    for (int y = 0; y < bitmap.Height(); ++y) {
        if (background == kNoise)
            noise.Fill(bitmap.Row(y), bytes);
        else
            std::memset(bitmap.Row(y), background == 0 ? 0 : 0xFF, static_cast<std::size_t>(bytes));
    }
}

Rect Intersection(const Rect& a, const Rect& b) {
    const Rect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                 std::min(a.bottom, b.bottom)};
    return r.Width() > 0 && r.Height() > 0 ? r : Rect{};
}

std::uint8_t Masked(std::uint8_t b, std::uint8_t mask, std::uint8_t flip) {
    return static_cast<std::uint8_t>((b & mask) ^ flip);
}

// How GDI blends a premultiplied image over a background byte.
std::uint8_t Blended(std::uint8_t b, std::uint8_t over, std::uint8_t through) {
    return static_cast<std::uint8_t>(over + (b * through + 127) / 255);
}

// Unknown: neither a mask nor a blend gives what was drawn.
enum class Effect { None, Masked, Blend, Unknown };

// What the image does to one pixel, from the pixel of each background before and after the
// image was drawn over it, and the two bytes per channel that say so.
Effect EffectOf(const std::array<const std::uint8_t*, kBackgrounds>& before,
                const std::array<const std::uint8_t*, kBackgrounds>& after,
                std::uint8_t (&first)[3], std::uint8_t (&second)[3]) {
    auto fits = [&](auto effect) {
        for (int k = 0; k < kBackgrounds; ++k)
            for (int c = 0; c < 3; ++c)
                if (effect(before[k][c], c) != after[k][c])
                    return false;
        return true;
    };
    if (fits([](std::uint8_t b, int) { return b; }))
        return Effect::None;
    const std::uint8_t* black = after[0];
    const std::uint8_t* white = after[1];
    bool masks = true;
    bool blends = true;
    for (int c = 0; c < 3; ++c) {
        const std::uint8_t mask = black[c] ^ white[c];
        masks = masks && (mask == 0 || mask == 0xFF);
        blends = blends && white[c] >= black[c];
    }
    if (masks) {
        for (int c = 0; c < 3; ++c) {
            first[c] = black[c] ^ white[c];
            second[c] = black[c];
        }
        if (fits([&](std::uint8_t b, int c) { return Masked(b, first[c], second[c]); }))
            return Effect::Masked;
    }
    if (blends) {
        for (int c = 0; c < 3; ++c) {
            first[c] = black[c];
            second[c] = static_cast<std::uint8_t>(white[c] - black[c]);
        }
        if (fits([&](std::uint8_t b, int c) { return Blended(b, first[c], second[c]); }))
            return Effect::Blend;
    }
    return Effect::Unknown;
}

} // namespace

void PointerImage::Draw(const PointerShape& shape, Bitmap24& frame, const OverlayInput& in) {
    const Placement placement{shape.handle, PointerImageCorner(shape, in), PointerImageSize(in),
                              frame.Width(), frame.Height()};
    const auto known = std::find_if(learnt_.begin(), learnt_.end(), [&](const Learnt& image) {
        return image.placement == placement;
    });
    if (known != learnt_.end()) {
        std::rotate(learnt_.begin(), known, known + 1);
    } else {
        paintsSeen_ = placement == seen_ ? paintsSeen_ + 1 : 1;
        seen_ = placement;
        if (paintsSeen_ >= kPaintsToLearn)
            Learn(shape, placement);
    }
    applied_ =
        !learnt_.empty() && learnt_.front().placement == placement && learnt_.front().modelled;
    if (applied_)
        Apply(learnt_.front(), frame);
    else
        desktop_.DrawPointer(shape, frame, placement.at, placement.size);
}

void PointerImage::Learn(const PointerShape& shape, const Placement& placement) {
    if (learnt_.size() == kImagesKept)
        learnt_.pop_back();
    learnt_.insert(learnt_.begin(), Learnt{placement, false, {}, {}, {}});
    Learnt& image = learnt_.front();
    const Rect covered =
        Intersection(Rect::FromSize(placement.at.x, placement.at.y, placement.size, placement.size),
                     Rect::FromSize(0, 0, placement.frameWidth, placement.frameHeight));
    if (covered.Width() == 0) {
        image.modelled = true;
        return;
    }
    // Drawn into frames of the part the image covers, placed so that it is cut off where the
    // real frame cuts it off.
    const Point at{placement.at.x - covered.left, placement.at.y - covered.top};
    PixelAllocator& frames = desktop_.FrameAllocator();
    Bitmap24 drawn[kBackgrounds] = {Bitmap24(frames), Bitmap24(frames), Bitmap24(frames)};
    for (int k = 0; k < kBackgrounds; ++k) {
        drawn[k].SetSize(covered.Width(), covered.Height());
        PaintBackground(drawn[k], k);
        if (!desktop_.DrawPointer(shape, drawn[k], at, placement.size))
            return;
    }
    image.modelled = Model(covered, drawn, image);
}

bool PointerImage::Model(const Rect& covered, const Bitmap24 (&drawn)[kBackgrounds],
                         Learnt& image) {
    static constexpr std::uint8_t kBlack[3] = {0, 0, 0};
    static constexpr std::uint8_t kWhite[3] = {0xFF, 0xFF, 0xFF};
    Noise noise;
    std::vector<std::uint8_t> noiseRow(static_cast<std::size_t>(covered.Width()) * 3);
    for (int y = 0; y < covered.Height(); ++y) {
        noise.Fill(noiseRow.data(), covered.Width() * 3);
        Run run{covered.top + y, 0, 0, false, 0};
        auto close = [&] {
            if (run.count > 0)
                image.runs.push_back(run);
            run.count = 0;
        };
        for (int x = 0; x < covered.Width(); ++x) {
            const std::array<const std::uint8_t*, kBackgrounds> was = {kBlack, kWhite,
                                                                       noiseRow.data() + x * 3};
            std::array<const std::uint8_t*, kBackgrounds> is;
            for (int k = 0; k < kBackgrounds; ++k)
                is[k] = drawn[k].Row(y) + x * 3;
            std::uint8_t first[3];
            std::uint8_t second[3];
            const Effect effect = EffectOf(was, is, first, second);
            if (effect == Effect::Unknown)
                return false;
            if (effect == Effect::None || (run.count > 0 && run.blend != (effect == Effect::Blend)))
                close();
            if (effect == Effect::None)
                continue;
            if (run.count == 0) {
                run.x = covered.left + x;
                run.blend = effect == Effect::Blend;
                run.byte = image.first.size();
            }
            ++run.count;
            image.first.insert(image.first.end(), first, first + 3);
            image.second.insert(image.second.end(), second, second + 3);
        }
        close();
    }
    return true;
}

void PointerImage::Apply(const Learnt& image, Bitmap24& frame) {
    for (const Run& run : image.runs) {
        std::uint8_t* bytes = frame.Row(run.y) + static_cast<std::size_t>(run.x) * 3;
        const std::uint8_t* first = image.first.data() + run.byte;
        const std::uint8_t* second = image.second.data() + run.byte;
        const int count = run.count * 3;
        if (run.blend)
            for (int j = 0; j < count; ++j)
                bytes[j] = Blended(bytes[j], first[j], second[j]);
        else
            for (int j = 0; j < count; ++j)
                bytes[j] = Masked(bytes[j], first[j], second[j]);
    }
}

} // namespace lupenta
