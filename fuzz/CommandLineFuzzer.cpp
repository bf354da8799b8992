// Any command line, its words separated by NUL bytes: the switches come out consistent, and a
// coordinate argument reads the number after its first two characters, whatever bytes spell
// the separator.

#include "Require.h"
#include "app/CommandLine.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lupenta::fuzz {
namespace {

// The bytes of the character that starts at `at` in UTF-8 text.
std::size_t CharacterLength(std::string_view text, std::size_t at) {
    std::size_t end = at + 1;
    while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        ++end;
    return end - at;
}

} // namespace
} // namespace lupenta::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace lupenta;
    using namespace lupenta::fuzz;
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> arguments{"C:\\Program Files\\Lupenta\\Lupenta.exe"};
    for (std::size_t at = 0; at <= input.size();) {
        const std::size_t end = std::min(input.find('\0', at), input.size());
        arguments.emplace_back(input.substr(at, end - at));
        at = end + 1;
    }

    const StartupRequests requests = ParseStartupSwitches(arguments);
    if (requests.noTray)
        Require(requests.allowClose && !requests.startHidden,
                "without a tray closing ends the program and the window starts on screen");

    int offsetx = 11;
    int offsety = 13;
    ReadCoordinateArguments(arguments, offsetx, offsety);

    // Each word again as the number of an "x" argument, behind a separator of one character
    // taken from the word's own start: the number must come through whatever that character.
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string& word = arguments[i];
        if (word.empty())
            continue;
        const std::size_t separator = CharacterLength(word, 0);
        const std::string number = std::to_string(static_cast<int>(word.size()) * 7919 - 40000);
        int x = 0;
        int y = 0;
        ReadCoordinateArguments({arguments[0], "X" + word.substr(0, separator) + number}, x, y);
        Require(x == std::stoi(number), "the number follows a separator of one character");
    }
    return 0;
}
