#pragma once

#include "main/Contrast.h"
#include "main/RecentColours.h"
#include "platform/Desktop.h"
#include "ui/Controls.h"
#include "ui/Form.h"
#include "ui/MenuItem.h"
#include "ui/PopupMenu.h"
#include "ui/Timer.h"
#include "view/VwImage.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace lupenta {

class TFormStorage;
class Tfrmmain;

// What the main window asks of parts that live outside it: the tray, the log-on Run value,
// the update check and the About dialog. Each has a plain default so the window works alone.
class MainWindowServices {
public:
    virtual ~MainWindowServices() = default;
    // Takes the window and its task-bar button off the screen, and brings them back.
    virtual void HideApplication() {}
    virtual void ShowApplication() {}
    virtual void ToggleRunOnStartup(ui::TMenuItem&) {}
    virtual void CheckForUpdates(Tfrmmain&) {}
    virtual void ShowAbout(const std::string&) {}
    virtual void ShowOptions() {}
    virtual std::string Version() { return "1.0"; }
};

// The main window: the magnifier view above the bottom panel with the colour and position
// readout, the sampling timer that keeps the view live, and the popup menu with every command.
class Tfrmmain : public ui::TForm {
public:
    static constexpr int kDesignClientWidth = 468;
    static constexpr int kDesignClientHeight = 282;
    static constexpr int kPanelHeight = 29;
    // The bar above the panel that shows the contrast while a reference is set.
    static constexpr int kContrastBarHeight = 26;
    static constexpr int kMinimumSize = 150;

    explicit Tfrmmain(Desktop& desktop);
    ~Tfrmmain() override;

    // Set before the window is created; the window works without either.
    void SetServices(MainWindowServices* services) { services_ = services; }
    void SetFormStorage(TFormStorage* storage) { storage_ = storage; }
    // Traces where each tick's time goes, from the timer to the view's paint; set after
    // FormCreate, none by default.
    void SetTrace(FrameTrace* trace);

    // Every component the settings can name, for binding stored properties.
    std::vector<ui::Component*> Components();

    // Window events, run by the platform.
    void FormCreate();
    void FormShow();
    void FormHide();
    // Answers whether a close request may end the program.
    bool FormCloseQuery();
    void FormResize();

    // Keyboard and wheel. A key goes first to the menu's shortcuts, which consume it, then to
    // the window's key handler, then, unless the zoom list has the keyboard, the arrow keys
    // place the hot pixel; true when the key was consumed.
    bool KeyDown(std::uint16_t shortcut, bool zoomListFocused = false);
    void FormKeyDown(int key);
    // Moves the pointer by `step`, or the fixed location while it is on.
    void MoveHotPixel(Point step);
    // Every wheel message in the program's queue comes here and goes no further.
    void ApplicationEvents1Message(int wheelDistance);

    // The sampling tick and what it calls.
    void Timer1Timer();
    void MoveAwayFromPointer();
    bool GetCaretPosition(Point& point);
    void RefreshReadout(Point source);

    // Window chrome.
    void Showtitlebar();
    void Hidetitlebar();
    void SetStayOnTop(bool onTop);
    void SetTransparency();
    void ImageView1DblClick();
    void ImageView1MouseDown(MouseButton button);
    void ImageView1MouseUp() {}

