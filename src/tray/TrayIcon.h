#pragma once

#include "platform/Desktop.h"
#include "ui/PopupMenu.h"
#include "ui/Property.h"

#include <cstdint>
#include <initializer_list>
#include <string>

namespace lupenta {

// The behaviour flags of the tray icon. The program sets only tvVisibleTaskBar, tvAutoHide,
// tvRestoreClick and tvMinimizeClick; the other flags are accepted and change nothing.
enum TTrayVisibilityFlag : std::uint32_t {
    tvVisibleTaskBar = 1u << 0,
    tvVisibleTaskList = 1u << 1,
    tvAutoHide = 1u << 2,
    tvAutoHideIcon = 1u << 3,
    tvVisibleDesign = 1u << 4,
    tvRestoreClick = 1u << 5,
    tvRestoreDbClick = 1u << 6,
    tvMinimizeClick = 1u << 7,
    tvMinimizeDbClick = 1u << 8,
    tvAnimateToTray = 1u << 9,
    tvNoRetryOnFailure = 1u << 10,
};

class TTrayVisibility {
public:
    constexpr TTrayVisibility() = default;
    constexpr TTrayVisibility(std::initializer_list<TTrayVisibilityFlag> flags) {
        for (TTrayVisibilityFlag flag : flags)
            bits_ |= flag;
    }

    constexpr bool Contains(TTrayVisibilityFlag flag) const { return (bits_ & flag) != 0; }
    constexpr TTrayVisibility With(TTrayVisibilityFlag flag) const { return Bits(bits_ | flag); }
    constexpr TTrayVisibility Without(TTrayVisibilityFlag flag) const {
        return Bits(bits_ & ~static_cast<std::uint32_t>(flag));
    }
    // The flags of this set that `other` lacks.
    constexpr TTrayVisibility Minus(TTrayVisibility other) const {
        return Bits(bits_ & ~other.bits_);
    }
    constexpr std::uint32_t Raw() const { return bits_; }
    constexpr bool operator==(const TTrayVisibility&) const = default;

private:
    static constexpr TTrayVisibility Bits(std::uint32_t bits) {
        TTrayVisibility set;
        set.bits_ = bits;
        return set;
    }
    std::uint32_t bits_ = 0;
};

// The requests of the notification area, with the numbers the shell gives them.
enum class NotifyRequest : std::uint32_t { Add = 0, Modify = 1, Delete = 2, SetVersion = 4 };

// Which parts of the icon's record a request carries.
constexpr std::uint32_t kNotifyMessage = 1;
constexpr std::uint32_t kNotifyIcon = 2;
constexpr std::uint32_t kNotifyTip = 4;

struct NotifyResult {
    bool ok = false;
    // The platform's last error after a failed request; 0 when it gave none.
    std::uint32_t lastError = 0;
};

// The notification area as the tray icon sees it: one icon, whose picture the platform supplies.
class NotificationArea {
public:
    virtual ~NotificationArea() = default;
    // The tip text that the following requests carry.
    virtual void SetTip(const std::string& tip) = 0;
    virtual NotifyResult Send(NotifyRequest request, std::uint32_t flags) = 0;
    virtual void Sleep(int milliseconds) = 0;
    // Pops the menu up for the icon. A platform whose menus close only while one of its windows
    // is in front brings the icon's window there first.
    virtual void PopupMenu(ui::TPopupMenu& menu, Point at) { menu.Popup(at.x, at.y); }
};

// The window that carries the application's task-bar button; here, the main window itself.
class ApplicationWindow {
public:
    virtual ~ApplicationWindow() = default;
    virtual bool IsVisible() = 0;
    virtual bool IsIconic() = 0;
    // Hides the window, and its task-bar button with it.
    virtual void Hide() = 0;
    virtual void Show() = 0;
    virtual void Restore() = 0;
    virtual void Activate() = 0;
};

// The notification-area icon: its menu, the left click that hides and brings back the
// application, and hiding to the tray when the main window is minimised.
class TTrayIcon {
public:
    // The notifications that reach the icon's callback, as the shell numbers them.
    static constexpr std::uint32_t kMouseMove = 0x0200;
    static constexpr std::uint32_t kLeftButtonDown = 0x0201;
    static constexpr std::uint32_t kLeftButtonUp = 0x0202;
    static constexpr std::uint32_t kLeftButtonDoubleClick = 0x0203;
    static constexpr std::uint32_t kRightButtonDown = 0x0204;
    static constexpr std::uint32_t kRightButtonUp = 0x0205;
    static constexpr std::uint32_t kRightButtonDoubleClick = 0x0206;
    static constexpr std::uint32_t kMiddleButtonDown = 0x0207;
    static constexpr std::uint32_t kMiddleButtonUp = 0x0208;
    static constexpr std::uint32_t kMiddleButtonDoubleClick = 0x0209;
    static constexpr std::uint32_t kContextMenu = 0x007B;
    static constexpr std::uint32_t kSelect = 0x0400;
    static constexpr std::uint32_t kKeySelect = 0x0401;

    static constexpr std::uint32_t kErrorTimeout = 1460;
    static constexpr int kRetries = 31;
    static constexpr int kRetryWaitMs = 1000;

    // The main window's configuration of the icon.
    static constexpr TTrayVisibility kMainWindowVisibility{tvVisibleTaskBar, tvAutoHide,
                                                           tvRestoreClick, tvMinimizeClick};

    // The three outlive the icon: destroying an active icon deletes it from the area.
    TTrayIcon(NotificationArea& area, ApplicationWindow& application, Desktop& desktop);
    ~TTrayIcon();
    TTrayIcon(const TTrayIcon&) = delete;
    TTrayIcon& operator=(const TTrayIcon&) = delete;

    // True puts the icon into the notification area and hooks minimising; false undoes both.
    ui::Property<bool> Active{false};
    ui::Property<TTrayVisibility> Visibility;
    // Only the part before the first "|" becomes the tip.
    ui::Property<std::string> Hint;
    ui::TPopupMenu* PopupMenu = nullptr;

    // Neither needs the icon to be active.
    void HideApplication();
    void ShowApplication();
    bool ApplicationVisible();

    // What the platform reports to the icon.
    void OnNotify(std::uint32_t notification);
    void OnTaskbarCreated();
    // `ending`: the session ends (the user logs off or the system shuts down).
    void OnEndSession(bool ending);
    // A minimise command for the main window; true when it hid the application instead, so
    // the minimise must not happen.
    bool OnMinimizeCommand();

    bool IconShown() const { return iconShown_; }

private:
    void ActiveChanged();
    void VisibilityChanged();
    void ShowIcon();
    void DeleteIcon();
    bool Notify(NotifyRequest request, std::uint32_t flags);
    void ButtonUp(std::uint32_t notification);
    void OpenMenu();
    std::string ShortHint() const;

    NotificationArea& area_;
    ApplicationWindow& application_;
    Desktop& desktop_;
    // The set that the change handling last saw, so a change can tell what was added.
    TTrayVisibility knownVisibility_;
    bool iconShown_ = false;
    bool pressed_ = false;
    bool tipChanged_ = false;
};

} // namespace lupenta
