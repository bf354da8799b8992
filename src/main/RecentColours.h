#pragma once

#include "platform/Geometry.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace lupenta {

// The colours last copied, newest first. A colour copied again moves to the front instead of
// standing in the list twice, so the list always offers as many different colours as it can.
class RecentColours {
public:
    static constexpr std::size_t kCapacity = 10;

    void Add(Colour colour);
    const std::vector<Colour>& Colours() const { return colours_; }

    // The settings text: "FF8000,00FF00", six hexadecimal digits per colour, newest first.
    std::string Text() const;
    // Reads a settings text of any bytes: an entry that is not six hexadecimal digits (blanks
    // around it aside) is skipped, as are repeats and entries beyond the capacity.
    static RecentColours FromText(std::string_view text);

private:
    std::vector<Colour> colours_;
};

} // namespace lupenta