    // Commands.
    void Magnify1X1Click(ui::TMenuItem& item);
    void cbxZoomLevelChange();
    void setzoomchecked();
    void N1xpersecond1Click(ui::TMenuItem& item);
    void setFreqChecked();
    void N1pixel1Click(ui::TMenuItem& item);
    void Smoothen1Click();
    void InvertImage1Click();
    void FlipHorizontally1Click();
    void FlipVertically1Click();
    void Showcursor1Click();
    void DrawCrossHair1Click();
    void DrawFixedGrid1Click();
    void RGBValues1Click();
    void HTMLCode1Click();
    // Shared by the sample-size items of both menus; the item's Tag is the aperture's side.
    void SampleSizeClick(ui::TMenuItem& item);
    void setSampleSizeChecked();
    void ShowHideTitlebar1Click() { ImageView1DblClick(); }
    void ShowPanel1Click();
    void StayOnTop1Click();
    void MakeWindowTransparent1Click();
    void Setdefaultwindowsize1Click();
    void FlipwhenHovered1Click();
    void btnTypeClick();
    void FollowCaretPosition1Click() { btnTypeClick(); }
    void FixedLocation1Click();
    void SetVirtualOrigin1Click();
    void CopyImagetoClipboard1Click();
    void CopyColortoClipboard1Click();
    // Shared by the "Copy Color As" items; the item's Tag is its place in ColourForms.
    void CopyColorAsClick(ui::TMenuItem& item);
    void RecentColorClick(Colour colour);
    // Brings the colour menu's copy items up to the colour shown and the colours copied.
    void mnuColorDisplayPopup();
    void mnuCopyCoord1Click();
    // Shared by both menus' items: the reference is the colour the readout shows.
    void SetContrastReference1Click();
    void ClearContrastReference1Click();
    void Enabled1Click();
    void ShowHideProgram1Click();
    void StayinSystemTray1Click();
    void RunonStartup1Click();
    void VisitTarnwellSoftwareWebsite1Click();
    void CheckforUpdates1Click();
    void ShowHelpfile1Click();
    void AboutLupenta1Click();
    void Exit1Click();
    void btnCloseClick();
    void btnOptionsClick();
    void SpeedButton1Click() { services_->ShowOptions(); }

    // The system-wide hot key: hides the application when the window is on screen (even
    // covered), brings it back otherwise.
    void WMHotKey();

    // Writes the window's named values into the settings.
    void WriteSettings();

    // Has a screen reader say `text` now, wherever its attention is: the panel, which a
    // reader treats as the window's status bar, takes it as its name.
    void Announce(const std::string& text) { Panel1.Announce(text); }

    // The bottom panel.
    ui::TPanel Panel1;
    ui::TComboBox cbxZoomLevel;
    ui::TSpeedButton btnType;
    ui::TLabel lblColor;
    ui::TPanel pnlColor;
    ui::TLabel lblPosition;
    ui::TSpeedButton SpeedButton1;
    ui::TSpeedButton btnOptions;
    ui::TSpeedButton btnClose;
    // Above the panel while a contrast reference is set: the ratio between the reference and
    // the colour the readout shows, and a swatch of the reference.
    ui::TPanel pnlContrast;
    ui::TLabel lblContrast;
    ui::TPanel pnlReference;

    ui::TTimer Timer1{"Timer1", 66};

