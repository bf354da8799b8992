#include "platform/AsciiText.h"

#include <algorithm>

namespace lupenta {

std::string AsciiLower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower)
        c = AsciiLower(c);
    return lower;
}

bool SameText(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return AsciiUpper(x) == AsciiUpper(y);
           });
}

std::size_t FindIgnoringAsciiCase(std::string_view text, std::string_view upperNeedle) {
    if (upperNeedle.size() > text.size())
        return std::string_view::npos;
    for (std::size_t at = 0; at + upperNeedle.size() <= text.size(); ++at) {
        std::size_t i = 0;
        while (i < upperNeedle.size() && AsciiUpper(text[at + i]) == upperNeedle[i])
            ++i;
        if (i == upperNeedle.size())
            return at;
    }
    return std::string_view::npos;
}

std::string_view TrimLeft(std::string_view s) {
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    return s;
}

std::string_view TrimRight(std::string_view s) {
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

std::string_view Trim(std::string_view s) {
    return TrimRight(TrimLeft(s));
}

} // namespace lupenta
