#include "tray/TrayIcon.h"

namespace lupenta {

TTrayIcon::TTrayIcon(NotificationArea& area, ApplicationWindow& application, Desktop& desktop)
    : area_(area), application_(application), desktop_(desktop) {
    Active.OnChange([this] { ActiveChanged(); });
    Visibility.OnChange([this] { VisibilityChanged(); });
    Hint.OnChange([this] { tipChanged_ = true; });
}

TTrayIcon::~TTrayIcon() {
    Active = false;
}

bool TTrayIcon::ApplicationVisible() {
    return application_.IsVisible() && !application_.IsIconic();
}

void TTrayIcon::HideApplication() {
    // A minimised window still carries its task-bar button, so it is hidden too.
    if (application_.IsVisible())
        application_.Hide();
    knownVisibility_ = Visibility.Get().Without(tvVisibleTaskBar);
    Visibility = knownVisibility_;
}

void TTrayIcon::ShowApplication() {
    knownVisibility_ = Visibility.Get().With(tvVisibleTaskBar);
    Visibility = knownVisibility_;
    // A window already on screen is left where it is in the z-order.
    if (ApplicationVisible())
        return;
    if (application_.IsIconic())
        application_.Restore();
    else
        application_.Show();
    application_.Activate();
}

bool TTrayIcon::OnMinimizeCommand() {
    if (!Active || !Visibility.Get().Contains(tvAutoHide))
        return false;
    HideApplication();
    return true;
}

void TTrayIcon::OnNotify(std::uint32_t notification) {
    switch (notification) {
    case kLeftButtonDown:
    case kRightButtonDown:
    case kMiddleButtonDown:
        pressed_ = true;
        break;
    case kLeftButtonUp:
    case kRightButtonUp:
    case kMiddleButtonUp:
        ButtonUp(notification);
        break;
    case kMouseMove:
        if (tipChanged_) {
            tipChanged_ = false;
            area_.SetTip(ShortHint());
            if (iconShown_)
                Notify(NotifyRequest::Modify, kNotifyTip);
        }
        break;
    case kContextMenu:
    case kKeySelect:
        OpenMenu();
        break;
    default:
        // Double clicks have no action: the menu has no default item and no double-click flag
        // is set, so a double click toggles the application once, through its first click.
        break;
    }
}

void TTrayIcon::OnTaskbarCreated() {
    DeleteIcon();
    // A re-created task bar holds none of the old icons, so the icon is added again even when
    // the shell refused to delete the entry it no longer has.
    iconShown_ = false;
    if (Active)
        ShowIcon();
}

void TTrayIcon::OnEndSession(bool ending) {
    if (ending)
        DeleteIcon();
    else if (Active)
        ShowIcon();
}

void TTrayIcon::ActiveChanged() {
    if (Active) {
        area_.SetTip(ShortHint());
        tipChanged_ = false;
        ShowIcon();
    } else {
        DeleteIcon();
    }
}

void TTrayIcon::VisibilityChanged() {
    const TTrayVisibility old = knownVisibility_;
    const TTrayVisibility now = Visibility;
    knownVisibility_ = now;
    if (!Active)
        return;
    const TTrayVisibility added = now.Minus(old);
    const TTrayVisibility removed = old.Minus(now);
    if (added.Contains(tvAutoHide) && !ApplicationVisible())
        HideApplication();
    if (added.Contains(tvVisibleTaskBar))
        ShowApplication();
    else if (removed.Contains(tvVisibleTaskBar))
        HideApplication();
}

void TTrayIcon::ShowIcon() {
    if (iconShown_ || !Active)
        return;
    if (!Notify(NotifyRequest::Add, kNotifyMessage | kNotifyIcon | kNotifyTip))
        return;
    iconShown_ = true;
    // Asks the shell for right clicks as context-menu and keyboard selection as key-select
    // notifications.
    Notify(NotifyRequest::SetVersion, 0);
}

void TTrayIcon::DeleteIcon() {
    if (iconShown_ && Notify(NotifyRequest::Delete, 0))
        iconShown_ = false;
}

bool TTrayIcon::Notify(NotifyRequest request, std::uint32_t flags) {
    const NotifyResult first = area_.Send(request, flags);
    if (first.ok)
        return true;
    if (Visibility.Get().Contains(tvNoRetryOnFailure))
        return false;
    // Only a shell too busy to answer is worth waiting for.
    if (first.lastError != 0 && first.lastError != kErrorTimeout)
        return false;
    for (int retry = 0; retry < kRetries; ++retry) {
        area_.Sleep(kRetryWaitMs);
        // A timed-out request may have been carried out after all; a modify tells.
        if (request == NotifyRequest::Add && area_.Send(NotifyRequest::Modify, flags).ok)
            return true;
        if (request == NotifyRequest::Delete && !area_.Send(NotifyRequest::Modify, flags).ok)
            return true;
        if (area_.Send(request, flags).ok)
            return true;
    }
    return false;
}

void TTrayIcon::ButtonUp(std::uint32_t notification) {
    if (!pressed_)
        return;
    pressed_ = false;
    // The right button's menu comes with the context-menu notification that follows.
    if (notification != kLeftButtonUp)
        return;
    if (ApplicationVisible()) {
        if (Visibility.Get().Contains(tvMinimizeClick))
            HideApplication();
    } else if (Visibility.Get().Contains(tvRestoreClick)) {
        ShowApplication();
    }
}

void TTrayIcon::OpenMenu() {
    if (!PopupMenu)
        return;
    if (const auto pointer = desktop_.PointerPosition())
        area_.PopupMenu(*PopupMenu, *pointer);
}

std::string TTrayIcon::ShortHint() const {
    const std::string& hint = Hint;
    return hint.substr(0, hint.find('|'));
}

} // namespace lupenta
