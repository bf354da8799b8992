#pragma once

#include "dialogs/Dialog.h"
#include "platform/Desktop.h"
#include "update/UpdateOutcome.h"

#include <string>

namespace lupenta {

// The update dialog: the program's version, the version found online, the outcome and, when an
// upgrade exists, the new features and a link to the download page.
class TfrmCheckUpdate : public TDialog {
public:
    static constexpr int kUpToDateOuterHeight = 160;

    explicit TfrmCheckUpdate(Desktop& desktop);

    // Fills the dialog from a check's outcome before it is shown.
    void Fill(const UpdateOutcome& outcome);

    bool FormKeyDown(int key) override;
    void lnkDownloadClick();

    ui::TTextLabel lblCurrent{"lblCurrent", Rect::FromSize(24, 16, 0, 15),
                              "You are currently using version"};
    ui::TTextLabel lblLatestVersion{"lblLatestVersion", Rect::FromSize(24, 40, 0, 15),
                                    "Latest version found online :"};
    ui::TTextLabel lblVersion{"lblVersion", Rect::FromSize(177, 40, 0, 15), "lblVersion"};
    ui::TTextLabel lblText{"lblText", Rect::FromSize(24, 64, 0, 15), "lblText"};
    ui::TTextLabel lblnewfeatures{"lblnewfeatures", Rect::FromSize(24, 88, 0, 15), "New Features"};
    ui::TTextLabel lblFeatures{"lblFeatures", Rect::FromSize(104, 88, 0, 15),
                               "Line1\r\nLine2\r\nLine3"};
    ui::TLinkLabel lnkDownload{"lnkDownload", Rect::FromSize(24, 153, 160, 15),
                               "<link>Download new Version</link>"};
    ui::TButton btnOK{"btnOK", Rect::FromSize(357, 217, 75, 25), "OK"};

private:
    Desktop& desktop_;
};

// The vendor's home page, where new versions are downloaded.
std::string DownloadPage();

} // namespace lupenta
