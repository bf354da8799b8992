#pragma once

// Letter case and blanks the way the program's own names and the files it reads need them:
// every name, key and marker the program looks for is spelt in ASCII, where ASCII folding and
// any locale's folding agree.

#include <cstddef>
#include <string>
#include <string_view>

namespace lupenta {

constexpr char AsciiUpper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

constexpr char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string AsciiLower(std::string_view text);

// Equal but for the letter case of ASCII letters.
bool SameText(std::string_view a, std::string_view b);

// Where `upperNeedle`, written in capitals, first occurs in `text` in any letter case.
std::size_t FindIgnoringAsciiCase(std::string_view text, std::string_view upperNeedle);

// Blanks are the space and every control character.
constexpr bool IsBlank(char c) {
    return static_cast<unsigned char>(c) <= 32;
}

std::string_view TrimLeft(std::string_view s);
std::string_view TrimRight(std::string_view s);
std::string_view Trim(std::string_view s);

} // namespace lupenta
