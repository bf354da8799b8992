#pragma once

#include "platform/Desktop.h"
#include "ui/Controls.h"
#include "ui/Form.h"
#include "ui/MenuItem.h"
#include "ui/PopupMenu.h"
#include "ui/Timer.h"
#include "view/VwImage.h"

#include <memory>
#include <string>
#include <vector>

namespace lupenta {

// The main window: the magnifier view above the bottom panel, the sampling timer that keeps
// the view live, and the popup menu that holds every command.
class Tfrmmain : public ui::TForm {
public:
    static constexpr int kDesignClientWidth = 468;
    static constexpr int kDesignClientHeight = 282;
    static constexpr int kPanelHeight = 29;
    static constexpr int kMinimumSize = 150;

    explicit Tfrmmain(Desktop& desktop);

    // Window events, run by the platform.
    void FormCreate();
    void FormShow();

    void Timer1Timer();
    void MoveAwayFromPointer();
    // True when `point` now holds the caret of the window that has the keyboard focus.
    bool GetCaretPosition(Point& point);

    void Showtitlebar();
    void Hidetitlebar();
    void ImageView1DblClick();
    void ImageView1MouseDown();
    void ImageView1MouseUp() {}

    void Magnify1X1Click(ui::TMenuItem& item);
    void cbxZoomLevelChange();
    void setzoomchecked();
    void ShowHideTitlebar1Click() { ImageView1DblClick(); }
    void Exit1Click();

    // Components.
    ui::TTimer Timer1{"Timer1", 66};
    ui::TPanel Panel1{"Panel1", Rect::FromSize(0, 0, kDesignClientWidth, kPanelHeight),
                      MakeColour(95, 95, 95)};
    ui::TComboBox cbxZoomLevel;
    ui::TPopupMenu mnuMain{"mnuMain"};
    ui::TMenuItem ZoomLevel1{"ZoomLevel1", "Zoom Level"};
    std::vector<std::unique_ptr<ui::TMenuItem>> zoomItems;
    ui::TMenuItem N2{"N2", "-"};
    ui::TMenuItem ShowHideTitlebar1{"ShowHideTitlebar1", "Show/Hide Title Bar"};
    ui::TMenuItem FlipwhenHovered1{"FlipwhenHovered1", "Change Position when Hovered Over"};
    ui::TMenuItem FixedLocation1{"FixedLocation1", "Fixed Location"};
    ui::TMenuItem Showcursor1{"Showcursor1", "Show Cursor"};
    ui::TMenuItem N1{"N1", "-"};
    ui::TMenuItem AboutLupenta1{"AboutLupenta1", "About Lupenta..."};
    ui::TMenuItem Exit1{"Exit1", "Exit"};

    std::unique_ptr<TImageView> imageview1;

    // Fields.
    bool showtitle = false;
    int memX = 0;
    int memY = 0;
    bool followkey = false;
    int offsetx = 0;
    int offsety = 0;
    int pixlevel = 0;
    int virtx = 0;
    int virty = 0;
    bool AllowClose = false;
    int Transparency = 160;

protected:
    void AlignControls() override;

private:
    void BuildMenu();
    // Refreshes the colour and position readout of the bottom panel for the source point.
    void RefreshReadout(Point source);

    Desktop& desktop_;
};

} // namespace lupenta
