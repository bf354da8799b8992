#include "app/RunAtLogon.h"
#include "support/FakeDesktop.h"
#include "support/FakeRunKey.h"

#include <gtest/gtest.h>

namespace lupenta {
namespace {

using testing::FakeDesktop;
using testing::FakeRunKey;

const std::string kPath = "C:\\Program Files\\Lupenta 2\\Lupenta.exe";
const std::string kCommand = "\"C:\\Program Files\\Lupenta 2\\Lupenta.exe\" /autostart";

class RunAtLogon : public ::testing::Test {
protected:
    void Click() { RunonStartup1Click(key, item, kPath, desktop); }

    FakeRunKey key;
    FakeDesktop desktop;
    ui::TMenuItem item{"RunonStartup1", "Run on Startup"};
};

TEST_F(RunAtLogon, TheCommandQuotesThePathAsAWhole) {
    EXPECT_EQ(RunCommandFor(kPath), kCommand);
    EXPECT_EQ(RunCommandFor("D:\\Lupenta.exe"), "\"D:\\Lupenta.exe\" /autostart");
}

TEST_F(RunAtLogon, CheckingWritesTheValueAndUncheckingRemovesIt) {
    Click();
    EXPECT_TRUE(item.Checked);
    EXPECT_EQ(key.values, (std::map<std::string, std::string>{{"Lupenta", kCommand}}));

    Click();
    EXPECT_FALSE(item.Checked);
    EXPECT_TRUE(key.values.empty());
    EXPECT_TRUE(desktop.messages.empty());
}

TEST_F(RunAtLogon, TheCheckDecidesNotTheRegistry) {
    // A value written by other means is replaced when the item is unchecked...
    key.values["Lupenta"] = "other.exe";
    key.values["Neighbour"] = "neighbour.exe";
    Click();
    EXPECT_EQ(key.values["Lupenta"], kCommand);

    // ...and removed when it is checked, even if it had already gone.
    key.values.erase("Lupenta");
    Click();
    EXPECT_FALSE(item.Checked);
    EXPECT_EQ(key.removes, 1);
    EXPECT_EQ(key.values, (std::map<std::string, std::string>{{"Neighbour", "neighbour.exe"}}));
}

TEST_F(RunAtLogon, AKeyThatDoesNotOpenChangesNothingButTheCheckFlips) {
    key.keyOpens = false;
    Click();
    EXPECT_TRUE(item.Checked);
    Click();
    EXPECT_FALSE(item.Checked);
    EXPECT_TRUE(key.values.empty());
    EXPECT_TRUE(desktop.messages.empty());
}

TEST_F(RunAtLogon, AFailedWriteIsReportedAndTheCheckStays) {
    key.writeFails = true;
    Click();
    EXPECT_FALSE(item.Checked);
    EXPECT_TRUE(key.values.empty());
    ASSERT_EQ(desktop.messages.size(), 1u);
    EXPECT_EQ(desktop.messages[0].text, "Failed to set data for 'Lupenta'");
    EXPECT_EQ(desktop.messages[0].caption, "Lupenta");
    EXPECT_EQ(desktop.messages[0].icon, MessageIcon::Error);
    EXPECT_FALSE(desktop.messages[0].centred);

    // Removing never writes, so it cannot fail that way.
    item.Checked = true;
    key.values["Lupenta"] = kCommand;
    Click();
    EXPECT_FALSE(item.Checked);
    EXPECT_TRUE(key.values.empty());
    EXPECT_EQ(desktop.messages.size(), 1u);
}

} // namespace
} // namespace lupenta