    ui::TPopupMenu mnuMain{"mnuMain"};
    ui::TMenuItem ZoomLevel1{"ZoomLevel1", "Zoom Level"};
    std::vector<std::unique_ptr<ui::TMenuItem>> zoomItems;
    ui::TMenuItem UpdateFrequency1{"UpdateFrequency1", "Update Frequency"};
    ui::TMenuItem N5xpersecond1{"N5xpersecond1", "5 x per second"};
    ui::TMenuItem N10xpersecond1{"N10xpersecond1", "10 x per second : Low"};
    ui::TMenuItem N15xpersecond1{"N15xpersecond1", "15 x per second"};
    ui::TMenuItem N30xpersecond1{"N30xpersecond1", "30 x per second : Medium"};
    ui::TMenuItem N60xpersecond1{"N60xpersecond1", "60 x per second : High"};
    ui::TMenuItem Smoothen1{"Smoothen1", "Smoothen Display"};
    ui::TMenuItem InvertImage1{"InvertImage1", "Invert Image"};
    ui::TMenuItem FlipScreen1{"FlipScreen1", "Flip Screen"};
    ui::TMenuItem FlipHorizontally1{"FlipHorizontally1", "Flip Horizontally"};
    ui::TMenuItem FlipVertically1{"FlipVertically1", "Flip Vertically"};
    ui::TMenuItem N2{"N2", "-"};
    ui::TMenuItem Showcursor1{"Showcursor1", "Show Cursor"};
    ui::TMenuItem DrawCrossHair1{"DrawCrossHair1", "Draw Crosshair"};
    ui::TMenuItem DrawGrid1{"DrawGrid1", "Draw Grid"};
    ui::TMenuItem GridSpacing1{"GridSpacing1", "Grid Spacing"};
    ui::TMenuItem NoGrid1{"NoGrid1", "No Grid"};
    ui::TMenuItem N1pixel1{"N1pixel1", "1 pixel"};
    ui::TMenuItem N5pixels1{"N5pixels1", "5 pixels"};
    ui::TMenuItem N10pixels1{"N10pixels1", "10 pixels"};
    ui::TMenuItem N20pixels1{"N20pixels1", "20 pixels"};
    ui::TMenuItem N50pixels1{"N50pixels1", "50 pixels"};
    ui::TMenuItem DrawFixedGrid1{"DrawFixedGrid1", "Draw Fixed Grid"};
    ui::TMenuItem ColorDisplay1{"ColorDisplay1", "Color Display"};
    ui::TMenuItem RGBValues1{"RGBValues1", "RGB Values"};
    ui::TMenuItem HTMLCode1{"HTMLCode1", "HTML Code"};
    ui::TMenuItem N11{"N11", "-"};
    ui::TMenuItem SampleSize1{"SampleSize1", "Sample Size"};
    ui::TMenuItem N7{"N7", "-"};
    ui::TMenuItem ShowHideTitlebar1{"ShowHideTitlebar1", "Show/Hide Title Bar"};
    ui::TMenuItem ShowPanel1{"ShowPanel1", "Show Panel"};
    ui::TMenuItem StayOnTop1{"StayOnTop1", "Stay On Top"};
    ui::TMenuItem MakeWindowTransparent1{"MakeWindowTransparent1", "Make Window Transparent"};
    ui::TMenuItem Setdefaultwindowsize1{"Setdefaultwindowsize1",
                                        "Set Default Window Size (320x480) Top Left"};
    ui::TMenuItem FlipwhenHovered1{"FlipwhenHovered1", "Change Position when Hovered Over"};
    ui::TMenuItem N8{"N8", "-"};
    ui::TMenuItem FollowCaretPosition1{"FollowCaretPosition1", "Follow Caret Position"};
    ui::TMenuItem FixedLocation1{"FixedLocation1", "Fixed Location"};
    ui::TMenuItem SetVirtualOrigin1{"SetVirtualOrigin1", "Set Virtual Origin"};
    ui::TMenuItem SetContrastReference1{"SetContrastReference1", "Set Contrast Reference"};
    ui::TMenuItem ClearContrastReference1{"ClearContrastReference1", "Clear Contrast Reference"};
    ui::TMenuItem N9{"N9", "-"};
    ui::TMenuItem CopyImagetoClipboard1{"CopyImagetoClipboard1", "Copy Image to Clipboard"};
    ui::TMenuItem N6{"N6", "-"};
    ui::TMenuItem Enabled1{"Enabled1", "Enabled"};
    ui::TMenuItem ShowHideProgram1{"ShowHideProgram1", "Show/Hide Lupenta Window"};
    ui::TMenuItem StayinSystemTray1{"StayinSystemTray1", "Stay in System Tray"};
    ui::TMenuItem RunonStartup1{"RunonStartup1", "Run on Startup"};
    ui::TMenuItem N1{"N1", "-"};
    ui::TMenuItem VisitTarnwellSoftwareWebsite1{"VisitTarnwellSoftwareWebsite1",
                                                "Visit Tarnwell Software Website"};
    ui::TMenuItem CheckforUpdates1{"CheckforUpdates1", "Check for New Version..."};
    ui::TMenuItem ShowHelpfile1{"ShowHelpfile1", "Show Help"};
    ui::TMenuItem AboutLupenta1{"AboutLupenta1", "About Lupenta..."};
    ui::TMenuItem Exit1{"Exit1", "Exit"};

