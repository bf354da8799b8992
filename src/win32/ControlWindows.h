#pragma once

// The windows of the panel controls: panels, labels, the zoom list and the glyph buttons.
// Each is the peer of its model component and follows its state.

#include "ui/Controls.h"
#include "win32/AccessibleWindow.h"
#include "win32/Handles.h"
#include "win32/WindowClass.h"

#include <memory>

namespace lupenta::win32 {

// Where a context menu opens: at the click, or from the keyboard (no position given) at the
// window's top-left corner.
POINT ContextMenuPosition(HWND window, LPARAM where);

// What a control window needs from the window that hosts it.
struct ControlContext {
    HFONT font = nullptr;
    HWND tooltip = nullptr;
};

// Common to every control window: bounds, visibility and hint follow the model, a right
// click opens the control's own popup menu when it has one, and screen readers hear the
// control's role and name from the model and are told what changes.
class ControlWindow : public ui::ComponentPeer, public AccessibleSource {
public:
    ControlWindow(ui::TControl& control, const ControlContext& context);
    ~ControlWindow() override;
    ControlWindow(const ControlWindow&) = delete;
    ControlWindow& operator=(const ControlWindow&) = delete;

    HWND Handle() const { return window_; }
    void ComponentChanged(ui::Changes what) override;
    void SpokenChanged() override;
    AccessibleFacts Facts() override;

    // Notifications a host forwards to its children.
    virtual void Command(WORD) {}

    // The control window whose handle is `window`, if it is one of ours.
    static ControlWindow* FromHandle(HWND window);

protected:
    void Attach(HWND window);
    bool PopupOwnMenu(LPARAM where);
    // The answer to WM_GETOBJECT; 0 leaves the message to the default procedure.
    LRESULT GetAccessibleObject(WPARAM wParam, LPARAM lParam);
    // Brings what the base does not handle up to date after changes of kinds `what`.
    virtual void Update(ui::Changes) {}
    // What a screen reader hears besides the role and name: a readout's text, a state
    // beyond the system's own, the verb of the default action.
    virtual std::optional<std::string> AccessibleValue() const { return std::nullopt; }
    virtual long AccessibleState() const { return 0; }
    virtual std::wstring DefaultAction() const { return {}; }

    ui::TControl& control_;
    ControlContext context_;
    HWND window_ = nullptr;

private:
    std::string hint_;
    std::unique_ptr<AccessibleWindow> accessible_;
    int announced_ = 0;
};

// A flat panel filled with its colour, showing its caption centred; its window text is the
// caption. It hosts child controls and passes their notifications on.
class PanelWindow final : public ControlWindow, public MessageHandler {
public:
    PanelWindow(ui::TPanel& panel, HWND parent, const ControlContext& context);
    LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void Update(ui::Changes what) override;
    std::optional<std::string> AccessibleValue() const override;
    void Paint(HWND window);
    ui::TPanel& panel_;
};

// A label drawn in its font colour over its parent panel's colour.
class LabelWindow final : public ControlWindow, public MessageHandler {
public:
    LabelWindow(ui::TLabel& label, const ui::TPanel& parentPanel, HWND parent,
                const ControlContext& context);
    LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void Update(ui::Changes what) override;
    std::optional<std::string> AccessibleValue() const override;
    ui::TLabel& label_;
    const ui::TPanel& parentPanel_;
    UniqueMemoryDc measure_;
    // Where the label last fitted itself to its text.
    Rect fitted_;
};

// A drop-down list without free text.
class ComboBoxWindow final : public ControlWindow {
public:
    ComboBoxWindow(ui::TComboBox& combo, HWND parent, const ControlContext& context);
    void Command(WORD code) override;

private:
    void Update(ui::Changes what) override;
    ui::TComboBox& combo_;
    bool updating_ = false;
};

// A flat button that shows a glyph drawn in code; a toggle button is drawn pressed while down.
// Like a tool-bar button it never takes the keyboard, so a click leaves the keys going where
// they went before (Space still pauses sampling, and never clicks the button again).
class ButtonWindow final : public ControlWindow, public MessageHandler {
public:
    ButtonWindow(ui::TSpeedButton& button, const ui::TPanel& parentPanel, HWND parent,
                 const ControlContext& context);
    LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    long AccessibleState() const override;
    std::wstring DefaultAction() const override;
    void Paint(HWND window);
    void SetPressed(bool pressed);

    ui::TSpeedButton& button_;
    const ui::TPanel& parentPanel_;
    // The left button went down on this button and has not come up yet.
    bool held_ = false;
    // Held with the pointer over the button: releasing now clicks.
    bool pressed_ = false;
};

} // namespace lupenta::win32
