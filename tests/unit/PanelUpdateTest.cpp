#include "main/fmMagnifier.h"
#include "support/FakeDesktop.h"
#include "support/FakeView.h"
#include "support/ShownMainWindow.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace lupenta {
namespace {

using testing::FakeDesktop;
using testing::FakeViewPeer;

// Records, per control, every time its peer is told of changes and of which kinds.
class RecordingPeer : public ui::ComponentPeer {
public:
    explicit RecordingPeer(ui::Component& component) : component_(component) {
        component_.AttachPeer(this);
        told.clear();
    }
    ~RecordingPeer() override { component_.AttachPeer(nullptr); }
    void ComponentChanged(ui::Changes what) override { told.push_back(what); }
    std::vector<ui::Changes> told;

private:
    ui::Component& component_;
};

TEST(ComponentChangesTest, EachPropertyTellsItsKindAndABatchTellsOnceAtItsEnd) {
    ui::TPanel panel("panel", Rect::FromSize(0, 0, 80, 20), kWhite);
    RecordingPeer peer(panel);
    panel.Caption = "text";
    panel.Color = kBlack;
    panel.Bounds = Rect::FromSize(1, 0, 80, 20);
    panel.Hint = "hint";
    EXPECT_EQ(peer.told,
              (std::vector<ui::Changes>{ui::kText, ui::kLook, ui::kPlacement, ui::kHint}));

    peer.told.clear();
    {
        const ui::ChangeBatch batch(panel);
        panel.Color = kWhite;
        panel.FontColor = kWhite;
        panel.Caption = "other";
        EXPECT_TRUE(peer.told.empty());
    }
    EXPECT_EQ(peer.told, (std::vector<ui::Changes>{ui::kLook | ui::kText}));

    peer.told.clear();
    { const ui::ChangeBatch batch(panel); }
    EXPECT_TRUE(peer.told.empty()) << "a batch that changed nothing tells nothing";
}

// The main window ticking with a peer on every readout control, the way the platform hosts
// them, so a test sees which controls each tick touches.
class PanelUpdateTest : public ::testing::Test {
protected:
    PanelUpdateTest() {
        testing::ShowMainWindow(form);
        form.imageview1->AttachPeer(&window);
        desktop.pointer = Point{1000, 500};
        desktop.screen = [this](int x, int) { return x < edge ? kWhite : MakeColour(0, 0, 128); };
        for (ui::TControl* control : Readout())
            peers.emplace(control->Name(), std::make_unique<RecordingPeer>(*control));
        Tick();
        Tick();
        Clear();
    }
    ~PanelUpdateTest() override { form.imageview1->AttachPeer(nullptr); }

    std::vector<ui::TControl*> Readout() {
        return {&form.Panel1,      &form.pnlColor,    &form.lblColor,    &form.lblPosition,
                &form.pnlContrast, &form.lblContrast, &form.pnlReference};
    }
    void Tick() {
        form.Timer1Timer();
        form.imageview1->Paint(window);
    }
    void Clear() {
        for (auto& [name, peer] : peers)
            peer->told.clear();
    }
    // Every control told anything since the last Clear, with what it was told.
    std::map<std::string, std::vector<ui::Changes>> Told() {
        std::map<std::string, std::vector<ui::Changes>> told;
        for (auto& [name, peer] : peers)
            if (!peer->told.empty())
                told[name] = peer->told;
        return told;
    }

    using ToldMap = std::map<std::string, std::vector<ui::Changes>>;
    int edge = 2000;
    FakeDesktop desktop;
    Tfrmmain form{desktop};
    FakeViewPeer window;
    std::map<std::string, std::unique_ptr<RecordingPeer>> peers;
};

TEST_F(PanelUpdateTest, ATickThatChangesNothingTouchesNoControl) {
    Tick();
    Tick();
    EXPECT_EQ(Told(), ToldMap{});
}

// The readout shows the colour the previous paint sampled, so a new colour reaches the panel
// one tick after the pointer reached it.
TEST_F(PanelUpdateTest, EachKindOfChangeRedoesExactlyItsControlOnce) {
    desktop.pointer->x += 1;
    Tick();
    EXPECT_EQ(Told(), (ToldMap{{"lblPosition", {ui::kText}}}));

    Clear();
    edge = 0;
    Tick();
    EXPECT_EQ(Told(), ToldMap{}) << "the paint after this tick samples the new colour";
    Tick();
    EXPECT_EQ(Told(), (ToldMap{{"pnlColor", {ui::kLook | ui::kText}}}));
    EXPECT_EQ(form.pnlColor.Caption.Get(), "RGB : 0,0,128");

    form.SetContrastReference1Click();
    Clear();
    edge = 2000;
    Tick();
    Tick();
    EXPECT_EQ(Told(),
              (ToldMap{{"pnlColor", {ui::kLook | ui::kText}}, {"lblContrast", {ui::kText}}}));
}

// Moving the capture changes several of the view's settings; its window is asked to paint once.
TEST_F(PanelUpdateTest, AMovingTickAsksTheViewForOnePaint) {
    const int before = window.invalidations;
    desktop.pointer->x += 40;
    desktop.pointer->y += 40;
    form.Timer1Timer();
    EXPECT_EQ(window.invalidations, before + 1);
}

} // namespace
} // namespace lupenta
