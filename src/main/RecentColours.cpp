#include "main/RecentColours.h"

#include "main/Readout.h"

#include <algorithm>
#include <optional>

namespace lupenta {

namespace {

std::optional<int> HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return std::nullopt;
}

std::string_view TrimmedBlanks(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

// "RRGGBB" to a colour.
std::optional<Colour> ParsedEntry(std::string_view entry) {
    entry = TrimmedBlanks(entry);
    if (entry.size() != 6)
        return std::nullopt;
    int channels[3];
    for (int i = 0; i < 3; ++i) {
        const auto high = HexDigit(entry[2 * i]);
        const auto low = HexDigit(entry[2 * i + 1]);
        if (!high || !low)
            return std::nullopt;
        channels[i] = *high * 16 + *low;
    }
    return MakeColour(channels[0], channels[1], channels[2]);
}

} // namespace

void RecentColours::Add(Colour colour) {
    const auto found = std::find(colours_.begin(), colours_.end(), colour);
    if (found != colours_.end())
        colours_.erase(found);
    colours_.insert(colours_.begin(), colour);
    if (colours_.size() > kCapacity)
        colours_.resize(kCapacity);
}

std::string RecentColours::Text() const {
    std::string text;
    for (Colour colour : colours_) {
        if (!text.empty())
            text += ',';
        text += ColourText(colour, true).substr(1);
    }
    return text;
}

RecentColours RecentColours::FromText(std::string_view text) {
    RecentColours recent;
    while (recent.colours_.size() < kCapacity && !text.empty()) {
        const std::size_t comma = text.find(',');
        const auto colour = ParsedEntry(text.substr(0, comma));
        text.remove_prefix(comma == std::string_view::npos ? text.size() : comma + 1);
        if (colour && std::find(recent.colours_.begin(), recent.colours_.end(), *colour) ==
                          recent.colours_.end())
            recent.colours_.push_back(*colour);
    }
    return recent;
}

} // namespace lupenta
