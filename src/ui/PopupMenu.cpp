#include "ui/PopupMenu.h"

namespace lupenta::ui {

namespace {

TMenuItem* FindShortCut(const std::vector<TMenuItem*>& items, std::uint16_t shortcut) {
    for (TMenuItem* item : items) {
        if (!item->Visible || !item->Enabled)
            continue;
        if (item->ShortCut == shortcut)
            return item;
        if (TMenuItem* inner = FindShortCut(item->Items(), shortcut))
            return inner;
    }
    return nullptr;
}

} // namespace

bool TPopupMenu::DispatchShortCut(std::uint16_t shortcut) {
    if (shortcut == 0)
        return false;
    TMenuItem* item = FindShortCut(Items(), shortcut);
    if (!item)
        return false;
    item->Click();
    return true;
}

} // namespace lupenta::ui
