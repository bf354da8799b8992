#include "settings/FormStorage.h"
#include "support/FakeFileSystem.h"
#include "support/FakeFormWindow.h"
#include "ui/Controls.h"
#include "ui/MenuItem.h"
#include "ui/Timer.h"

#include <gtest/gtest.h>

#include <memory>

namespace lupenta {
namespace {

using testing::FakeFileSystem;
using testing::FakeFormWindow;

const std::string kIni = "C:\\Program Files\\Lupenta\\Lupenta.ini";

// The main window's stored controls, with the values they are designed with.
struct Controls {
    ui::TComboBox cbxZoomLevel{"cbxZoomLevel", Rect{}, std::vector<std::string>(16, "Zoom")};
    ui::TPanel Panel1{"Panel1", Rect{}, kBlack};
    ui::TMenuItem DrawCrossHair1{"DrawCrossHair1", "Draw Cross Hair"};
    ui::TMenuItem RGBValues1{"RGBValues1", "RGB Values"};
    ui::TMenuItem Showcursor1{"Showcursor1", "Show Cursor"};
    ui::TTimer Timer1{"Timer1", 66};
    ui::TMenuItem InvertImage1{"InvertImage1", "Invert Image"};
    ui::TMenuItem StayOnTop1{"StayOnTop1", "Stay on Top"};
    ui::TMenuItem Smoothen1{"Smoothen1", "Smoothen"};
    ui::TMenuItem DrawGrid1{"DrawGrid1", "Draw Grid"};
    ui::TMenuItem FixedLocation1{"FixedLocation1", "Fixed Location"};
    ui::TMenuItem MakeWindowTransparent1{"MakeWindowTransparent1", "Transparent"};
    ui::TMenuItem StayinSystemTray1{"StayinSystemTray1", "Stay in System Tray"};
    ui::TMenuItem DrawFixedGrid1{"DrawFixedGrid1", "Fixed Grid"};
    ui::TSpeedButton btnType{"btnType", Rect{}, "caret"};
    ui::TMenuItem FollowCaretPosition1{"FollowCaretPosition1", "Follow Caret"};
    ui::TMenuItem FlipwhenHovered1{"FlipwhenHovered1", "Change Position when Hovered Over"};
    ui::TMenuItem FlipVertically1{"FlipVertically1", "Flip Vertically"};
    ui::TMenuItem FlipHorizontally1{"FlipHorizontally1", "Flip Horizontally"};
    ui::TMenuItem Exit1{"Exit1", "Exit"};

    Controls() {
        cbxZoomLevel.ItemIndex = 1;
        RGBValues1.Checked = true;
        Showcursor1.Checked = true;
        StayinSystemTray1.Checked = true;
    }
    std::vector<ui::Component*> All() {
        return {&Exit1,
                &cbxZoomLevel,
                &Panel1,
                &DrawCrossHair1,
                &RGBValues1,
                &Showcursor1,
                &Timer1,
                &InvertImage1,
                &StayOnTop1,
                &Smoothen1,
                &DrawGrid1,
                &FixedLocation1,
                &MakeWindowTransparent1,
                &StayinSystemTray1,
                &DrawFixedGrid1,
                &btnType,
                &FollowCaretPosition1,
                &FlipwhenHovered1,
                &FlipVertically1,
                &FlipHorizontally1};
    }
};

// One run of the program: the store over the fake file, the window and its form storage.
class FormStorageTest : public ::testing::Test {
protected:
    void Start(std::optional<std::string> ini = std::nullopt) {
        storage.reset();
        store.reset();
        if (ini)
            files.files[kIni] = *ini;
        controls = std::make_unique<Controls>();
        window = std::make_unique<FakeFormWindow>();
        store = std::make_unique<TSettingsStore>(files);
        store->FlushOnDestroy = false;
        store->SetFileName("Lupenta.ini");
        store->Reload();
        storage = std::make_unique<TFormStorage>(*window, "frmmain");
        storage->SetAppStorage(store.get());
        storage->SetAppStoragePath("..\\");
        storage->StoredProps = kMainWindowStoredProps;
        storage->BindStoredProps(controls->All());
        storage->TakeOverEvents(
            [this] { events.push_back("FormShow " + std::to_string(controls->Timer1.Interval)); },
            [this] {
                events.push_back("FormCloseQuery");
                return allowClose;
            },
            [this] { events.push_back("FormDestroy"); });
        events.clear();
    }
    // The program ends and starts again.
    void Restart() {
        store->Flush();
        Start();
    }
    std::string FileText() {
        store->Flush();
        return files.files.at(kIni);
    }
    std::string Value(const std::string& key) { return store->ReadString(key, "<absent>"); }

