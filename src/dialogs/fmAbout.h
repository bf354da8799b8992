#pragma once

#include "dialogs/Dialog.h"
#include "platform/Desktop.h"
#include "platform/FileSystem.h"

#include <string>

namespace lupenta {

// The About dialog: name and version, the vendor's links and the read-me file.
class TfrmAbout : public TDialog {
public:
    // `exeFolder` is the folder of the program's executable, where the read-me file lies.
    TfrmAbout(Desktop& desktop, FileSystem& files, std::string exeFolder);

    void SetVersion(const std::string& version);
    std::string ReadmePath() const;

    bool FormKeyDown(int key) override;
    void btnReadmeClick();
    void JvLinkLabel2LinkClick(ui::Component& sender);

    ui::TImage imgLogo{"imgLogo", Rect::FromSize(12, 14, 201, 200), ui::TImage::Picture::Logo};
    ui::TImage imgIcon{"imgIcon", Rect::FromSize(322, 8, 32, 32), ui::TImage::Picture::ProgramIcon};
    ui::TTextLabel lblName{"lblName", Rect::FromSize(224, 41, 240, 38), "Lupenta"};
    ui::TTextLabel lblCopyRight{"lblCopyRight", Rect::FromSize(231, 82, 233, 15), ""};
    ui::TTextLabel lblFreeware{"lblFreeware", Rect::FromSize(293, 103, 0, 21), "Freeware"};
    ui::TTextLabel lblmailto{"lblmailto", Rect::FromSize(236, 143, 0, 15), "mail to"};
    ui::TLinkLabel JvLinkLabel2{"JvLinkLabel2", Rect::FromSize(284, 144, 179, 13), ""};
    ui::TTextLabel lblSurfto{"lblSurfto", Rect::FromSize(237, 160, 0, 15), "surf to"};
    ui::TLinkLabel JvLinkLabel3{"JvLinkLabel3", Rect::FromSize(284, 161, 228, 13), ""};
    ui::TButton btnReadme{"btnReadme", Rect::FromSize(236, 186, 111, 25), "View Readme.txt"};
    ui::TButton btnOK{"btnOK", Rect::FromSize(386, 186, 75, 25), "OK"};

private:
    Desktop& desktop_;
    FileSystem& files_;
    std::string exeFolder_;
};

// The vendor's support address, without the "mailto:" scheme.
std::string SupportMailAddress();

} // namespace lupenta
