#include "update/fmCheckUpdate.h"

namespace lupenta {

std::string DownloadPage() {
    return std::string("https://") + LUPENTA_VENDOR_HOST;
}

TfrmCheckUpdate::TfrmCheckUpdate(Desktop& desktop)
    : TDialog("Check For Lupenta Update", 442, 254), desktop_(desktop) {
    KeyPreview = true;
    lnkDownload.Font = ui::TFont{Font.Name, Font.Height, true};
    lnkDownload.LinkColor = std::nullopt;
    lnkDownload.UnderlineLink = true;
    lnkDownload.OnClick = [this] { lnkDownloadClick(); };
    btnOK.OnClick = [this] { Close(mrOk); };

    Add(btnOK, {.right = true, .bottom = true});
    Add(lblCurrent);
    Add(lblLatestVersion);
    Add(lblVersion);
    Add(lblText);
    Add(lblnewfeatures);
    Add(lblFeatures);
    Add(lnkDownload);
}

void TfrmCheckUpdate::Fill(const UpdateOutcome& outcome) {
    lblVersion.Caption = outcome.onlineVersion;
    lblCurrent.Caption = lblCurrent.Caption.Get() + " " + outcome.currentVersion;
    lblText.Caption = outcome.message;
    std::string features;
    for (const std::string& line : outcome.features)
        features += line + "\r\n";
    lblFeatures.Caption = features;
    lnkDownload.Visible = outcome.Upgrade();
    lblnewfeatures.Visible = outcome.Upgrade();
    lblFeatures.Visible = outcome.Upgrade();
    if (outcome.Upgrade())
        OuterHeight.reset();
    else
        OuterHeight = kUpToDateOuterHeight;
}

bool TfrmCheckUpdate::FormKeyDown(int key) {
    if (key != kEscape)
        return false;
    Close(mrCancel);
    return true;
}

void TfrmCheckUpdate::lnkDownloadClick() {
    const std::string address = DownloadPage();
    if (desktop_.ShellOpen(address) <= 32)
        desktop_.ShowMessage("Unable to open link:\r\n" + address, "Error", MessageIcon::Error,
                             false);
}

} // namespace lupenta
