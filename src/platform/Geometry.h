#pragma once

// Coordinates are physical pixels of the virtual desktop. Rectangles include their left and
// top edges and exclude their right and bottom edges. Integer division truncates toward zero
// and the remainder takes the sign of the dividend, which is what C++ `/` and `%` do: the
// sampling and drawing arithmetic relies on exactly that, so never "fix" it with floor.

#include <cstdint>

namespace lupenta {

struct Point {
    int x = 0;
    int y = 0;

    friend bool operator==(const Point&, const Point&) = default;
};

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool Contains(Point p) const {
        return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
    }
    bool Overlaps(const Rect& o) const {
        return right > o.left && left < o.right && bottom > o.top && top < o.bottom;
    }

    static Rect FromSize(int left, int top, int width, int height) {
        return {left, top, left + width, top + height};
    }

    friend bool operator==(const Rect&, const Rect&) = default;
};

// 0x00BBGGRR: red in the low byte.
using Colour = std::uint32_t;

constexpr Colour MakeColour(int red, int green, int blue) {
    return static_cast<Colour>(red & 0xFF) | static_cast<Colour>(green & 0xFF) << 8 |
           static_cast<Colour>(blue & 0xFF) << 16;
}
constexpr int RedOf(Colour c) {
    return static_cast<int>(c & 0xFF);
}
constexpr int GreenOf(Colour c) {
    return static_cast<int>((c >> 8) & 0xFF);
}
constexpr int BlueOf(Colour c) {
    return static_cast<int>((c >> 16) & 0xFF);
}

enum class MouseButton { Left, Right, Middle };

constexpr Colour kBlack = 0x000000;
constexpr Colour kWhite = 0xFFFFFF;
constexpr Colour kRed = 0x0000FF;
constexpr Colour kSilver = 0xC0C0C0;
constexpr Colour kGreen = 0x008000;

// A colour the system chooses, by its index in the system's colour scheme: the high byte 0xFF
// marks it, so a user's own or high-contrast scheme reaches whatever is drawn in it.
constexpr Colour SystemColour(int index) {
    return 0xFF000000u | static_cast<Colour>(index);
}
constexpr bool IsSystemColour(Colour c) {
    return (c >> 24) == 0xFF;
}
constexpr int SystemColourIndex(Colour c) {
    return static_cast<int>(c & 0xFF);
}
constexpr Colour kHighlightText = SystemColour(14);

} // namespace lupenta
