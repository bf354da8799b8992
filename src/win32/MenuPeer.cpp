#include "win32/MenuPeer.h"

#include "win32/Handles.h"
#include "win32/Text.h"

#include <vector>

namespace lupenta::win32 {

namespace {

// Command ids start above 0, which TrackPopupMenu returns when nothing was chosen.
void AppendItems(HMENU menu, const std::vector<ui::TMenuItem*>& items,
                 std::vector<ui::TMenuItem*>& commands) {
    for (ui::TMenuItem* item : items) {
        if (!item->Visible)
            continue;
        if (item->IsSeparator()) {
            AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        std::string text = item->Caption;
        if (item->ShortCut != 0)
            text.append("\t").append(ui::ShortCutToText(item->ShortCut));
        UINT flags = MF_STRING;
        if (item->Checked)
            flags |= MF_CHECKED;
        if (!item->Enabled)
            flags |= MF_GRAYED;
        if (!item->Items().empty()) {
            if (HMENU submenu = BuildPopupMenu(item->Items(), commands))
                if (!AppendMenuW(menu, flags | MF_POPUP, reinterpret_cast<UINT_PTR>(submenu),
                                 Widen(text).c_str()))
                    DestroyMenu(submenu);
            continue;
        }
        commands.push_back(item);
        AppendMenuW(menu, flags, commands.size(), Widen(text).c_str());
    }
}

} // namespace

HMENU BuildPopupMenu(const std::vector<ui::TMenuItem*>& items,
                     std::vector<ui::TMenuItem*>& commands) {
    UniqueMenu menu(CreatePopupMenu());
    if (menu)
        AppendItems(menu.get(), items, commands);
    return menu.release();
}

void MenuPeer::Popup(ui::TPopupMenu& menu, int x, int y) {
    std::vector<ui::TMenuItem*> commands;
    UINT chosen = 0;
    {
        const UniqueMenu handle(BuildPopupMenu(menu.Items(), commands));
        if (!handle)
            return;
        // A popup menu closes properly when clicked away only if its owner is in front.
        SetForegroundWindow(owner_);
        chosen = static_cast<UINT>(TrackPopupMenu(handle.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON, x,
                                                  y, 0, owner_, nullptr));
    }
    PostMessageW(owner_, WM_NULL, 0, 0);
    if (chosen > 0 && chosen <= commands.size())
        commands[chosen - 1]->Click();
}

} // namespace lupenta::win32
