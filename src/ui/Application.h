#pragma once

#include "platform/Desktop.h"

#include <string>

namespace lupenta::ui {

// The settings that belong to the program as a whole and are made before its main window
// exists. The title is what the task-bar button shows while the main window's caption carries
// the version, and it is the caption of every message box that has none of its own.
struct TApplication {
    std::string Title;
    // Named as the program's help file; no command opens it, as Help opens a web page.
    std::string HelpFile;

    // A plain message box: one OK button and the application's title as caption.
    void ShowMessage(Desktop& desktop, const std::string& text, MessageIcon icon,
                     bool centred) const {
        desktop.ShowMessage(text, Title, icon, centred);
    }
};

inline const TApplication Application{"Lupenta", "Lupenta.chm"};

} // namespace lupenta::ui
