#pragma once

#include "dialogs/Dialog.h"
#include "platform/win32/DialogControls.h"

#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

namespace lupenta::win32 {

// A modal window built in code from a dialog model: its caption and size, its controls, and a
// loop that keeps the owner disabled until the model is closed. The model sees keys first
// when it asks to; Enter presses the focused button.
class DialogWindow final : public MessageHandler {
public:
    DialogWindow(TDialog& model, HWND owner);
    ~DialogWindow() override;
    DialogWindow(const DialogWindow&) = delete;
    DialogWindow& operator=(const DialogWindow&) = delete;

    // Returns the model's result once it is closed.
    TDialog::ModalResult ShowModal();
    HWND Handle() const { return window_; }

    LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void CreateControl(ui::TControl& control, HostWindow& host);
    HFONT FontFor(const ui::TFont& font);
    HFONT FontFor(const ui::TFont& font, bool underline);
    void CentreOnScreen();
    // True when the message was handled here and goes no further.
    bool PreTranslate(const MSG& msg);

    TDialog& model_;
    HWND owner_;
    HWND window_ = nullptr;
    Colour background_;
    ui::TPanel client_{"Client", Rect{}, 0};
    std::map<std::tuple<std::string, int, bool, bool>, UniqueFont> fonts_;
    std::vector<std::unique_ptr<ControlWindow>> controls_;
};

} // namespace lupenta::win32
