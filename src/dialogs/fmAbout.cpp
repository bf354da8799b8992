#include "dialogs/fmAbout.h"

#include "main/fmMagnifier.h"

#include <string_view>

namespace lupenta {

namespace {

constexpr Colour kAboutBackground = 8779263;

// The host the web pages are served from, without the "www." that mail addresses do not carry.
std::string MailDomain() {
    std::string_view host = LUPENTA_VENDOR_HOST;
    if (host.starts_with("www."))
        host.remove_prefix(4);
    return std::string(host);
}

void StyleLink(ui::TLinkLabel& link, const std::string& shown, const std::string& target) {
    link.Text = "<link>" + shown + "</link>";
    link.Hint = target;
    link.Font = ui::TFont{"MS Sans Serif", 12, true};
    link.LinkColor = MakeColour(0, 0, 255);
    link.HotColor = MakeColour(128, 0, 128);
    link.ClickedColor = MakeColour(255, 0, 0);
    link.HotLinks = true;
    link.UnderlineLink = false;
}

} // namespace

std::string SupportMailAddress() {
    return "support@" + MailDomain();
}

TfrmAbout::TfrmAbout(Desktop& desktop, FileSystem& files, std::string exeFolder)
    : TDialog("About Lupenta", 490, 225), desktop_(desktop), files_(files),
      exeFolder_(std::move(exeFolder)) {
    Color = kAboutBackground;
    KeyPreview = true;

    lblName.Font = ui::TFont{"Arial Black", 27, false};
    lblName.Alignment = ui::TAlignment::Center;
    lblName.AutoSize = false;
    lblCopyRight.Caption = "Copyright \xC2\xA9 Tarnwell Software";
    lblCopyRight.Alignment = ui::TAlignment::Center;
    lblCopyRight.AutoSize = false;
    lblFreeware.Font = ui::TFont{"Arial Black", 21, false};

    StyleLink(JvLinkLabel2, SupportMailAddress(), "mailto:" + SupportMailAddress());
    StyleLink(JvLinkLabel3, VendorHomePage(), VendorHomePage());
    JvLinkLabel2.OnLinkClick = [this](ui::Component& sender) { JvLinkLabel2LinkClick(sender); };
    JvLinkLabel3.OnLinkClick = [this](ui::Component& sender) { JvLinkLabel2LinkClick(sender); };

    btnReadme.OnClick = [this] { btnReadmeClick(); };
    btnOK.OnClick = [this] { Close(mrOk); };

    Add(btnOK);
    Add(btnReadme);
    Add(imgLogo);
    Add(imgIcon);
    Add(lblName);
    Add(lblCopyRight);
    Add(lblFreeware);
    Add(lblmailto);
    Add(JvLinkLabel2);
    Add(lblSurfto);
    Add(JvLinkLabel3);
}

void TfrmAbout::SetVersion(const std::string& version) {
    lblName.Caption = "Lupenta " + version;
}

std::string TfrmAbout::ReadmePath() const {
    std::string path = exeFolder_;
    const char separator = files_.PathSeparator();
    if (!path.empty() && path.back() != separator && path.back() != '/')
        path += separator;
    return path + "readme.txt";
}

bool TfrmAbout::FormKeyDown(int key) {
    if (key != kEscape)
        return false;
    Close(mrCancel);
    return true;
}

void TfrmAbout::btnReadmeClick() {
    const std::string path = ReadmePath();
    if (!files_.FileExists(path)) {
        desktop_.ShowMessage("File not found:\r\n" + path, "Error", MessageIcon::Error, false);
        return;
    }
    if (desktop_.ShellOpen(path) <= 32)
        desktop_.ShowMessage("Unable to open:\r\n" + path, "Error", MessageIcon::Error, false);
}

void TfrmAbout::JvLinkLabel2LinkClick(ui::Component& sender) {
    const auto* link = dynamic_cast<ui::TLinkLabel*>(&sender);
    if (!link)
        return;
    const std::string address = link->Hint;
    if (address.empty())
        return;
    if (desktop_.ShellOpen(address) <= 32)
        desktop_.ShowMessage("Unable to open link:\r\n" + address, "Error", MessageIcon::Error,
                             false);
}

} // namespace lupenta
