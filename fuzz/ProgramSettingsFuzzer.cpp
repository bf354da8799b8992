// The whole program started on any settings file: it builds, shows, ticks and paints with the
// pointer in three places and the fixed location on, closes, and writes a file that starts it
// again the same way.

#include "Require.h"
#include "app/Program.h"
#include "support/FakeDesktop.h"
#include "support/FakeFileSystem.h"
#include "support/FakeFormWindow.h"
#include "support/FakeRunKey.h"
#include "support/FakeView.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace lupenta::fuzz {
namespace {

const std::string kIni = "C:\\Program Files\\Lupenta\\Lupenta.ini";

// A start, a few ticks and paints, and the end through "Exit". Returns the main window's state
// after its first show, as text, to compare two starts.
std::string Run(testing::FakeDesktop& desktop, testing::FakeFileSystem& files) {
    testing::FakeFormWindow window;
    testing::FakeRunKey runKey;
    testing::FakeViewPeer surface;
    std::string state;
    {
        Program program(desktop, files, window);
        program.Create({}, runKey);
        program.form.ClientResized(200, 150);
        program.Show();
        program.form.SetVisible(true);
        TImageView& view = *program.form.imageview1;
        state = std::to_string(view.Zoom()) + " " + std::to_string(view.Gridlevel()) + " " +
                std::to_string(program.form.memX) + " " + std::to_string(program.form.memY) + " " +
                std::to_string(program.form.Timer1.Interval) + (view.Invert() ? " inverted" : "") +
                (program.form.showtitle ? " titled" : "") + " recent " +
                program.form.recentcolours.Text();
        for (const Point pointer : {Point{1000, 500}, Point{0, 0}, Point{1919, 1079}}) {
            desktop.pointer = pointer;
            program.form.Timer1Timer();
            view.Paint(surface);
            program.form.Timer1Timer();
        }
        program.form.FixedLocation1.Checked = !program.form.FixedLocation1.Checked;
        program.form.Timer1Timer();
        view.Paint(surface);
        program.form.FixedLocation1.Checked = !program.form.FixedLocation1.Checked;
        // A colour copied in every run is already the newest, so the list the next run reads
        // is the one this run read.
        program.form.mnuColorDisplay.Popup(0, 0);
        if (!program.form.recentcolours.Colours().empty())
            program.form.mnuRecentColors.Items().front()->Click();
        program.form.Exit1Click();
        if (program.CloseQuery()) {
            window.visible = false;
            program.form.SetVisible(false);
            program.Destroy();
        }
    }
    return state;
}

} // namespace
} // namespace lupenta::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace lupenta;
    using namespace lupenta::fuzz;
    testing::FakeDesktop desktop;
    testing::FakeFileSystem files;
    files.files[kIni] = std::string(reinterpret_cast<const char*>(data), size);
    Run(desktop, files);
    const std::string first = Run(desktop, files);
    Require(Run(desktop, files) == first, "a start on the file the program wrote starts the same");
    return 0;
}
