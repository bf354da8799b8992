#include "dialogs/fmOptions.h"

#include <gtest/gtest.h>

#include <string>

namespace lupenta {
namespace {

TEST(OptionsTest, LayoutAndStartingValues) {
    TfrmOptions dialog;
    EXPECT_EQ(dialog.Caption, "Lupenta Options");
    ASSERT_EQ(dialog.PageControl1.Pages.size(), 3u);
    EXPECT_EQ(dialog.PageControl1.Pages[0]->Caption, "General");
    EXPECT_EQ(dialog.PageControl1.Pages[1]->Caption, "Displayed Items");
    EXPECT_EQ(dialog.PageControl1.Pages[2]->Caption, "Debug Data");
    EXPECT_EQ(dialog.PageControl1.ActivePageIndex.Get(), 0);
    EXPECT_EQ(dialog.ComboBox1.ItemIndex.Get(), 3);
    EXPECT_EQ(dialog.ComboBox1.Items()[3], "30 x per second");
    EXPECT_EQ(dialog.ComboBox1.Items().size(), 7u);
    for (const ui::TCheckBox* box : {&dialog.chkStay, &dialog.chkStartup, &dialog.chkShowPanel,
                                     &dialog.chkTop, &dialog.chkHide})
        EXPECT_FALSE(box->Checked.Get()) << box->Name();
    EXPECT_EQ(dialog.edtShortcut.Text.Get(), "edtShortcut");
    EXPECT_EQ(dialog.FHotKey, THotKeyData{});
    EXPECT_FALSE(dialog.KeyPreview);
}

TEST(OptionsTest, TheZoomLabelFollowsTheSliderFromTheStart) {
    TfrmOptions dialog;
    EXPECT_EQ(dialog.TrackBarZoom.Position.Get(), 0);
    EXPECT_EQ(dialog.lblZoom.Caption.Get(), "1x");
    const int zooms[] = {1, 2, 3, 4, 5, 6, 8, 10, 12, 16, 20, 24, 28, 32, 36, 40};
    for (int position = 0; position <= 15; ++position) {
        SCOPED_TRACE(position);
        dialog.TrackBarZoom.UserMoved(position);
        EXPECT_EQ(dialog.GetZoomFromTrackBar(), zooms[position]);
        EXPECT_EQ(dialog.lblZoom.Caption.Get(), std::to_string(zooms[position]) + "x");
    }
    dialog.TrackBarZoom.UserMoved(99);
    EXPECT_EQ(dialog.lblZoom.Caption.Get(), "40x");
}

TEST(OptionsTest, ShortcutFieldCapturesCombinations) {
    const ui::TShiftState none{}, ctrl{true, false, false}, ctrlShift{true, true, false},
        ctrlAlt{true, false, true}, all{true, true, true}, shift{false, true, false};
    const struct {
        int key;
        ui::TShiftState shift;
        const char* text;
        std::uint32_t modifiers;
    } cases[] = {
        {'A', ctrlShift, "Ctrl+Shift+A", 6},
        {'F', ctrlAlt, "Ctrl+Alt+F", 3},
        {'7', all, "Ctrl+Shift+Alt+7", 7},
        {'Q', none, "Q", 0},
        {'Z', shift, "Shift+Z", 4},
        // A key above 127 shows as that code point, not as a stray byte.
        {0xBA, ctrl, "Ctrl+\xC2\xBA", 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        TfrmOptions dialog;
        dialog.edtShortcut.KeyDown(c.key, c.shift);
        EXPECT_EQ(dialog.edtShortcut.Text.Get(), c.text);
        EXPECT_EQ(dialog.FHotKey.Modifiers, c.modifiers);
        EXPECT_EQ(dialog.FHotKey.Key, static_cast<std::uint32_t>(c.key));
    }
}

TEST(OptionsTest, AModifierKeyAloneUpdatesOnlyTheModifiers) {
    TfrmOptions dialog;
    dialog.edtShortcut.KeyDown('A', ui::TShiftState{true, true, false});
    for (int key : {16, 17, 18, 91, 92}) {
        SCOPED_TRACE(key);
        dialog.edtShortcut.KeyDown(key, ui::TShiftState{true, false, false});
        EXPECT_EQ(dialog.edtShortcut.Text.Get(), "Ctrl+Shift+A");
        EXPECT_EQ(dialog.FHotKey.Key, 65u);
        EXPECT_EQ(dialog.FHotKey.Modifiers, 2u);
    }
    TfrmOptions fresh;
    fresh.edtShortcut.KeyDown(17, ui::TShiftState{true, false, false});
    EXPECT_EQ(fresh.edtShortcut.Text.Get(), "edtShortcut");
}

TEST(OptionsTest, OkAndCancelCloseWithTheirResultsApplyAndEscapeDoNothing) {
    TfrmOptions dialog;
    dialog.btnApply.Click();
    dialog.btnDebug.Click();
    EXPECT_FALSE(dialog.FormKeyDown(27));
    EXPECT_FALSE(dialog.Closed());
    dialog.btnCancel.Click();
    EXPECT_EQ(dialog.Result(), TDialog::mrCancel);
    TfrmOptions other;
    other.btnOK.Click();
    EXPECT_EQ(other.Result(), TDialog::mrOk);
}

} // namespace
} // namespace lupenta
