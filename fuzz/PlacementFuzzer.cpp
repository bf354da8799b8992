// The stored window placement, any texts under its keys: the restore applies only a rectangle
// that lies on the screen, and a placement it applied comes back unchanged from a save and a
// second restore.

#include "Require.h"
#include "settings/FormStorage.h"
#include "support/FakeFileSystem.h"
#include "support/FakeFormWindow.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace lupenta::fuzz {
namespace {

// Input lines, in order, are the texts of these keys; a missing line leaves its key out.
const char* const kPlacementKeys[] = {
    "NormPos", "MinMaxPos",     "NormPos(1920x1080)", "MinMaxPos(1920x1080)",
    "Flags",   "PixelsPerInch", "FormVersion"};

bool OnScreen(const ScreenMetrics& screen, Point p) {
    return std::any_of(screen.monitors.begin(), screen.monitors.end(),
                       [&](const Rect& monitor) { return monitor.Contains(p); });
}

} // namespace
} // namespace lupenta::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace lupenta;
    using namespace lupenta::fuzz;
    std::string_view input(reinterpret_cast<const char*>(data), size);

    testing::FakeFileSystem files;
    TSettingsStore store(files);
    store.FlushOnDestroy = false;
    for (const char* key : kPlacementKeys) {
        if (input.empty())
            break;
        const std::size_t end = std::min(input.find('\n'), input.size());
        store.WriteString(key, input.substr(0, end));
        input.remove_prefix(std::min(end + 1, input.size()));
    }

    testing::FakeFormWindow window;
    window.screen.monitors.push_back(Rect{-1280, 0, 0, 1024});
    TFormStorage storage(window, "frmmain");
    storage.SetAppStorage(&store);
    storage.SetAppStoragePath("..\\");
    try {
        storage.RestoreFormPlacement();
    } catch (const ConversionError&) {
        return 0;
    }
    if (window.applied.empty())
        return 0;
    const Rect r = window.applied.back().normalPosition;
    Require(r.left < r.right && r.top < r.bottom, "an applied rectangle is not empty");
    Require(OnScreen(window.screen, {r.left, r.top}) &&
                OnScreen(window.screen, {r.right - 1, r.bottom - 1}),
            "an applied rectangle has both corners on a monitor");

    storage.SaveFormPlacement();
    testing::FakeFormWindow again;
    again.screen = window.screen;
    TFormStorage restore(again, "frmmain");
    restore.SetAppStorage(&store);
    restore.SetAppStoragePath("..\\");
    restore.RestoreFormPlacement();
    Require(again.applied.size() == 1, "a saved placement is applied again");
    WindowPlacement expected = window.applied.back();
    expected.showCmd = again.applied.back().showCmd;
    Require(again.applied.back() == expected, "a saved placement comes back unchanged");
    return 0;
}
