#include "app/CommandLine.h"

#include "platform/AsciiText.h"

#include <charconv>
#include <optional>
#include <string_view>

namespace lupenta {

namespace {

constexpr std::string_view kTransparentPrefix = "/transparent:";

std::optional<int> ParseInteger(std::string_view text) {
    // from_chars takes a minus but not a plus, so "+-5" must not reach it as "-5".
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (text.empty() || text.front() < '0' || text.front() > '9')
            return std::nullopt;
    }
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value, 10);
    if (error != std::errc() || stop != end)
        return std::nullopt;
    return value;
}

int IntegerOrZero(std::string_view text) {
    return ParseInteger(text).value_or(0);
}

// The text after the first `count` characters. Arguments are UTF-8, and a separator such as a
// no-break space takes more than one byte.
std::string_view AfterCharacters(std::string_view text, int count) {
    const auto continuation = [](char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; };
    std::size_t at = 0;
    for (; count > 0 && at < text.size(); --count) {
        ++at;
        while (at < text.size() && continuation(text[at]))
            ++at;
    }
    return text.substr(at);
}

} // namespace

StartupRequests ParseStartupSwitches(const std::vector<std::string>& arguments) {
    StartupRequests requests;
    for (const std::string& argument : arguments) {
        const std::string lower = AsciiLower(argument);
        if (lower == "/allowclose")
            requests.allowClose = true;
        else if (lower == "/autostart")
            requests.startHidden = true;
        else if (lower == "/notray")
            requests.noTray = true;
        else if (lower.starts_with(kTransparentPrefix))
            requests.opacity =
                IntegerOrZero(std::string_view(lower).substr(kTransparentPrefix.size()));
    }
    // With no tray icon to hide into, closing ends the program and the window starts on screen.
    if (requests.noTray) {
        requests.allowClose = true;
        requests.startHidden = false;
    }
    return requests;
}

void ReadCoordinateArguments(const std::vector<std::string>& arguments, int& offsetx,
                             int& offsety) {
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string_view argument = arguments[i];
        if (argument.empty())
            continue;
        const std::string_view number = AfterCharacters(argument, 2);
        const char first = AsciiLower(argument.front());
        if (first == 'x')
            offsetx = IntegerOrZero(number);
        if (first == 'y')
            offsety = IntegerOrZero(number);
    }
}

} // namespace lupenta
