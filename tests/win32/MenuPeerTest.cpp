#include "win32/MenuPeer.h"
#include "main/fmMagnifier.h"
#include "support/FakeDesktop.h"
#include "win32/Handles.h"
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
    MenuPeerTest() { Build(form.mnuMain); }

    void Build(ui::TPopupMenu& model) {
        built = BuildPopupMenu(model.Items());
        menu = built.menu.get();
        commands = built.commands;
    }

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
    BuiltMenu built;
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
    Build(form.mnuMain);
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

// The colour at a point of an item's bitmap.
Colour BitmapPixel(HBITMAP bitmap, int x, int y) {
    const UniqueMemoryDc dc;
    const SelectGuard selected(dc.get(), bitmap);
    return GetPixel(dc.get(), x, y);
}

TEST_F(MenuPeerTest, RecentColoursShowTheirSwatchesNewestFirst) {
    const Colour orange = MakeColour(255, 128, 0);
    form.recentcolours.Add(orange);
    form.recentcolours.Add(kWhite);
    form.mnuColorDisplay.Popup(0, 0); // no peer: the items are only brought up to date
    Build(form.mnuColorDisplay);

    const MenuEntry recent = EntryAt(menu, 2);
    ASSERT_EQ(recent.text, "Recent Colors");
    ASSERT_NE(recent.submenu, nullptr);
    ASSERT_EQ(GetMenuItemCount(recent.submenu), 2);
    EXPECT_EQ(built.swatches.size(), 2u);
    const struct {
        const char* text;
        Colour colour;
    } expected[] = {{"RGB : 255,255,255", kWhite}, {"RGB : 255,128,0", orange}};
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(EntryAt(recent.submenu, i).text, expected[i].text);
        MENUITEMINFOW info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_BITMAP;
        ASSERT_TRUE(GetMenuItemInfoW(recent.submenu, static_cast<UINT>(i), TRUE, &info));
        ASSERT_NE(info.hbmpItem, nullptr);
        BITMAP size{};
        ASSERT_TRUE(GetObjectW(info.hbmpItem, sizeof(size), &size));
        EXPECT_GE(size.bmWidth, 12);
        EXPECT_EQ(BitmapPixel(info.hbmpItem, size.bmWidth / 2, size.bmHeight / 2),
                  expected[i].colour);
        // The frame sets even a white swatch off against a light menu.
        EXPECT_EQ(BitmapPixel(info.hbmpItem, 0, 0), MakeColour(64, 64, 64));
    }
}

TEST_F(MenuPeerTest, RecentColorsIsGreyedUntilAColourIsCopied) {
    form.mnuColorDisplay.Popup(0, 0);
    Build(form.mnuColorDisplay);
    const MenuEntry recent = EntryAt(menu, 2);
    EXPECT_EQ(recent.text, "Recent Colors");
    EXPECT_EQ(recent.submenu, nullptr);
    EXPECT_TRUE(recent.state & MFS_GRAYED);
    EXPECT_TRUE(built.swatches.empty());
}

} // namespace
} // namespace lupenta::win32
