#pragma once

#include "platform/win32/WindowClass.h"
#include "ui/Controls.h"

namespace lupenta::win32 {

// A flat panel child window filled with the panel's colour.
class PanelWindow final : public MessageHandler, public ui::ComponentPeer {
public:
    PanelWindow(ui::TPanel& panel, HWND parent);
    ~PanelWindow() override;
    PanelWindow(const PanelWindow&) = delete;
    PanelWindow& operator=(const PanelWindow&) = delete;

    HWND Handle() const { return window_; }
    void ComponentChanged() override;
    LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    ui::TPanel& panel_;
    HWND window_ = nullptr;
};

} // namespace lupenta::win32
