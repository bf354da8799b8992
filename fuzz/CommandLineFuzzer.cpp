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

// The length of the well-formed UTF-8 character at the start of `text`, or 0. Arguments come
// from the platform's UTF-16 command line, so they are always well formed.
std::size_t FirstCharacter(std::string_view text) {
    if (text.empty())
        return 0;
    const auto lead = static_cast<unsigned char>(text[0]);
    const std::size_t length = lead < 0x80                   ? 1
                               : lead >= 0xC2 && lead < 0xE0 ? 2
                               : lead >= 0xE0 && lead < 0xF0 ? 3
                               : lead >= 0xF0 && lead < 0xF5 ? 4
                                                             : 0;
    if (length == 0 || length > text.size())
        return 0;
    for (std::size_t i = 1; i < length; ++i)
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80)
            return 0;
    return length;
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
        const std::size_t separator = FirstCharacter(word);
        if (separator == 0)
            continue;
        const std::string number = std::to_string(static_cast<int>(word.size()) * 7919 - 40000);
        int x = 0;
        int y = 0;
        ReadCoordinateArguments({arguments[0], "X" + word.substr(0, separator) + number}, x, y);
        Require(x == std::stoi(number), "the number follows a separator of one character");
    }
    return 0;
}
