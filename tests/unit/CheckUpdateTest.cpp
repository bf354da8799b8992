#include "support/FakeDesktop.h"
#include "update/fmCheckUpdate.h"

#include <gtest/gtest.h>

#include <string>

namespace lupenta {
namespace {

using testing::FakeDesktop;

UpdateOutcome Outcome(UpdateKind kind, const std::string& message) {
    UpdateOutcome outcome;
    outcome.kind = kind;
    outcome.message = message;
    outcome.currentVersion = "15.0";
    outcome.onlineVersion = "15.1";
    outcome.features = {"Faster capture", "", "Grid colours", ""};
    return outcome;
}

TEST(CheckUpdateTest, ShowsBothVersionsTheMessageAndFourFeatureLinesForEveryOutcome) {
    const struct {
        UpdateKind kind;
        const char* message;
        bool upgrade;
    } cases[] = {
        {UpdateKind::MajorUpgrade, "Major upgrade found", true},
        {UpdateKind::MinorUpgrade, "Minor upgrade found", true},
        {UpdateKind::UpToDate, "You are already using the latest version.", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        FakeDesktop desktop;
        TfrmCheckUpdate dialog(desktop);
        dialog.Fill(Outcome(c.kind, c.message));
        EXPECT_EQ(dialog.Caption, "Check For Lupenta Update");
        EXPECT_EQ(dialog.lblCurrent.Caption.Get(), "You are currently using version 15.0");
        EXPECT_EQ(dialog.lblLatestVersion.Caption.Get(), "Latest version found online :");
        EXPECT_EQ(dialog.lblVersion.Caption.Get(), "15.1");
        EXPECT_EQ(dialog.lblText.Caption.Get(), c.message);
        // Filled also when hidden.
        EXPECT_EQ(dialog.lblFeatures.Caption.Get(), "Faster capture\r\n\r\nGrid colours\r\n\r\n");
        EXPECT_EQ(dialog.lnkDownload.Visible.Get(), c.upgrade);
        EXPECT_EQ(dialog.lblnewfeatures.Visible.Get(), c.upgrade);
        EXPECT_EQ(dialog.lblFeatures.Visible.Get(), c.upgrade);
        EXPECT_TRUE(dialog.lblText.Visible.Get());
        EXPECT_TRUE(dialog.btnOK.Visible.Get());
        EXPECT_EQ(dialog.OuterHeight.has_value(), !c.upgrade);
    }
}

TEST(CheckUpdateTest, UpToDateDialogIsShorterAndKeepsOkInTheBottomRightCorner) {
    FakeDesktop desktop;
    TfrmCheckUpdate dialog(desktop);
    dialog.Fill(Outcome(UpdateKind::UpToDate, "You are already using the latest version."));
    ASSERT_EQ(dialog.OuterHeight, 160);
    const Rect before = dialog.btnOK.Bounds;
    // A frame of 39 pixels leaves a client area of 121.
    dialog.ClientResized(dialog.DesignClientWidth, 121);
    const Rect after = dialog.btnOK.Bounds;
    EXPECT_EQ(after.left, before.left);
    EXPECT_EQ(121 - after.bottom, dialog.DesignClientHeight - before.bottom);
    EXPECT_EQ(dialog.lblText.Bounds.Get(), Rect::FromSize(24, 64, 0, 15));
}

TEST(CheckUpdateTest, EscapeClosesAndOtherKeysPassOn) {
    FakeDesktop desktop;
    TfrmCheckUpdate dialog(desktop);
    EXPECT_TRUE(dialog.KeyPreview);
    EXPECT_FALSE(dialog.FormKeyDown(13));
    EXPECT_FALSE(dialog.FormKeyDown('A'));
    EXPECT_FALSE(dialog.Closed());
    EXPECT_TRUE(dialog.FormKeyDown(27));
    EXPECT_TRUE(dialog.Closed());
}

TEST(CheckUpdateTest, OkClosesWithResultOk) {
    FakeDesktop desktop;
    TfrmCheckUpdate dialog(desktop);
    dialog.btnOK.Click();
    EXPECT_TRUE(dialog.Closed());
    EXPECT_EQ(dialog.Result(), TDialog::mrOk);
}

TEST(CheckUpdateTest, AClickAnywhereOnTheLinkLabelOpensTheHomePageOverHttps) {
    FakeDesktop desktop;
    TfrmCheckUpdate dialog(desktop);
    dialog.lnkDownload.Click(false);
    ASSERT_EQ(desktop.opened.size(), 1u);
    EXPECT_EQ(desktop.opened[0], std::string("https://") + LUPENTA_VENDOR_HOST);
    EXPECT_TRUE(desktop.messages.empty());
    EXPECT_FALSE(dialog.Closed());
}

TEST(CheckUpdateTest, AFailedOpenNamesTheAddressOnTheNextLineAndTheDialogStays) {
    for (int result : {0, 2, 31, 32}) {
        SCOPED_TRACE(result);
        FakeDesktop desktop;
        desktop.shellResult = result;
        TfrmCheckUpdate dialog(desktop);
        dialog.lnkDownload.Click(true);
        ASSERT_EQ(desktop.messages.size(), 1u);
        EXPECT_EQ(desktop.messages[0].text,
                  std::string("Unable to open link:\r\nhttps://") + LUPENTA_VENDOR_HOST);
        EXPECT_EQ(desktop.messages[0].caption, "Error");
        EXPECT_EQ(desktop.messages[0].icon, MessageIcon::Error);
        EXPECT_FALSE(dialog.Closed());
    }
    FakeDesktop desktop;
    desktop.shellResult = 33;
    TfrmCheckUpdate dialog(desktop);
    dialog.lnkDownloadClick();
    EXPECT_TRUE(desktop.messages.empty());
}

} // namespace
} // namespace lupenta