    FakeFileSystem files;
    std::unique_ptr<Controls> controls;
    std::unique_ptr<FakeFormWindow> window;
    std::unique_ptr<TSettingsStore> store;
    std::unique_ptr<TFormStorage> storage;
    std::vector<std::string> events;
    bool allowClose = true;
};

TEST_F(FormStorageTest, FirstRunSaveWritesPlacementAndAllStoredPropertiesInOrder) {
    Start();
    storage->OnShow();
    EXPECT_TRUE(storage->Restored());
    EXPECT_TRUE(window->applied.empty());
    // What the window's own settings routine wrote earlier in the run.
    storage->WriteString("memX", "0");
    storage->WriteString("InvertImage1_Checked", "False");

    EXPECT_TRUE(storage->OnCloseQuery());
    storage->OnDestroy();

    EXPECT_EQ(FileText(), "[Lupenta]\r\n"
                          "memX=0\r\n"
                          "InvertImage1_Checked=FALSE\r\n"
                          "FormVersion=0\r\n"
                          "Flags=0\r\n"
                          "PixelsPerInch=96\r\n"
                          "MinMaxPos(1920x1080)=-1,-1,-1,-1\r\n"
                          "MinMaxPos=-1,-1,-1,-1\r\n"
                          "NormPos(1920x1080)=100,100,584,421\r\n"
                          "NormPos=100,100,584,421\r\n"
                          "cbxZoomLevel_ItemIndex=1\r\n"
                          "Panel1_Visible=TRUE\r\n"
                          "DrawCrossHair1_Checked=FALSE\r\n"
                          "RGBValues1_Checked=TRUE\r\n"
                          "Showcursor1_Checked=TRUE\r\n"
                          "Timer1_Interval=66\r\n"
                          "StayOnTop1_Checked=FALSE\r\n"
                          "Smoothen1_Checked=FALSE\r\n"
                          "DrawGrid1_Checked=FALSE\r\n"
                          "FixedLocation1_Checked=FALSE\r\n"
                          "MakeWindowTransparent1_Checked=FALSE\r\n"
                          "StayinSystemTray1_Checked=TRUE\r\n"
                          "DrawFixedGrid1_Checked=FALSE\r\n"
                          "btnType_Down=FALSE\r\n"
                          "FollowCaretPosition1_Checked=FALSE\r\n"
                          "FlipwhenHovered1_Checked=FALSE\r\n"
                          "FlipVertically1_Checked=FALSE\r\n"
                          "FlipHorizontally1_Checked=FALSE\r\n"
                          "\r\n");
    EXPECT_EQ(events, (std::vector<std::string>{"FormShow 66", "FormCloseQuery", "FormDestroy"}));
}

TEST_F(FormStorageTest, PlacementAndPropertiesSurviveARestart) {
    Start();
    storage->OnShow();
    const WindowPlacement saved{2, 1, {-32000, -32000}, {-8, -8}, Rect{300, 200, 800, 600}};
    window->placement = saved;
    controls->InvertImage1.Checked = true;
    controls->RGBValues1.Checked = false;
    controls->cbxZoomLevel.ItemIndex = 7;
    controls->Timer1.Interval = 33;
    controls->Panel1.Visible = false;
    controls->btnType.Down = true;
    storage->OnCloseQuery();

    Restart();
    storage->OnShow();
    ASSERT_EQ(window->applied.size(), 1u);
    EXPECT_EQ(window->applied[0], saved);
    EXPECT_TRUE(window->keptPlacedPosition);
    EXPECT_TRUE(controls->InvertImage1.Checked);
    EXPECT_FALSE(controls->RGBValues1.Checked);
    EXPECT_EQ(controls->cbxZoomLevel.ItemIndex, 7);
    EXPECT_FALSE(controls->Panel1.Visible);
    EXPECT_TRUE(controls->btnType.Down);
    // The period is in place before the window's own show handler runs.
    EXPECT_EQ(events, std::vector<std::string>{"FormShow 33"});
    EXPECT_TRUE(window->errors.empty());
}

TEST_F(FormStorageTest, RestoreChoosesThePositionKeyOfTheCurrentDesktop) {
    struct Case {
        const char* name;
        ScreenMetrics screen;
        Rect expected;
    };
    const Rect left{0, 0, 1920, 1080};
    const Rect right{1920, 0, 3840, 1080};
    const Case cases[] = {
        {"same desktop", {1920, 1080, 96, {left}}, Rect{10, 10, 500, 400}},
        {"monitor added", {3840, 1080, 96, {left, right}}, Rect{20, 20, 600, 500}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Start("[Lupenta]\nNormPos(1920x1080)=10,10,500,400\nNormPos=20,20,600,500\n");
        window->screen = c.screen;
        storage->OnShow();
        ASSERT_EQ(window->applied.size(), 1u);
        EXPECT_EQ(window->applied[0].normalPosition, c.expected);
    }

    // The next save adds keys for the new desktop and keeps those of the old one.
    storage->OnCloseQuery();
    EXPECT_EQ(Value("NormPos(1920x1080)"), "10,10,500,400");
    EXPECT_EQ(Value("NormPos(3840x1080)"), "20,20,600,500");
}

TEST_F(FormStorageTest, OnlyARectangleOnTheMonitorsAtTheSameScalingIsApplied) {
    struct Case {
        const char* name;
        std::string lines;
        std::optional<Rect> applied;
        std::vector<Rect> monitors = {Rect{0, 0, 1920, 1080}};
    };
    const Case cases[] = {
        {"plain", "NormPos=100,100,500,400", Rect{100, 100, 500, 400}},
        {"blanks and commas", "NormPos= 100 ,, 100 500,400 ", Rect{100, 100, 500, 400}},
        {"up to the screen's edge", "NormPos=0,0,1920,1080", Rect{0, 0, 1920, 1080}},
        {"bottom right off screen", "NormPos=100,100,1921,400", std::nullopt},
        {"top left off screen", "NormPos=-50,100,400,400", std::nullopt},
        {"inverted", "NormPos=500,100,100,400", std::nullopt},
        {"empty", "NormPos=100,100,100,400", std::nullopt},
        {"upside down", "NormPos=100,400,500,100", std::nullopt},
        {"other scaling", "NormPos=100,100,500,400\nPixelsPerInch=120", std::nullopt},
        {"same scaling", "NormPos=100,100,500,400\nPixelsPerInch=96", Rect{100, 100, 500, 400}},
        {"no position", "Flags=0", std::nullopt},
        {"far edges missing keep the size", "NormPos=200,150", Rect{200, 150, 684, 471}},
        {"malformed corner stays where it is", "NormPos=abc,$,700,500", Rect{100, 100, 700, 500}},
        // The far edge a missing word would take is not worked out when every word is there,
        // and held at the end of the range when it is: no overflow either way.
        {"edges at the end of the range", "NormPos=0,2147483647,1,1", std::nullopt},
        {"far edge missing at the end of the range", "NormPos=2147483647,0", std::nullopt},
        {"across two monitors",
         "NormPos=1800,100,2100,400",
         Rect{1800, 100, 2100, 400},
         {Rect{0, 0, 1920, 1080}, Rect{1920, 0, 3840, 1080}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Start("[Lupenta]\n" + c.lines + "\n");
        window->screen.monitors = c.monitors;
        storage->OnShow();
        if (c.applied) {
            ASSERT_EQ(window->applied.size(), 1u);
            EXPECT_EQ(window->applied[0].normalPosition, *c.applied);
        } else {
            EXPECT_TRUE(window->applied.empty());
            EXPECT_FALSE(window->keptPlacedPosition);
        }
        EXPECT_TRUE(window->errors.empty());
        EXPECT_EQ(window->repaints, 1);
    }
}

TEST_F(FormStorageTest, MinMaxWordsAndShowStateOfAHiddenWindow) {
    Start("[Lupenta]\nFlags=2\nMinMaxPos=5, x\nNormPos=100,100,500,400\n");
    window->visible = false;
    storage->OnShow();
    ASSERT_EQ(window->applied.size(), 1u);
    EXPECT_EQ(window->applied[0],
              (WindowPlacement{2, kShowHidden, {5, 0}, {0, 0}, Rect{100, 100, 500, 400}}));
}

TEST_F(FormStorageTest, BadTextForOnePropertyLeavesItAloneAndRestoresTheRest) {
    Start("[Lupenta]\n"
          "Timer1_Interval=fast\n"
          "InvertImage1_Checked=TRUE\n"
          "Smoothen1_Checked=maybe\n"
          "cbxZoomLevel_ItemIndex=5\n"
          "FlipVertically1_Checked=1\n"
          "Panel1_Visible=no\n"
          "showCURSOR1_checked=n\n");
    storage->OnShow();
    EXPECT_EQ(controls->Timer1.Interval, 66);
    EXPECT_TRUE(controls->InvertImage1.Checked);
    EXPECT_FALSE(controls->Smoothen1.Checked);
    EXPECT_EQ(controls->cbxZoomLevel.ItemIndex, 5);
    EXPECT_TRUE(controls->FlipVertically1.Checked);
    EXPECT_FALSE(controls->Panel1.Visible);
    EXPECT_FALSE(controls->Showcursor1.Checked);
    EXPECT_TRUE(controls->RGBValues1.Checked);
    EXPECT_TRUE(window->errors.empty());
}

TEST_F(FormStorageTest, AfterAnExplicitSaveTheDestroyPathSavesNothingMore) {
    Start();
    storage->OnShow();
    storage->SaveFormPlacement();
    controls->InvertImage1.Checked = true;
    storage->OnDestroy();
    EXPECT_EQ(Value("InvertImage1_Checked"), "FALSE");
    EXPECT_EQ(events.back(), "FormDestroy");

    // A close that passes the close query does save again.
    EXPECT_TRUE(storage->OnCloseQuery());
    EXPECT_EQ(Value("InvertImage1_Checked"), "TRUE");
}

TEST_F(FormStorageTest, DestroyWithoutASaveSinceTheRestoreSaves) {
    Start();
    storage->OnShow();
    controls->InvertImage1.Checked = true;
    storage->OnDestroy();
    EXPECT_EQ(Value("InvertImage1_Checked"), "TRUE");
}

TEST_F(FormStorageTest, CloseQuerySavesOnlyAClosingWindowWithAHandle) {
    Start();
    storage->OnShow();
    allowClose = false;
    EXPECT_FALSE(storage->OnCloseQuery());
    EXPECT_EQ(Value("FormVersion"), "<absent>");

    allowClose = true;
    window->hasHandle = false;
    EXPECT_TRUE(storage->OnCloseQuery());
    EXPECT_EQ(Value("FormVersion"), "<absent>");
}

TEST_F(FormStorageTest, BadVersionTextStopsTheRestoreButNotTheShow) {
    Start("[Lupenta]\nFormVersion=abc\nInvertImage1_Checked=TRUE\nNormPos=10,10,500,400\n");
    storage->OnShow();
    EXPECT_EQ(window->errors, std::vector<std::string>{"'abc' is not a valid integer value"});
    EXPECT_EQ(events, std::vector<std::string>{"FormShow 66"});
    EXPECT_FALSE(storage->Restored());
    EXPECT_FALSE(controls->InvertImage1.Checked);
    EXPECT_EQ(store->UpdateDepth(), 0);

    // Unrestored, a save mends the version and writes nothing else.
    storage->SaveFormPlacement();
    EXPECT_EQ(Value("FormVersion"), "0");
    EXPECT_EQ(Value("Flags"), "<absent>");
    EXPECT_EQ(Value("Panel1_Visible"), "<absent>");

    // So the next show restores after all.
    storage->OnShow();
    EXPECT_TRUE(storage->Restored());
    EXPECT_TRUE(controls->InvertImage1.Checked);
}

TEST_F(FormStorageTest, OlderVersionRestoresNothingYetCountsAsRestored) {
    Start("[Lupenta]\nFormVersion=-1\nInvertImage1_Checked=TRUE\nNormPos=10,10,500,400\n");
    storage->OnShow();
    EXPECT_TRUE(storage->Restored());
    EXPECT_FALSE(controls->InvertImage1.Checked);
    EXPECT_TRUE(window->applied.empty());

    storage->OnCloseQuery();
    EXPECT_EQ(Value("FormVersion"), "0");
    EXPECT_EQ(Value("InvertImage1_Checked"), "FALSE");
    EXPECT_EQ(Value("NormPos"), "100,100,584,421");
}

TEST_F(FormStorageTest, EntriesBindByNameAndTheUnbindableAreDropped) {
    Start();
    storage->StoredProps = {
        "showCURSOR1 . checked", "Nothing.Checked", "NoDot", ".Checked", "Timer1.",
        "Timer1.Interval",       "btnType.Caption"};
    storage->BindStoredProps(controls->All());
    std::vector<std::string> keys;
    for (const StoredProperty& property : storage->BoundProps())
        keys.push_back(property.Key());
    EXPECT_EQ(keys, (std::vector<std::string>{"Showcursor1_Checked", "Timer1_Interval"}));
}

TEST_F(FormStorageTest, NamedValuesAreLinesUnderTheStoragePath) {
    Start("[Lupenta]\npixlevel=5\n[frmmain]\nmemX=7\n");
    EXPECT_EQ(storage->AppStoragePath(), "..\\");
    EXPECT_EQ(storage->ReadInteger("Pixlevel", 0), 5);
    EXPECT_EQ(storage->ReadString("", "d"), "d");
    storage->WriteString("", "x");
    EXPECT_EQ(store->Document().sections[0].lines.size(), 1u);

    storage->SetAppStoragePath("%FORM_NAME%");
    EXPECT_EQ(storage->AppStoragePath(), "frmmain\\");
    EXPECT_EQ(storage->ReadInteger("memX", 0), 7);

    storage->SetAppStorage(nullptr);
    EXPECT_FALSE(storage->IsActive());
    EXPECT_EQ(storage->ReadInteger("memX", -1), -1);
    storage->OnShow();
    EXPECT_FALSE(storage->Restored());
}

} // namespace
} // namespace lupenta
