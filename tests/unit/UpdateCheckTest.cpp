#include "update/UpdateCheck.h"
#include "main/fmMagnifier.h"
#include "support/FakeDesktop.h"
#include "support/FakeUpdateCheck.h"
#include "update/VersionReply.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace lupenta {
namespace {

using namespace std::chrono_literals;
using testing::FakeDesktop;
using testing::FakeFetcher;
using testing::FakeUpdatePresenter;

TEST(VersionReply, OnlyAWholeReplyWithStatus200UpToTheCapIsTheFile) {
    const std::string full(VersionReply::kReplyCap, 'v');
    const struct {
        const char* name;
        int status;
        std::vector<std::string> reads;
        std::optional<std::string> text;
    } cases[] = {
        {"plain file", 200, {"Version", "=1"}, "Version=1"},
        {"empty", 200, {}, ""},
        {"exactly the cap", 200, {full.substr(1), "v"}, full},
        {"one byte over the cap", 200, {full, "v"}, std::nullopt},
        {"one read over the cap", 200, {full + "v"}, std::nullopt},
        // Text ends at a zero byte; the rest of that read is dropped, the next read counts.
        {"zero bytes", 200, {std::string("ab\0cd", 5), "ef"}, "abef"},
        {"not found", 404, {"<html>Version</html>"}, std::nullopt},
        {"server error", 500, {}, std::nullopt},
        {"moved", 302, {}, std::nullopt},
        {"no content", 204, {}, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        VersionReply reply;
        bool reading = reply.TakeStatus(c.status);
        for (const std::string& read : c.reads)
            if (reading)
                reading = reply.TakeRead(read);
        const DownloadResult result = reply.Finish();
        EXPECT_EQ(result.text, c.text);
        EXPECT_EQ(result.error.empty(), c.text.has_value()) << result.error;
    }
}

TEST(VersionReply, ARefusedReplyStopsTheReading) {
    VersionReply tooLong;
    EXPECT_FALSE(tooLong.TakeRead(std::string(VersionReply::kReplyCap + 1, 'x')));
    EXPECT_FALSE(tooLong.TakeRead("more"));
    VersionReply notFound;
    EXPECT_FALSE(notFound.TakeStatus(404));
    EXPECT_FALSE(notFound.TakeRead("x"));
}

TEST(VersionReply, TimeLeftIsNeverNoTimeOutAtAll) {
    const CheckClock::time_point deadline{100s};
    EXPECT_EQ(TimeLeft(deadline, deadline - 15s), 15000ms);
    EXPECT_EQ(TimeLeft(deadline, deadline - 1500us), 2ms);
    EXPECT_EQ(TimeLeft(deadline, deadline), 1ms);
    EXPECT_EQ(TimeLeft(deadline, deadline + 1h), 1ms);
}

// Sees the window's topmost requests.
class TopmostPeer : public ui::FormPeer {
public:
    std::vector<bool> topmost;

    WindowId Handle() override { return 1; }
    bool Visible() override { return true; }
    Rect BoundsRect() override { return {}; }
    void SetBoundsRect(const Rect&) override {}
    std::uint32_t Style() override { return 0; }
    void SetStyle(std::uint32_t) override {}
    void RefreshFrame() override {}
    void SetCaption(const std::string&) override {}
    void StartMove() override {}
    void Close() override {}
    void SetLayeredAlpha(int) override {}
    void ClearLayered() override {}
    void SetTopmost(bool on) override { topmost.push_back(on); }
};

// Runs the deadline timer as its platform does: OnTimer every Interval while Enabled.
class DeadlinePeer : public ui::ComponentPeer {
public:
    explicit DeadlinePeer(ui::TTimer& timer) : timer_(timer) { timer_.AttachPeer(this); }
    ~DeadlinePeer() override { timer_.AttachPeer(nullptr); }
    void ComponentChanged(ui::Changes) override {
        armedFor = timer_.Enabled ? timer_.Interval.Get() : 0;
    }
    int armedFor = 0;

private:
    ui::TTimer& timer_;
};

const char* const kUpgradeFile = "<meta name=\"Version\" content=\"16.0\">\r\n"
                                 "<meta name=\"whatsnew1\" content=\"Bigger zoom\">\r\n";

CheckClock::time_point clickTime{1000s};
CheckClock::time_point ClickTime() {
    return clickTime;
}

// The main window as the command leaves it: the item disabled, the timer running, on top.
class CheckFlow : public ::testing::Test {
protected:
    CheckFlow() {
        form.AttachPeer(&peer);
        form.version = "15.0";
        form.StayOnTop1.Checked = true;
        form.SetServices(&services);
    }

    // The user chooses the command.
    void Click() { form.CheckforUpdates1Click(); }

    // Routes the command to the check, as the program's services do.
    struct Services : MainWindowServices {
        explicit Services(TUpdateCheck& check) : check(check) {}
        void CheckForUpdates(Tfrmmain& form) override { check.Start(form); }
        TUpdateCheck& check;
    };

    FakeDesktop desktop;
    Tfrmmain form{desktop};
    TopmostPeer peer;
    FakeFetcher fetcher;
    FakeUpdatePresenter presenter;
    TUpdateCheck check{fetcher, presenter, desktop, &ClickTime};
    DeadlinePeer deadline{check.tmrDeadline};
    Services services{check};
};

TEST_F(CheckFlow, WhileTheFetchRunsTheWindowGoesOnWithTheCommandDisabled) {
    EXPECT_EQ(deadline.armedFor, 0);
    Click();

    ASSERT_EQ(fetcher.requests.size(), 1u);
    EXPECT_EQ(fetcher.requests[0].address, VersionFileAddress());
    EXPECT_EQ(VersionFileAddress().rfind("http://", 0), 0u);
    EXPECT_EQ(VersionFileAddress().substr(VersionFileAddress().size() - 20),
              "/version/lupenta.txt");
    // The network calls and the window's own clock share one deadline, 15 s after the click.
    EXPECT_EQ(fetcher.requests[0].deadline, clickTime + 15s);
    EXPECT_EQ(deadline.armedFor, 15000);
    EXPECT_TRUE(check.Waiting());
    EXPECT_FALSE(form.CheckforUpdates1.Enabled);
    EXPECT_TRUE(form.Timer1.Enabled);
    EXPECT_TRUE(peer.topmost.empty());
    EXPECT_TRUE(desktop.messages.empty());
    EXPECT_TRUE(presenter.shown.empty());
}

TEST_F(CheckFlow, TheReplyOpensTheDialogWithTimerPausedAndTopmostDropped) {
    bool timerDuringDialog = true;
    bool itemDuringDialog = true;
    bool deadlineDuringDialog = true;
    std::vector<bool> topmostDuringDialog;
    presenter.whileOpen = [&] {
        timerDuringDialog = form.Timer1.Enabled;
        itemDuringDialog = form.CheckforUpdates1.Enabled;
        deadlineDuringDialog = check.tmrDeadline.Enabled;
        topmostDuringDialog = peer.topmost;
    };
    Click();
    fetcher.Reply({kUpgradeFile, ""});

    ASSERT_EQ(presenter.shown.size(), 1u);
    EXPECT_EQ(presenter.shown[0].kind, UpdateKind::MajorUpgrade);
    EXPECT_EQ(presenter.shown[0].message, "Major upgrade found");
    EXPECT_EQ(presenter.shown[0].onlineVersion, "16.0");
    EXPECT_EQ(presenter.shown[0].currentVersion, "15.0");
    EXPECT_EQ(presenter.shown[0].features[0], "Bigger zoom");
    EXPECT_FALSE(timerDuringDialog);
    EXPECT_FALSE(itemDuringDialog);
    EXPECT_FALSE(deadlineDuringDialog);
    EXPECT_EQ(topmostDuringDialog, std::vector<bool>{false});

    EXPECT_TRUE(form.Timer1.Enabled);
    EXPECT_EQ(peer.topmost, (std::vector<bool>{false, true}));
    EXPECT_TRUE(form.CheckforUpdates1.Enabled);
    EXPECT_FALSE(check.Waiting());
    EXPECT_EQ(deadline.armedFor, 0);
    EXPECT_TRUE(desktop.messages.empty());
    EXPECT_EQ(check.LastFailure(), "");
}

TEST_F(CheckFlow, StatesBeforeTheCheckAreRestoredAsTheyWere) {
    form.Timer1.Enabled = false;
    form.StayOnTop1.Checked = false;
    Click();
    fetcher.Reply({kUpgradeFile, ""});
    ASSERT_EQ(presenter.shown.size(), 1u);
    EXPECT_FALSE(form.Timer1.Enabled);
    // A window that was not on top is left alone.
    EXPECT_TRUE(peer.topmost.empty());
}

void ExpectTheOneWarning(const FakeDesktop& desktop) {
    ASSERT_EQ(desktop.messages.size(), 1u);
    EXPECT_EQ(desktop.messages[0].text,
              "Cannot connect to the internet.  Please check your connection.");
    EXPECT_EQ(desktop.messages[0].caption, "Warning");
    EXPECT_EQ(desktop.messages[0].icon, MessageIcon::Warning);
}

TEST_F(CheckFlow, EveryFailedReplyEndsInTheOneWarning) {
    const struct {
        const char* name;
        DownloadResult reply;
        const char* cause;
    } cases[] = {
        {"no session",
         {std::nullopt, "Unable to initialize Wininet"},
         "Unable to initialize Wininet"},
        {"address not opened",
         {std::nullopt, "Cannot open URL http://host/x"},
         "Cannot open URL http://host/x"},
        {"refused reply", {std::nullopt, "HTTP status 404"}, "HTTP status 404"},
        {"no reason given", {std::nullopt, ""}, "download failed"},
        {"page without a version",
         {"<html><title>Welcome</title></html>", ""},
         "incorrect data found"},
        {"binary junk", {std::string("\x89PNG\x1a\xff\xfe", 7), ""}, "incorrect data found"},
        {"empty reply", {"", ""}, "incorrect data found"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        desktop.messages.clear();
        peer.topmost.clear();
        Click();
        fetcher.Reply(c.reply);

        EXPECT_EQ(check.LastFailure(), c.cause);
        ExpectTheOneWarning(desktop);
        EXPECT_TRUE(presenter.shown.empty());
        EXPECT_TRUE(form.Timer1.Enabled);
        EXPECT_TRUE(peer.topmost.empty());
        EXPECT_TRUE(form.CheckforUpdates1.Enabled);
        EXPECT_FALSE(check.Waiting());
        EXPECT_EQ(deadline.armedFor, 0);
    }
}

TEST_F(CheckFlow, TheDeadlineAbandonsTheFetchAndWarnsOnce) {
    Click();
    check.tmrDeadline.Fire();

    EXPECT_EQ(fetcher.cancels, 1);
    EXPECT_FALSE(fetcher.InFlight());
    EXPECT_EQ(check.LastFailure(), "no reply within 15000 ms");
    ExpectTheOneWarning(desktop);
    EXPECT_TRUE(form.CheckforUpdates1.Enabled);
    EXPECT_EQ(deadline.armedFor, 0);
    // The timer is stopped: it cannot warn a second time.
    check.tmrDeadline.Fire();
    EXPECT_EQ(desktop.messages.size(), 1u);

    // The command runs again at once, with a deadline of its own.
    clickTime += 60s;
    Click();
    EXPECT_EQ(fetcher.requests.back().deadline, clickTime + 15s);
    fetcher.Reply({kUpgradeFile, ""});
    EXPECT_EQ(presenter.shown.size(), 1u);
    EXPECT_EQ(desktop.messages.size(), 1u);
    EXPECT_TRUE(form.CheckforUpdates1.Enabled);
}

TEST_F(CheckFlow, ADialogThatFailsStillRestoresTheWindow) {
    presenter.whileOpen = [] { throw std::runtime_error("no dialog"); };
    Click();
    fetcher.Reply({kUpgradeFile, ""});
    EXPECT_EQ(check.LastFailure(), "no dialog");
    EXPECT_EQ(desktop.messages.size(), 1u);
    EXPECT_TRUE(form.Timer1.Enabled);
    EXPECT_EQ(peer.topmost, (std::vector<bool>{false, true}));
    EXPECT_TRUE(form.CheckforUpdates1.Enabled);
}

TEST_F(CheckFlow, AClickWhileWaitingStartsNoSecondFetch) {
    Click();
    check.Start(form);
    EXPECT_EQ(fetcher.requests.size(), 1u);
}

TEST(UpdateCheck, ACheckDestroyedWhileWaitingAbandonsItsFetch) {
    FakeDesktop desktop;
    Tfrmmain form{desktop};
    FakeFetcher fetcher;
    FakeUpdatePresenter presenter;
    {
        TUpdateCheck check{fetcher, presenter, desktop};
        check.Start(form);
    }
    EXPECT_EQ(fetcher.cancels, 1);
    EXPECT_FALSE(fetcher.InFlight());
    EXPECT_TRUE(desktop.messages.empty());
}

} // namespace
} // namespace lupenta
