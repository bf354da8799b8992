// Any reply to the version request: the reading finds at most a short value without quotes or
// line breaks, and the comparison of versions is an order (no version is newer than itself,
// and of two versions at most one is newer than the other).

#include "Require.h"
#include "update/VersionCheck.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace lupenta::fuzz {
namespace {

std::size_t Characters(std::string_view text) {
    std::size_t count = 0;
    for (char c : text)
        count += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return count;
}

void RequireValue(const std::string& value) {
    Require(value.find_first_of("\"\r\n") == std::string::npos,
            "a value holds no quote and no line break");
    Require(Characters(value) <= 254, "a value is at most 254 characters");
}

bool Newer(std::string_view program, std::string_view online) {
    return CompareVersions(program, online) != UpdateKind::UpToDate;
}

} // namespace
} // namespace lupenta::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace lupenta;
    using namespace lupenta::fuzz;
    const std::string_view reply(reinterpret_cast<const char*>(data), size);

    if (const std::optional<UpdateOutcome> outcome = ReadVersionFile(reply, "15.0")) {
        RequireValue(outcome->onlineVersion);
        for (const std::string& feature : outcome->features)
            RequireValue(feature);
        Require(outcome->kind == CompareVersions("15.0", outcome->onlineVersion),
                "the outcome is the comparison of the two versions");
    }

    // The reply's first two lines as two versions.
    const std::vector<std::string> lines = SplitLines(reply);
    const std::string a = lines.empty() ? "" : lines[0];
    const std::string b = lines.size() < 2 ? "" : lines[1];
    Require(!Newer(a, a), "no version is newer than itself");
    Require(!(Newer(a, b) && Newer(b, a)), "of two versions at most one is newer");
    return 0;
}
