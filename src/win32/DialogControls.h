#pragma once

// The control windows that only dialogs use, each the peer of its model component: the
// background that hosts controls, labels with their own font, link labels, push buttons, check
// boxes, edit fields, sliders, pictures and the page control.

#include "dialogs/DialogComponents.h"
#include "win32/ControlWindows.h"
#include "win32/Handles.h"

#include <functional>
#include <memory>
#include <vector>

namespace lupenta::win32 {

// A plain area in one colour that passes its children's notifications on to their peers and
// gives static children its colour as their background.
class HostWindow final : public ControlWindow, public MessageHandler {
public:
    HostWindow(ui::TControl& control, Colour background, HWND parent,
               const ControlContext& context);
    LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    Colour Background() const { return background_; }

private:
    Colour background_;
    UniqueBrush brush_;
};

class TextLabelWindow final : public ControlWindow, public MessageHandler {
public:
    TextLabelWindow(ui::TTextLabel& label, Colour background, HWND parent,
                    const ControlContext& context);
    LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void Update(ui::Changes what) override;
    UINT Format() const;
    ui::TTextLabel& label_;
    Colour background_;
};

// Draws "before", the link and "after" in a line; only the link words react to the pointer.
class LinkLabelWindow final : public ControlWindow, public MessageHandler {
public:
    // `linkFont` is the control's font with the link style added.
    LinkLabelWindow(ui::TLinkLabel& link, Colour background, HFONT linkFont, HWND parent,
                    const ControlContext& context);
    LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void Update(ui::Changes what) override;
    void Paint(HWND window);
    bool OverLink(LPARAM position) const;
    void SetState(bool hot, bool pressed);

    ui::TLinkLabel& link_;
    Colour background_;
    HFONT linkFont_;
    RECT linkRect_{};
    bool hot_ = false;
    bool pressed_ = false;
    bool tracking_ = false;
};

class PushButtonWindow final : public ControlWindow {
public:
    PushButtonWindow(ui::TButton& button, HWND parent, const ControlContext& context);
    void Command(WORD code) override;

private:
    void Update(ui::Changes what) override;
    ui::TButton& button_;
};

class CheckBoxWindow final : public ControlWindow {
public:
    CheckBoxWindow(ui::TCheckBox& box, HWND parent, const ControlContext& context);
    void Command(WORD code) override;

private:
    void Update(ui::Changes what) override;
    ui::TCheckBox& box_;
};

class EditWindow final : public ControlWindow {
public:
    EditWindow(ui::TEdit& edit, HWND parent, const ControlContext& context);
    ~EditWindow() override;
    void Command(WORD code) override;

private:
    void Update(ui::Changes what) override;
    static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR id, DWORD_PTR data);
    ui::TEdit& edit_;
    bool updating_ = false;
};

class TrackBarWindow final : public ControlWindow {
public:
    TrackBarWindow(ui::TTrackBar& bar, HWND parent, const ControlContext& context);
    // The host passes its WM_HSCROLL on.
    void Scrolled();

private:
    void Update(ui::Changes what) override;
    ui::TTrackBar& bar_;
    bool updating_ = false;
};

class ImageWindow final : public ControlWindow, public MessageHandler {
public:
    ImageWindow(ui::TImage& image, Colour background, HWND parent, const ControlContext& context);
    LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    ui::TImage& image_;
    Colour background_;
};

// The tabs; each page is a host of its own laid over the tabs' display area, shown while its
// tab is selected.
class PageControlWindow final : public ControlWindow {
public:
    // `createPage` builds the page's controls inside the page's host.
    PageControlWindow(ui::TPageControl& pages, Colour pageBackground, HWND parent,
                      const ControlContext& context,
                      const std::function<void(ui::TTabSheet&, HostWindow&)>& createPage);
    // The host passes its WM_NOTIFY on.
    void Notify(const NMHDR& header);

private:
    void Update(ui::Changes what) override;
    ui::TPageControl& pages_;
    std::vector<std::unique_ptr<HostWindow>> hosts_;
};

} // namespace lupenta::win32
