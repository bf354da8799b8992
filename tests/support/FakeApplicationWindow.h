#pragma once

#include "tray/TrayIcon.h"

#include <string>
#include <vector>

namespace lupenta::testing {

// A main window as the window manager keeps it: shown or hidden, and minimised or not, each
// independent of the other. Every call is logged by name.
class FakeApplicationWindow : public ApplicationWindow {
public:
    bool visible = true;
    bool iconic = false;
    std::vector<std::string> calls;

    bool IsVisible() override { return visible; }
    bool IsIconic() override { return iconic; }
    void Hide() override {
        calls.push_back("Hide");
        visible = false;
    }
    void Show() override {
        calls.push_back("Show");
        visible = true;
    }
    void Restore() override {
        calls.push_back("Restore");
        visible = true;
        iconic = false;
    }
    void Activate() override { calls.push_back("Activate"); }
};

} // namespace lupenta::testing
