#include "win32/DialogWindow.h"

#include "win32/ApplicationEvents.h"
#include "win32/FaultGuard.h"
#include "win32/Text.h"

#include <commctrl.h>

namespace lupenta::win32 {

namespace {

constexpr wchar_t kDialogClass[] = L"LupentaDialog";
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;

bool IsPushButton(HWND window) {
    wchar_t className[16] = {};
    GetClassNameW(window, className, 16);
    if (lstrcmpiW(className, WC_BUTTONW) != 0)
        return false;
    const auto type = GetWindowLongPtrW(window, GWL_STYLE) & BS_TYPEMASK;
    return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON;
}

} // namespace

void DialogDesktop::ShowMessage(const std::string& text, const std::string& caption,
                                MessageIcon icon, bool centred) {
    if (!dialog_ || !IsWindow(dialog_)) {
        inner_.ShowMessage(text, caption, icon, centred);
        return;
    }
    UINT style = MB_OK;
    if (icon == MessageIcon::Warning)
        style |= MB_ICONWARNING;
    else if (icon == MessageIcon::Error)
        style |= MB_ICONERROR;
    MessageBoxW(dialog_, Widen(text).c_str(), Widen(caption).c_str(), style);
}

DialogWindow::DialogWindow(TDialog& model, HWND owner)
    : model_(model), owner_(owner),
      background_(model.Color ? *model.Color : GetSysColor(COLOR_BTNFACE)) {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES |
                                                        ICC_BAR_CLASSES | ICC_TAB_CLASSES};
    InitCommonControlsEx(&controls);
    RegisterHandlerClass(kDialogClass, 0, nullptr);

    {
        UniqueWindowDc screen(nullptr);
        if (screen)
            dpi_ = GetDeviceCaps(screen.get(), LOGPIXELSY);
    }
    RECT outer{0, 0, Scaled(model.DesignClientWidth), Scaled(model.DesignClientHeight)};
    AdjustWindowRectEx(&outer, kStyle, FALSE, kExStyle);
    const int width = outer.right - outer.left;
    const int height = model.OuterHeight ? Scaled(*model.OuterHeight) : outer.bottom - outer.top;
    window_ = CreateWindowExW(kExStyle, kDialogClass, Widen(model.Caption).c_str(), kStyle, 0, 0,
                              width, height, owner, nullptr, GetModuleHandleW(nullptr), this);
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));

    RECT client{};
    GetClientRect(window_, &client);
    // The model lays out in pixels at 96 dots per inch; its controls get the screen's pixels
    // only once the anchored ones have moved.
    model.ClientResized(MulDiv(client.right, kDesignDpi, dpi_),
                        MulDiv(client.bottom, kDesignDpi, dpi_));
    for (ui::TControl* control : model.Controls())
        ScaleBounds(*control);
    client_.Bounds = Rect{0, 0, client.right, client.bottom};
    ControlContext context{FontFor(model.Font), nullptr};
    auto host = std::make_unique<HostWindow>(client_, background_, window_, context);
    HostWindow& clientHost = *host;
    controls_.push_back(std::move(host));
    for (ui::TControl* control : model.Controls())
        CreateControl(*control, clientHost);
    CentreOnScreen();
}

DialogWindow::~DialogWindow() {
    // The controls go before the window that holds them.
    controls_.clear();
    if (window_ && IsWindow(window_)) {
        SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
        DestroyWindow(window_);
    }
}

int DialogWindow::Scaled(int designPixels) const {
    return MulDiv(designPixels, dpi_, kDesignDpi);
}

void DialogWindow::ScaleBounds(ui::TControl& control) {
    const Rect& b = control.Bounds;
    control.Bounds = Rect{Scaled(b.left), Scaled(b.top), Scaled(b.right), Scaled(b.bottom)};
    if (auto* pages = dynamic_cast<ui::TPageControl*>(&control))
        for (ui::TTabSheet* page : pages->Pages)
            for (ui::TControl* child : page->Controls)
                ScaleBounds(*child);
}

HFONT DialogWindow::FontFor(const ui::TFont& font) {
    return FontFor(font, false);
}

HFONT DialogWindow::FontFor(const ui::TFont& font, bool underline) {
    const auto key = std::make_tuple(font.Name, font.Height, font.Bold, underline);
    auto found = fonts_.find(key);
    if (found == fonts_.end()) {
        UniqueFont created(CreateFontW(-Scaled(font.Height), 0, 0, 0,
                                       font.Bold ? FW_BOLD : FW_NORMAL, FALSE, underline, FALSE,
                                       DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                       CLEARTYPE_QUALITY, DEFAULT_PITCH, Widen(font.Name).c_str()));
        found = fonts_.emplace(key, std::move(created)).first;
    }
    return found->second.get();
}

