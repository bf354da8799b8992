#include "ui/MenuItem.h"

namespace lupenta::ui {

namespace {

std::string KeyName(int key) {
    if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z'))
        return std::string(1, static_cast<char>(key));
    if (key >= 0x70 && key <= 0x87)
        return std::string("F").append(std::to_string(key - 0x70 + 1));
    switch (key) {
    case 0x20:
        return "Space";
    case 0x0D:
        return "Enter";
    case 0x1B:
        return "Esc";
    case 0x2E:
        return "Del";
    default:
        return std::string("#").append(std::to_string(key));
    }
}

} // namespace

std::string ShortCutToText(std::uint16_t shortcut) {
    if (shortcut == 0)
        return {};
    std::string text;
    if (shortcut & kShift)
        text += "Shift+";
    if (shortcut & kCtrl)
        text += "Ctrl+";
    if (shortcut & kAlt)
        text += "Alt+";
    return text.append(KeyName(shortcut & 0xFF));
}

} // namespace lupenta::ui
