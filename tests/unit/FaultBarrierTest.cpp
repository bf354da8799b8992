#include "ui/FaultBarrier.h"
#include "main/fmMagnifier.h"
#include "settings/SettingsStore.h"
#include "support/FakeDesktop.h"
#include "support/FakeView.h"
#include "support/ShownMainWindow.h"

#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <stdexcept>

namespace lupenta {
namespace {

using testing::FakeDesktop;
using ui::EventKind;
using ui::FaultBarrier;
using ui::FaultMessage;

template <class Exception> std::exception_ptr Thrown(Exception e) {
    return std::make_exception_ptr(e);
}

TEST(FaultMessage, SaysWhatWentWrongExceptAPaintShortOfMemory) {
    struct Case {
        const char* name;
        std::exception_ptr fault;
        EventKind kind;
        std::optional<std::string> text;
    };
    const Case cases[] = {
        {"error in a command", Thrown(std::runtime_error("disk gone")), EventKind::Other,
         "disk gone"},
        {"error in a paint", Thrown(std::runtime_error("disk gone")), EventKind::Paint,
         "disk gone"},
        {"settings text", Thrown(ConversionError("abc")), EventKind::Other,
         "'abc' is not a valid integer value"},
        {"paint out of memory", Thrown(std::bad_alloc()), EventKind::Paint, std::nullopt},
        {"command out of memory", Thrown(std::bad_alloc()), EventKind::Other, "Out of memory"},
        {"not a standard exception", Thrown(42), EventKind::Other,
         "An unexpected error stopped the last action"},
        {"no exception", nullptr, EventKind::Other, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(FaultMessage(c.fault, c.kind), c.text);
    }
}

// The main window without a window system, its events run behind one barrier.
class FaultBarrierTest : public ::testing::Test {
protected:
    FaultBarrierTest() {
        testing::ShowMainWindow(form);
        desktop.pointer = Point{1000, 500};
    }

    // The platform fails inside the named call, once.
    void FailOnceIn(const std::string& call, std::function<void()> fail) {
        desktop.onCall = [this, call, fail](const std::string& made) {
            if (made != call)
                return;
            desktop.onCall = nullptr;
            fail();
        };
    }

    FakeDesktop desktop;
    Tfrmmain form{desktop};
    FaultBarrier barrier{desktop};
};

TEST_F(FaultBarrierTest, AFailedEventShowsTheErrorBoxAndTheNextOneWorks) {
    struct Case {
        const char* name;
        const char* failingCall;
        std::function<void(Tfrmmain&)> event;
    };
    const Case cases[] = {
        {"tick", "SightPointer", [](Tfrmmain& f) { f.Timer1.Fire(); }},
        {"menu command", "SetClipboardText", [](Tfrmmain& f) { f.mnuCopyCoord1.Click(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        desktop.messages.clear();
        FailOnceIn(c.failingCall, [] { throw std::runtime_error("the platform failed"); });
        EXPECT_FALSE(barrier.Run(EventKind::Other, [&] { c.event(form); }));
        ASSERT_EQ(desktop.messages.size(), 1u);
        const FakeDesktop::Message& box = desktop.messages[0];
        EXPECT_EQ(box.text, "the platform failed");
        EXPECT_EQ(box.caption, "Lupenta");
        EXPECT_EQ(box.icon, MessageIcon::Error);
        EXPECT_FALSE(box.centred);

        const int callsBefore = desktop.CallCount(c.failingCall);
        EXPECT_TRUE(barrier.Run(EventKind::Other, [&] { c.event(form); }));
        EXPECT_EQ(desktop.CallCount(c.failingCall), callsBefore + 1);
        EXPECT_EQ(desktop.messages.size(), 1u);
    }
}

TEST_F(FaultBarrierTest, APaintShortOfFrameMemoryIsSkippedSilentlyAndTheNextPaintShows) {
    testing::FakeViewPeer peer;
    TImageView& view = *form.imageview1;
    form.Timer1.Fire();
    desktop.allocationsFail = true;
    EXPECT_FALSE(barrier.Run(EventKind::Paint, [&] { view.Paint(peer); }));
    EXPECT_EQ(peer.presents, 0);
    EXPECT_TRUE(desktop.messages.empty());

    desktop.allocationsFail = false;
    EXPECT_TRUE(barrier.Run(EventKind::Paint, [&] { view.Paint(peer); }));
    EXPECT_EQ(peer.presents, 1);
    EXPECT_EQ(peer.shown.Width(), view.Width());
}

TEST_F(FaultBarrierTest, FaultsWhileTheBoxIsOpenShowNoSecondBox) {
    // The modal box runs the message loop, so the timer fires under it and fails again.
    desktop.onCall = [this](const std::string& call) {
        if (call == "ShowMessage" && desktop.messages.empty())
            barrier.Run(EventKind::Other, [] { throw std::runtime_error("again"); });
    };
    barrier.Run(EventKind::Other, [] { throw std::runtime_error("first"); });
    ASSERT_EQ(desktop.messages.size(), 1u);
    EXPECT_EQ(desktop.messages[0].text, "first");

    // Once the box is closed, the next fault is shown again.
    barrier.Run(EventKind::Other, [] { throw std::runtime_error("later"); });
    ASSERT_EQ(desktop.messages.size(), 2u);
    EXPECT_EQ(desktop.messages[1].text, "later");
}

TEST_F(FaultBarrierTest, ABoxThatCannotBeShownEndsTheFaultQuietly) {
    desktop.onCall = [](const std::string& call) {
        if (call == "ShowMessage")
            throw std::bad_alloc();
    };
    EXPECT_FALSE(barrier.Run(EventKind::Other, [] { throw std::runtime_error("lost"); }));
}

} // namespace
} // namespace lupenta
