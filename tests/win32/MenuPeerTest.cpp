#include "win32/MenuPeer.h"
#include "main/fmMagnifier.h"
#include "support/FakeDesktop.h"
#include "win32/Text.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <windows.h>

namespace lupenta::win32 {
namespace {

struct MenuEntry {
    std::string text;
    UINT state;
    UINT id;
    HMENU submenu;
};

MenuEntry EntryAt(HMENU menu, int position) {
    wchar_t text[256] = {};
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_STRING | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_FTYPE;
    info.dwTypeData = text;
    info.cch = 255;
    EXPECT_TRUE(GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &info));
    return {(info.fType & MFT_SEPARATOR) ? "-" : Narrow(text), info.fState, info.wID,
            info.hSubMenu};
}

class MenuPeerTest : public ::testing::Test {
protected:
    MenuPeerTest() { menu = BuildPopupMenu(form.mnuMain.Items(), commands); }
    ~MenuPeerTest() override { DestroyMenu(menu); }

    // The entry whose text starts with `caption`, at the top level.
    MenuEntry Find(const std::string& caption) {
        for (int i = 0; i < GetMenuItemCount(menu); ++i) {
            MenuEntry entry = EntryAt(menu, i);
            if (entry.text.rfind(caption, 0) == 0)
                return entry;
        }
        ADD_FAILURE() << caption << " not in the menu";
        return {};
    }

    testing::FakeDesktop desktop;
    Tfrmmain form{desktop};
    std::vector<ui::TMenuItem*> commands;
    HMENU menu = nullptr;
};

TEST_F(MenuPeerTest, TopLevelFollowsTheModelInOrder) {
    ASSERT_EQ(GetMenuItemCount(menu), static_cast<int>(form.mnuMain.Items().size()));
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        const ui::TMenuItem& item = *form.mnuMain.Items()[static_cast<std::size_t>(i)];
        const std::string text = EntryAt(menu, i).text;
        EXPECT_EQ(text.substr(0, text.find('\t')), item.Caption.Get()) << i;
    }
}

TEST_F(MenuPeerTest, ShortcutsStandBesideTheirCaptions) {
    EXPECT_EQ(Find("Invert Image").text, "Invert Image\tCtrl+Alt+I");
    EXPECT_EQ(Find("Stay On Top").text, "Stay On Top\tCtrl+Alt+Space");
    EXPECT_EQ(Find("Show Help").text, "Show Help\tF1");
    EXPECT_EQ(Find("Exit").text, "Exit\tAlt+F4");
}

TEST_F(MenuPeerTest, ChecksAndDisabledItemsShow) {
    form.AboutLupenta1.Enabled = false;
    DestroyMenu(menu);
    commands.clear();
    menu = BuildPopupMenu(form.mnuMain.Items(), commands);
    EXPECT_TRUE(Find("Show Cursor").state & MFS_CHECKED);
    EXPECT_FALSE(Find("Invert Image").state & MFS_CHECKED);
    EXPECT_TRUE(Find("About Lupenta").state & MFS_GRAYED);
}

TEST_F(MenuPeerTest, HiddenItemsAreLeftOutOfSubmenus) {
    const MenuEntry rates = Find("Update Frequency");
    ASSERT_NE(rates.submenu, nullptr);
    ASSERT_EQ(GetMenuItemCount(rates.submenu), 3);
    EXPECT_EQ(EntryAt(rates.submenu, 0).text, "10 x per second : Low");
    EXPECT_EQ(EntryAt(rates.submenu, 2).text, "60 x per second : High");
}

TEST_F(MenuPeerTest, CommandIdsLeadBackToTheirItems) {
    for (ui::TMenuItem* item : {&form.InvertImage1, &form.Exit1, &form.N60xpersecond1}) {
        const auto found = std::find(commands.begin(), commands.end(), item);
        ASSERT_NE(found, commands.end()) << item->Name();
        const UINT id = static_cast<UINT>(found - commands.begin()) + 1;
        wchar_t text[128] = {};
        ASSERT_GT(GetMenuStringW(menu, id, text, 128, MF_BYCOMMAND), 0) << item->Name();
        EXPECT_EQ(Narrow(text).substr(0, item->Caption.Get().size()), item->Caption.Get());
    }
    const std::string separator = Find("-").text;
    EXPECT_EQ(separator, "-");
}

} // namespace
} // namespace lupenta::win32
