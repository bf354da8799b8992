#pragma once

#include "dialogs/Dialog.h"
#include "platform/Desktop.h"
#include "win32/DialogControls.h"

#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

namespace lupenta::win32 {

// The program's desktop as a dialog sees it: every service passes through, but message boxes
// belong to the dialog, so they open over it and hand the activation back to it.
class DialogDesktop final : public Desktop {
public:
    explicit DialogDesktop(Desktop& inner) : inner_(inner) {}
    void SetDialog(HWND dialog) { dialog_ = dialog; }

    PixelAllocator& FrameAllocator() override { return inner_.FrameAllocator(); }
    bool CaptureScreen(const Rect& source, Bitmap24& frame, Point at) override {
        return inner_.CaptureScreen(source, frame, at);
    }
    std::optional<Point> PointerPosition() override { return inner_.PointerPosition(); }
    bool MovePointer(Point p) override { return inner_.MovePointer(p); }
    std::optional<PointerShape> CurrentPointer() override { return inner_.CurrentPointer(); }
    std::optional<PointerSighting> SightPointer() override { return inner_.SightPointer(); }
    bool DrawPointer(const PointerShape& shape, Bitmap24& frame, Point at, int size) override {
        return inner_.DrawPointer(shape, frame, at, size);
    }
    CaretProbe ProbeCaret() override { return inner_.ProbeCaret(); }
    std::optional<WindowId> TopLevelWindowAt(Point p) override {
        return inner_.TopLevelWindowAt(p);
    }
    std::optional<Rect> WindowRect(WindowId window) override { return inner_.WindowRect(window); }
    std::optional<Rect> MonitorNearest(Point p) override { return inner_.MonitorNearest(p); }
    std::vector<Rect> Monitors() override { return inner_.Monitors(); }
    Rect VirtualDesktop() override { return inner_.VirtualDesktop(); }
    bool IsCtrlDown() override { return inner_.IsCtrlDown(); }
    void ShowMessage(const std::string& text, const std::string& caption, MessageIcon icon,
                     bool centred) override;
    int ShellOpen(const std::string& target) override { return inner_.ShellOpen(target); }
    bool ClearClipboard() override { return inner_.ClearClipboard(); }
    bool SetClipboardText(const std::string& utf8) override {
        return inner_.SetClipboardText(utf8);
    }
    bool SetClipboardBitmap(const Bitmap24& frame) override {
        return inner_.SetClipboardBitmap(frame);
    }

private:
    Desktop& inner_;
    HWND dialog_ = nullptr;
};

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
    int Scaled(int designPixels) const;
    void ScaleBounds(ui::TControl& control);
    // True when the message was handled here and goes no further.
    bool PreTranslate(const MSG& msg);

    static constexpr int kDesignDpi = 96;

    TDialog& model_;
    HWND owner_;
    int dpi_ = kDesignDpi;
    HWND window_ = nullptr;
    Colour background_;
    ui::TPanel client_{"Client", Rect{}, 0};
    std::map<std::tuple<std::string, int, bool, bool>, UniqueFont> fonts_;
    std::vector<std::unique_ptr<ControlWindow>> controls_;
};

} // namespace lupenta::win32
