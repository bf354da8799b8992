#include "app/Program.h"
#include "main/fmMagnifier.h"
#include "support/FakeDesktop.h"
#include "support/FakeFileSystem.h"
#include "support/FakeFormWindow.h"
#include "support/FakeRunKey.h"
#include "support/FakeView.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace lupenta {
namespace {

const std::string kIni = "C:\\Program Files\\Lupenta\\Lupenta.ini";
constexpr Colour kOrange = MakeColour(255, 128, 0);
constexpr Colour kTeal = MakeColour(0, 128, 128);

// One run of the program over fakes, from its start on the files given to its end through
// "Exit", with the screen one colour that a test changes.
class Session {
public:
    explicit Session(testing::FakeFileSystem& files) : files_(files) {
        program = std::make_unique<Program>(desktop, files_, window);
        program->Create({}, runKey);
        Form().ClientResized(468, 282);
        program->Show();
        Form().SetVisible(true);
        desktop.pointer = Point{1000, 500};
        desktop.screen = [this](int, int) { return screen; };
    }

    Tfrmmain& Form() { return program->form; }
    // The readout shows what the paint between two ticks sampled.
    void Show(Colour colour) {
        screen = colour;
        Form().Timer1Timer();
        Form().imageview1->Paint(surface);
        Form().Timer1Timer();
    }
    // The colour panel's menu as it opens: the captions of a submenu's items.
    std::vector<std::string> Captions(ui::TMenuItem& submenu) {
        Form().mnuColorDisplay.Popup(0, 0);
        std::vector<std::string> captions;
        for (ui::TMenuItem* item : submenu.Items())
            captions.push_back(item->Caption);
        return captions;
    }
    void Exit() {
        Form().Exit1Click();
        ASSERT_TRUE(program->CloseQuery());
        window.visible = false;
        program->Destroy();
        program.reset();
    }

    Colour screen = kBlack;
    testing::FakeDesktop desktop;
    testing::FakeFormWindow window;
    testing::FakeRunKey runKey;
    testing::FakeViewPeer surface;
    std::unique_ptr<Program> program;

private:
    testing::FakeFileSystem& files_;
};

TEST(ColourCopies, CopyColorAsShowsTheColourOnScreenInEveryForm) {
    testing::FakeFileSystem files;
    Session run(files);
    Tfrmmain& f = run.Form();
    ASSERT_EQ(f.mnuColorDisplay.Items()[1], &f.mnuCopyColorAs);
    run.Show(kOrange);
    EXPECT_EQ(
        run.Captions(f.mnuCopyColorAs),
        (std::vector<std::string>{"#FF8000\tHTML", "FF8000\tHex", "RGB : 255,128,0\tRGB Values",
                                  "rgb(255, 128, 0)\tCSS", "hsl(30, 100%, 50%)\tCSS",
                                  "hsv(30, 100%, 100%)\tHSV", "cmyk(0%, 50%, 100%, 0%)\tCMYK",
                                  "33023\tWindows COLORREF", "1.000, 0.502, 0.000\t0 to 1"}));
    // The captions follow the readout each time the menu opens.
    run.Show(kTeal);
    EXPECT_EQ(run.Captions(f.mnuCopyColorAs)[4], "hsl(180, 100%, 25%)\tCSS");
}

TEST(ColourCopies, EachFormCopiesTheTextItShowsAndSaysSo) {
    testing::FakeFileSystem files;
    Session run(files);
    Tfrmmain& f = run.Form();
    run.Show(kOrange);
    const std::vector<std::string> captions = run.Captions(f.mnuCopyColorAs);
    for (std::size_t i = 0; i < captions.size(); ++i) {
        const std::string shown = captions[i].substr(0, captions[i].find('\t'));
        SCOPED_TRACE(shown);
        run.desktop.messages.clear();
        f.mnuCopyColorAs.Items()[i]->Click();
        EXPECT_EQ(run.desktop.clipboardText, shown);
        EXPECT_EQ(f.Panel1.SpokenName(), "Copied " + shown);
        ASSERT_EQ(run.desktop.messages.size(), 1u);
        EXPECT_EQ(run.desktop.messages[0].text, "copied");
    }
    EXPECT_EQ(f.recentcolours.Colours(), (std::vector<Colour>{kOrange}));
}

TEST(ColourCopies, RecentColorsListsEveryCopyNewestFirstWithSwatches) {
    testing::FakeFileSystem files;
    Session run(files);
    Tfrmmain& f = run.Form();
    EXPECT_TRUE(run.Captions(f.mnuRecentColors).empty());
    EXPECT_FALSE(f.mnuRecentColors.Enabled);

    run.Show(kOrange);
    f.CopyColortoClipboard2.Click();
    run.Show(kTeal);
    run.Captions(f.mnuCopyColorAs);
    f.mnuCopyColorAs.Items()[3]->Click();
    EXPECT_EQ(run.Captions(f.mnuRecentColors),
              (std::vector<std::string>{"RGB : 0,128,128", "RGB : 255,128,0"}));
    EXPECT_TRUE(f.mnuRecentColors.Enabled);
    EXPECT_EQ(f.mnuRecentColors.Items()[0]->Swatch.Get(), kTeal);
    EXPECT_EQ(f.mnuRecentColors.Items()[1]->Swatch.Get(), kOrange);

    // In HTML notation the items read in it too, and a click copies the colour again, as read,
    // and brings it to the front.
    f.mnuHTML.Click();
    EXPECT_EQ(run.Captions(f.mnuRecentColors), (std::vector<std::string>{"#008080", "#FF8000"}));
    run.desktop.messages.clear();
    f.mnuRecentColors.Items()[1]->Click();
    EXPECT_EQ(run.desktop.clipboardText, "#FF8000");
    EXPECT_EQ(f.Panel1.SpokenName(), "Copied #FF8000");
    ASSERT_EQ(run.desktop.messages.size(), 1u);
    EXPECT_EQ(run.Captions(f.mnuRecentColors), (std::vector<std::string>{"#FF8000", "#008080"}));
}

TEST(ColourCopies, RecentColoursAreKeptAcrossRunsAfterTheOtherKeys) {
    testing::FakeFileSystem files;
    {
        Session run(files);
        run.Show(kTeal);
        run.Form().CopyColortoClipboard2.Click();
        run.Show(kOrange);
        run.Form().CopyColortoClipboard2.Click();
        run.Exit();
    }
    const std::string& file = files.files.at(kIni);
    EXPECT_NE(file.find("Pixlevel=0\r\n"), std::string::npos);
    EXPECT_GT(file.find("RecentColors=FF8000,008080\r\n"), file.find("Pixlevel=0\r\n")) << file;

    Session next(files);
    EXPECT_EQ(next.Captions(next.Form().mnuRecentColors),
              (std::vector<std::string>{"RGB : 255,128,0", "RGB : 0,128,128"}));
}

TEST(ColourCopies, AHandEditedListKeepsItsGoodEntries) {
    testing::FakeFileSystem files;
    files.files[kIni] = "[Lupenta]\r\nRecentColors=#123456,ff8000,, zz ,008080,FF8000,\xFF\r\n";
    Session run(files);
    EXPECT_EQ(run.Form().recentcolours.Colours(), (std::vector<Colour>{kOrange, kTeal}));
}

} // namespace
} // namespace lupenta
