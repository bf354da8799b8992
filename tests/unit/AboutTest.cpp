#include "dialogs/fmAbout.h"
#include "support/FakeDesktop.h"
#include "support/FakeFileSystem.h"

#include <gtest/gtest.h>

#include <string>

namespace lupenta {
namespace {

using testing::FakeDesktop;
using testing::FakeFileSystem;

const std::string kFolder = "C:\\Program Files\\Lupenta";
const std::string kReadme = "C:\\Program Files\\Lupenta\\readme.txt";

class AboutTest : public ::testing::Test {
protected:
    FakeDesktop desktop;
    FakeFileSystem files;
    TfrmAbout dialog{desktop, files, kFolder};
};

TEST_F(AboutTest, ShowsNameWithVersionAndTheFixedTexts) {
    EXPECT_EQ(dialog.Caption, "About Lupenta");
    EXPECT_EQ(dialog.lblName.Caption.Get(), "Lupenta");
    dialog.SetVersion("15.0");
    EXPECT_EQ(dialog.lblName.Caption.Get(), "Lupenta 15.0");
    EXPECT_EQ(dialog.lblFreeware.Caption.Get(), "Freeware");
    EXPECT_EQ(dialog.lblmailto.Caption.Get(), "mail to");
    EXPECT_EQ(dialog.lblSurfto.Caption.Get(), "surf to");
    EXPECT_EQ(dialog.btnReadme.Caption.Get(), "View Readme.txt");
    EXPECT_EQ(dialog.btnOK.Caption.Get(), "OK");
    EXPECT_EQ(dialog.Color, Colour{8779263});
    // OK comes first in tab order, the read-me button second.
    ASSERT_GE(dialog.Controls().size(), 2u);
    EXPECT_EQ(dialog.Controls()[0], &dialog.btnOK);
    EXPECT_EQ(dialog.Controls()[1], &dialog.btnReadme);
}

TEST_F(AboutTest, LinksShowTheAddressesAndCarryTheSameTargetsInTheHint) {
    const std::string mail = SupportMailAddress();
    EXPECT_EQ(mail.find('@') != std::string::npos, true);
    EXPECT_EQ(dialog.JvLinkLabel2.Text.Get(), "<link>" + mail + "</link>");
    EXPECT_EQ(dialog.JvLinkLabel2.Hint.Get(), "mailto:" + mail);
    const std::string web = std::string("http://") + LUPENTA_VENDOR_HOST + "/";
    EXPECT_EQ(dialog.JvLinkLabel3.Hint.Get(), web);
    EXPECT_EQ(dialog.JvLinkLabel3.Text.Get(), "<link>" + web + "</link>")
        << "the web link shows its address with the scheme, as it opens it";
}

TEST_F(AboutTest, ALinkClickOpensItsHintAndOnlyAClickOnTheLinkCounts) {
    dialog.JvLinkLabel2.Click(false);
    EXPECT_TRUE(desktop.opened.empty());
    dialog.JvLinkLabel2.Click(true);
    dialog.JvLinkLabel3.Click(true);
    ASSERT_EQ(desktop.opened.size(), 2u);
    EXPECT_EQ(desktop.opened[0], "mailto:" + SupportMailAddress());
    EXPECT_EQ(desktop.opened[1], dialog.JvLinkLabel3.Hint.Get());
    EXPECT_TRUE(desktop.messages.empty());
    EXPECT_FALSE(dialog.Closed());
}

TEST_F(AboutTest, LinkClickIgnoresSendersThatAreNoLinkAndEmptyHints) {
    dialog.JvLinkLabel2LinkClick(dialog.lblmailto);
    dialog.JvLinkLabel2.Hint = "";
    dialog.JvLinkLabel2.Click(true);
    EXPECT_TRUE(desktop.opened.empty());
    EXPECT_TRUE(desktop.messages.empty());
}

TEST_F(AboutTest, AFailedLinkNamesTheAddress) {
    desktop.shellResult = 32;
    dialog.JvLinkLabel3.Click(true);
    ASSERT_EQ(desktop.messages.size(), 1u);
    EXPECT_EQ(desktop.messages[0].text,
              "Unable to open link:\r\n" + dialog.JvLinkLabel3.Hint.Get());
    EXPECT_EQ(desktop.messages[0].caption, "Error");
    EXPECT_EQ(desktop.messages[0].icon, MessageIcon::Error);
    EXPECT_FALSE(dialog.Closed());
}

TEST_F(AboutTest, ReadmeButton) {
    const struct {
        const char* name;
        bool exists;
        int shellResult;
        const char* message; // empty when none
    } cases[] = {
        {"missing file", false, 42, "File not found:\r\n"},
        {"opened", true, 42, ""},
        {"shell fails", true, 32, "Unable to open:\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakeDesktop desktop;
        FakeFileSystem files;
        if (c.exists)
            files.files[kReadme] = "read me";
        desktop.shellResult = c.shellResult;
        TfrmAbout about(desktop, files, kFolder);
        about.btnReadme.Click();
        EXPECT_EQ(desktop.opened.size(), c.exists ? 1u : 0u);
        if (c.exists) {
            EXPECT_EQ(desktop.opened[0], kReadme);
        }
        if (std::string(c.message).empty()) {
            EXPECT_TRUE(desktop.messages.empty());
        } else {
            ASSERT_EQ(desktop.messages.size(), 1u);
            EXPECT_EQ(desktop.messages[0].text, c.message + kReadme);
            EXPECT_EQ(desktop.messages[0].caption, "Error");
            EXPECT_EQ(desktop.messages[0].icon, MessageIcon::Error);
        }
        EXPECT_FALSE(about.Closed());
    }
}

TEST(AboutReadmePathTest, AddsOneSeparatorOnlyWhenTheFolderLacksIt) {
    FakeDesktop desktop;
    FakeFileSystem files;
    EXPECT_EQ(TfrmAbout(desktop, files, "C:\\Apps").ReadmePath(), "C:\\Apps\\readme.txt");
    EXPECT_EQ(TfrmAbout(desktop, files, "C:\\").ReadmePath(), "C:\\readme.txt");
}

TEST_F(AboutTest, EscapeAndOkClose) {
    EXPECT_TRUE(dialog.KeyPreview);
    EXPECT_FALSE(dialog.FormKeyDown(13));
    EXPECT_FALSE(dialog.Closed());
    EXPECT_TRUE(dialog.FormKeyDown(27));
    EXPECT_TRUE(dialog.Closed());

    TfrmAbout other(desktop, files, kFolder);
    other.btnOK.Click();
    EXPECT_EQ(other.Result(), TDialog::mrOk);
}

} // namespace
} // namespace lupenta