void DialogWindow::CreateControl(ui::TControl& control, HostWindow& host) {
    const HWND parent = host.Handle();
    const Colour background = host.Background();
    ControlContext context{FontFor(model_.Font), nullptr};
    std::unique_ptr<ControlWindow> created;
    if (auto* label = dynamic_cast<ui::TTextLabel*>(&control)) {
        if (label->Font)
            context.font = FontFor(*label->Font);
        created = std::make_unique<TextLabelWindow>(*label, background, parent, context);
    } else if (auto* link = dynamic_cast<ui::TLinkLabel*>(&control)) {
        ui::TFont font = link->Font ? *link->Font : model_.Font;
        context.font = FontFor(font);
        ui::TFont linkFont = font;
        linkFont.Bold = linkFont.Bold || !link->UnderlineLink;
        created = std::make_unique<LinkLabelWindow>(
            *link, background, FontFor(linkFont, link->UnderlineLink), parent, context);
    } else if (auto* button = dynamic_cast<ui::TButton*>(&control)) {
        created = std::make_unique<PushButtonWindow>(*button, parent, context);
    } else if (auto* box = dynamic_cast<ui::TCheckBox*>(&control)) {
        created = std::make_unique<CheckBoxWindow>(*box, parent, context);
    } else if (auto* edit = dynamic_cast<ui::TEdit*>(&control)) {
        created = std::make_unique<EditWindow>(*edit, parent, context);
    } else if (auto* bar = dynamic_cast<ui::TTrackBar*>(&control)) {
        created = std::make_unique<TrackBarWindow>(*bar, parent, context);
    } else if (auto* image = dynamic_cast<ui::TImage*>(&control)) {
        created = std::make_unique<ImageWindow>(*image, background, parent, context);
    } else if (auto* combo = dynamic_cast<ui::TComboBox*>(&control)) {
        created = std::make_unique<ComboBoxWindow>(*combo, parent, context);
    } else if (auto* pages = dynamic_cast<ui::TPageControl*>(&control)) {
        created = std::make_unique<PageControlWindow>(
            *pages, background, parent, context, [this](ui::TTabSheet& page, HostWindow& pageHost) {
                for (ui::TControl* child : page.Controls)
                    CreateControl(*child, pageHost);
            });
    }
    if (created)
        controls_.push_back(std::move(created));
}

void DialogWindow::CentreOnScreen() {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromWindow(owner_, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT& area = monitor.rcWork;
    RECT r;
    GetWindowRect(window_, &r);
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    SetWindowPos(window_, nullptr, area.left + (area.right - area.left - width) / 2,
                 area.top + (area.bottom - area.top - height) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool DialogWindow::PreTranslate(const MSG& msg) {
    if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN)
        return false;
    if (msg.hwnd != window_ && !IsChild(window_, msg.hwnd))
        return false;
    if (model_.KeyPreview && model_.FormKeyDown(static_cast<int>(msg.wParam)))
        return true;
    if (msg.wParam == VK_RETURN && IsPushButton(msg.hwnd)) {
        SendMessageW(msg.hwnd, BM_CLICK, 0, 0);
        return true;
    }
    // Enter and Escape reach the focused control as plain keys: the dialog manager would turn
    // them into commands that these dialogs do not have.
    if (msg.wParam == VK_RETURN || msg.wParam == VK_ESCAPE) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
        return true;
    }
    return false;
}

TDialog::ModalResult DialogWindow::ShowModal() {
    // A dialog whose window could not be made is cancelled at once rather than waited for.
    if (!window_)
        return TDialog::mrCancel;
    const bool ownerWasEnabled = owner_ && IsWindowEnabled(owner_);
    if (ownerWasEnabled)
        EnableWindow(owner_, FALSE);
    ShowWindow(window_, SW_SHOW);
    SetForegroundWindow(window_);
    for (ui::TControl* control : model_.Controls()) {
        const auto* peer = dynamic_cast<ControlWindow*>(control->Peer());
        if (peer && (GetWindowLongPtrW(peer->Handle(), GWL_STYLE) & WS_TABSTOP)) {
            SetFocus(peer->Handle());
            break;
        }
    }
    MSG msg;
    while (!model_.Closed()) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got <= 0) {
            // The program is ending: the loop that asked for it must see the quit too.
            if (got == 0)
                PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        bool consumed = false;
        if (!CurrentFaultBarrier().Run(
                ui::EventKind::Other,
                [&] { consumed = ApplicationEvents(msg) || PreTranslate(msg); }) ||
            consumed)
            continue;
        if (!IsDialogMessageW(window_, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    // The owner is enabled before the dialog goes, so the activation returns to it.
    if (ownerWasEnabled)
        EnableWindow(owner_, TRUE);
    ShowWindow(window_, SW_HIDE);
    return model_.Closed() ? model_.Result() : TDialog::mrCancel;
}

LRESULT DialogWindow::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CLOSE:
        model_.Close(TDialog::mrCancel);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace lupenta::win32