    ui::TPopupMenu mnuColorDisplay{"mnuColorDisplay"};
    ui::TMenuItem CopyColortoClipboard2{"CopyColortoClipboard2", "Copy Color to Clipboard"};
    ui::TMenuItem mnuCopyColorAs{"mnuCopyColorAs", "Copy Color As"};
    ui::TMenuItem mnuRecentColors{"mnuRecentColors", "Recent Colors"};
    ui::TMenuItem N10{"N10", "-"};
    ui::TMenuItem mnuRGB{"mnuRGB", "RGB Values"};
    ui::TMenuItem mnuHTML{"mnuHTML", "HTML Code"};
    ui::TMenuItem N12{"N12", "-"};
    ui::TMenuItem mnuSampleSize{"mnuSampleSize", "Sample Size"};
    ui::TMenuItem mnuSetContrastReference{"mnuSetContrastReference", "Set Contrast Reference"};
    ui::TMenuItem mnuClearContrastReference{"mnuClearContrastReference",
                                            "Clear Contrast Reference"};
    // The sizes offered in both "Sample Size" submenus, the main menu's first.
    std::vector<std::unique_ptr<ui::TMenuItem>> sampleSizeItems;
    // One item per form in ColourForms, and one per recent colour, made as the menu opens.
    std::vector<std::unique_ptr<ui::TMenuItem>> copyAsItems;
    std::vector<std::unique_ptr<ui::TMenuItem>> recentItems;

    ui::TPopupMenu mnuCopyCoord{"mnuCopyCoord"};
    ui::TMenuItem mnuCopyCoord1{"mnuCopyCoord1", "Copy Coordinates to Clipboard"};

    std::unique_ptr<TImageView> imageview1;

    // Fields.
    bool showtitle = false;
    int memX = 0;
    int memY = 0;
    bool followkey = false;
    int offsetx = 0;
    int offsety = 0;
    int pixlevel = 0;
    // The side of the square of pixels the colour is averaged over; 1 reads the hot pixel.
    int samplesize = 1;
    int virtx = 0;
    int virty = 0;
    // The colour the contrast is measured against; none until the user sets one, and none
    // again at the next start, like the virtual origin.
    std::optional<Colour> contrastref;
    ContrastGrade contrastgrade = ContrastGrade::Fail;
    // The colours copied, newest first, kept across runs.
    RecentColours recentcolours;
    bool AllowClose = false;
    int Transparency = 160;
    std::string version;

protected:
    void AlignControls() override;

private:
    void BuildMainMenu();
    void BuildPanel();
    std::vector<ui::TMenuItem*> RateItems();
    std::vector<ui::TMenuItem*> SpacingItems();
    void ReadShowSettings();
    // Reads an integer setting; a text that is no integer is reported and the default used.
    int ReadIntegerSetting(const char* name, int defaultValue);
    std::string ReadStringSetting(const char* name, const char* defaultValue);
    void ShowError(const std::string& text);
    // Puts a colour's text on the clipboard and remembers the colour among the recent ones.
    void CopyColour(Colour colour, const std::string& text);
    // Shows the contrast between the reference and `colour`; true when its grade changed.
    bool RefreshContrast(Colour colour);

    Desktop& desktop_;
    MainWindowServices defaultServices_;
    MainWindowServices* services_ = &defaultServices_;
    TFormStorage* storage_ = nullptr;
    FrameTrace* trace_ = nullptr;
};

// The vendor's web pages.
std::string VendorHomePage();
std::string HelpPage();

} // namespace lupenta
