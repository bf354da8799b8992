#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace lupenta {

// Index of the zoom list (and of the zoom menu items) to zoom factor.
constexpr std::array<std::uint16_t, 16> ZoomFactors{1,  2,  3,  4,  5,  6,  8,  10,
                                                    12, 16, 20, 24, 28, 32, 36, 40};

// The factor at a list index; 1 for an index outside the list (an empty selection).
constexpr std::uint16_t ZoomFactorAt(int index) {
    return index >= 0 && index < static_cast<int>(ZoomFactors.size()) ? ZoomFactors[index] : 1;
}

// The list index of a factor, or -1 when the list does not offer it.
constexpr int ZoomIndexOf(int factor) {
    for (int i = 0; i < static_cast<int>(ZoomFactors.size()); ++i)
        if (ZoomFactors[i] == factor)
            return i;
    return -1;
}

// "Zoom 8×": the caption of a zoom list entry and of a zoom menu item.
inline std::string ZoomCaption(int factor) {
    return std::string("Zoom ").append(std::to_string(factor)).append("\u00D7");
}

} // namespace lupenta
