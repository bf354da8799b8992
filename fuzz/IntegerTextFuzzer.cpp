// Integer and Boolean texts as the settings read them, against a second reading that works the
// other way round: it checks the digits first and compares the number as text with the limits.

#include "Require.h"
#include "settings/SettingsStore.h"
#include "support/FakeFileSystem.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

namespace lupenta::fuzz {
namespace {

std::optional<std::int64_t> ReadAsText(std::string_view text) {
    const std::size_t start = text.find_first_not_of(" \t");
    text.remove_prefix(start == std::string_view::npos ? text.size() : start);
    bool negative = false;
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    bool hex = false;
    for (std::string_view prefix : {"0x", "0X", "$", "x", "X"})
        if (text.starts_with(prefix)) {
            hex = true;
            text.remove_prefix(prefix.size());
            break;
        }
    const std::string_view digits = hex ? "0123456789abcdefABCDEF" : "0123456789";
    if (text.empty() || text.find_first_not_of(digits) != std::string_view::npos)
        return std::nullopt;
    const std::size_t significant = std::min(text.find_first_not_of('0'), text.size() - 1);
    text.remove_prefix(significant);
    std::string limit =
        hex ? (negative ? "80000000" : "7fffffff") : (negative ? "2147483648" : "2147483647");
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c; });
    if (lower.size() > limit.size() || (lower.size() == limit.size() && lower > limit))
        return std::nullopt;
    const std::int64_t magnitude = std::strtoll(lower.c_str(), nullptr, hex ? 16 : 10);
    return negative ? -magnitude : magnitude;
}

} // namespace
} // namespace lupenta::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace lupenta;
    using namespace lupenta::fuzz;
    const std::string text(reinterpret_cast<const char*>(data), size);

    const std::optional<std::int32_t> parsed = ParseIntegerText(text);
    const std::optional<std::int64_t> expected = ReadAsText(text);
    Require(parsed.has_value() == expected.has_value(),
            "the two readings agree on what is a number");
    if (parsed) {
        Require(*parsed == *expected, "the two readings agree on the number");
        Require(ParseIntegerText(std::to_string(*parsed)) == parsed, "a written number reads back");
    }

    // Through the store, as the settings read a value: the text is trimmed as a line of the file.
    testing::FakeFileSystem files;
    TSettingsStore store(files);
    store.FlushOnDestroy = false;
    store.WriteString("value", text);
    const std::string stored = store.ReadString("value", "");
    const std::optional<std::int32_t> number = ParseIntegerText(stored);
    try {
        const std::int32_t value = store.ReadInteger("value", -7);
        Require(stored.empty() ? value == 0 : number == value, "ReadInteger reads integer text");
    } catch (const ConversionError&) {
        Require(!stored.empty() && !number, "ReadInteger refuses only what is no integer");
    }
    try {
        const bool value = store.ReadBoolean("value", false);
        if (number)
            Require(value == (*number != 0), "a number is true when it is not 0");
    } catch (const ConversionError&) {
        Require(!stored.empty() && !number,
                "ReadBoolean refuses only what is no word and no number");
    }
    return 0;
}
