#include "win32/DialogControls.h"

#include "win32/FaultGuard.h"
#include "win32/Painting.h"
#include "win32/Text.h"

#include <commctrl.h>
#include <windowsx.h>

namespace lupenta::win32 {

namespace {

constexpr wchar_t kHostClass[] = L"LupentaDialogHost";
constexpr wchar_t kTextLabelClass[] = L"LupentaDialogLabel";
constexpr wchar_t kLinkLabelClass[] = L"LupentaLinkLabel";
constexpr wchar_t kImageClass[] = L"LupentaImage";

HWND CreateChild(const wchar_t* className, DWORD style, DWORD exStyle, const Rect& b, HWND parent,
                 const std::wstring& text = L"") {
    return CreateWindowExW(exStyle, className, text.c_str(), WS_CHILD | WS_VISIBLE | style, b.left,
                           b.top, b.Width(), b.Height(), parent, nullptr, GetModuleHandleW(nullptr),
                           nullptr);
}

SIZE TextSize(HDC dc, HFONT font, const std::wstring& text) {
    SelectGuard select(dc, font);
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size;
}

// A magnifying glass over a few enlarged pixels, drawn in code so no picture file is needed.
void DrawLogo(HDC dc, const RECT& r) {
    const int size = std::min(r.right - r.left, r.bottom - r.top);
    const int radius = size * 3 / 10;
    const int cx = r.left + size * 2 / 5;
    const int cy = r.top + size * 2 / 5;
    const int cell = radius / 3;
    const Colour cells[] = {MakeColour(220, 60, 60), MakeColour(60, 170, 80),
                            MakeColour(60, 110, 220), MakeColour(250, 200, 40)};
    // Without the round clip the pixels would spill out of the lens, so they are left out.
    if (UniqueGdiObject<HRGN> lens(
            CreateEllipticRgn(cx - radius, cy - radius, cx + radius, cy + radius));
        lens) {
        SelectClipRgn(dc, lens.get());
        for (int row = -3; row < 3; ++row)
            for (int column = -3; column < 3; ++column) {
                const RECT c{cx + column * cell, cy + row * cell, cx + (column + 1) * cell,
                             cy + (row + 1) * cell};
                FillWith(dc, c, cells[(row + column + 6) % 4]);
            }
        SelectClipRgn(dc, nullptr);
    }
    UniqueGdiObject<HPEN> rim(CreatePen(PS_SOLID, std::max(2, size / 20), MakeColour(40, 40, 40)));
    SelectGuard selectPen(dc, rim.get());
    SelectGuard selectBrush(dc, GetStockObject(NULL_BRUSH));
    Ellipse(dc, cx - radius, cy - radius, cx + radius, cy + radius);
    UniqueGdiObject<HPEN> handle(
        CreatePen(PS_SOLID, std::max(4, size / 10), MakeColour(90, 60, 30)));
    SelectGuard selectHandle(dc, handle.get());
    const int start = radius * 7 / 10;
    MoveToEx(dc, cx + start + size / 40, cy + start + size / 40, nullptr);
    LineTo(dc, r.left + size * 17 / 20, r.top + size * 17 / 20);
}

} // namespace

HostWindow::HostWindow(ui::TControl& control, Colour background, HWND parent,
                       const ControlContext& context)
    : ControlWindow(control, context), background_(background),
      brush_(CreateSolidBrush(background)) {
    RegisterHandlerClass(kHostClass, 0, nullptr);
    const Rect& b = control.Bounds;
    Attach(CreateHandlerWindow(*this, kHostClass, WS_EX_CONTROLPARENT,
                               WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, b.left, b.top,
                               b.Width(), b.Height(), parent));
}

LRESULT HostWindow::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND: {
        RECT r;
        GetClientRect(window, &r);
        FillRect(reinterpret_cast<HDC>(wParam), &r, brush_.get());
        return 1;
    }
    case WM_COMMAND:
        if (ControlWindow* child = FromHandle(reinterpret_cast<HWND>(lParam)))
            child->Command(HIWORD(wParam));
        return 0;
    case WM_HSCROLL:
        if (auto* bar = dynamic_cast<TrackBarWindow*>(FromHandle(reinterpret_cast<HWND>(lParam))))
            bar->Scrolled();
        return 0;
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (auto* pages = dynamic_cast<PageControlWindow*>(FromHandle(header->hwndFrom)))
            pages->Notify(*header);
        return 0;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        SetBkColor(reinterpret_cast<HDC>(wParam), background_);
        return reinterpret_cast<LRESULT>(brush_.get());
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

TextLabelWindow::TextLabelWindow(ui::TTextLabel& label, Colour background, HWND parent,
                                 const ControlContext& context)
    : ControlWindow(label, context), label_(label), background_(background) {
    RegisterHandlerClass(kTextLabelClass, 0, nullptr);
    const Rect& b = label.Bounds;
    Attach(CreateHandlerWindow(*this, kTextLabelClass, 0, WS_CHILD | WS_VISIBLE, b.left, b.top,
                               b.Width(), b.Height(), parent));
}

UINT TextLabelWindow::Format() const {
    UINT format = DT_NOPREFIX | DT_EXPANDTABS;
    if (label_.Alignment == ui::TAlignment::Center)
        format |= DT_CENTER;
    if (!label_.AutoSize)
        format |= DT_WORDBREAK;
    return format;
}

// An auto-sized label grows to its text, every line of it.
void TextLabelWindow::Update(ui::Changes) {
    const std::wstring text = Widen(label_.Caption);
    SetWindowTextW(window_, text.c_str());
    if (!label_.AutoSize)
        return;
    UniqueWindowDc dc(window_);
    if (!dc)
        return;
    SelectGuard selectFont(dc.get(), context_.font);
    RECT r{0, 0, 0, 0};
    DrawTextW(dc.get(), text.c_str(), -1, &r, Format() | DT_CALCRECT);
    const Rect& b = label_.Bounds;
    SetWindowPos(window_, nullptr, b.left, b.top, r.right + 1, std::max<int>(r.bottom, b.Height()),
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT TextLabelWindow::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        PaintText(window, background_, label_.Caption, label_.FontColor, context_.font, Format());
        return 0;
    case WM_NCHITTEST:
        return HTTRANSPARENT;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

LinkLabelWindow::LinkLabelWindow(ui::TLinkLabel& link, Colour background, HFONT linkFont,
                                 HWND parent, const ControlContext& context)
    : ControlWindow(link, context), link_(link), background_(background), linkFont_(linkFont) {
    RegisterHandlerClass(kLinkLabelClass, 0, nullptr);
    const Rect& b = link.Bounds;
    Attach(CreateHandlerWindow(*this, kLinkLabelClass, 0, WS_CHILD | WS_VISIBLE, b.left, b.top,
                               b.Width(), b.Height(), parent));
}

void LinkLabelWindow::Update(ui::Changes) {
    const ui::LinkMarkup parts = ui::ParseLinkMarkup(link_.Text);
    SetWindowTextW(window_, Widen(parts.before + parts.link + parts.after).c_str());
    UniqueWindowDc dc(window_);
    if (!dc)
        return;
    const SIZE before = TextSize(dc.get(), context_.font, Widen(parts.before));
    const SIZE words = TextSize(dc.get(), linkFont_, Widen(parts.link));
    linkRect_ = parts.hasLink ? RECT{before.cx, 0, before.cx + words.cx, words.cy} : RECT{};
    // A longer address than the label was laid out for is shown whole rather than cut off.
    const SIZE after = TextSize(dc.get(), context_.font, Widen(parts.after));
    const Rect& b = link_.Bounds;
    SetWindowPos(window_, nullptr, b.left, b.top,
                 std::max<int>(b.Width(), before.cx + words.cx + after.cx), b.Height(),
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

bool LinkLabelWindow::OverLink(LPARAM position) const {
    const POINT p{GET_X_LPARAM(position), GET_Y_LPARAM(position)};
    return PtInRect(&linkRect_, p) != FALSE;
}

void LinkLabelWindow::SetState(bool hot, bool pressed) {
    if (hot == hot_ && pressed == pressed_)
        return;
    hot_ = hot;
    pressed_ = pressed;
    InvalidateRect(window_, nullptr, FALSE);
}

void LinkLabelWindow::Paint(HWND window) {
    PaintSession paint(window);
    HDC dc = paint.get();
    if (!dc)
        return;
    RECT r;
    GetClientRect(window, &r);
    FillWith(dc, r, background_);
    SetBkMode(dc, TRANSPARENT);
    const ui::LinkMarkup parts = ui::ParseLinkMarkup(link_.Text);
    const Colour linkColour = link_.LinkColor ? *link_.LinkColor : GetSysColor(COLOR_HIGHLIGHT);
    Colour colour = linkColour;
    if (pressed_)
        colour = link_.ClickedColor;
    else if (hot_ && link_.HotLinks)
        colour = link_.HotColor;
    int x = 0;
    const auto draw = [&](const std::string& text, HFONT font, Colour ink) {
        const std::wstring wide = Widen(text);
        SelectGuard selectFont(dc, font);
        SetTextColor(dc, ink);
        TextOutW(dc, x, 0, wide.c_str(), static_cast<int>(wide.size()));
        x += TextSize(dc, font, wide).cx;
    };
    draw(parts.before, context_.font, kBlack);
    draw(parts.link, linkFont_, colour);
    draw(parts.after, context_.font, kBlack);
}

LRESULT LinkLabelWindow::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        Paint(window);
        return 0;
    case WM_SETCURSOR: {
        POINT p;
        GetCursorPos(&p);
        ScreenToClient(window, &p);
        if (PtInRect(&linkRect_, p)) {
            SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_HAND)));
            return TRUE;
        }
        break;
    }
    case WM_MOUSEMOVE:
        if (!tracking_) {
            TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, window, 0};
            tracking_ = TrackMouseEvent(&track) != FALSE;
        }
        SetState(OverLink(lParam), pressed_ && OverLink(lParam));
        return 0;
    case WM_MOUSELEAVE:
        tracking_ = false;
        SetState(false, pressed_);
        return 0;
    case WM_LBUTTONDOWN:
        SetCapture(window);
        SetState(OverLink(lParam), OverLink(lParam));
        return 0;
    case WM_LBUTTONUP: {
        if (GetCapture() != window)
            return 0;
        ReleaseCapture();
        const bool onLink = pressed_ && OverLink(lParam);
        RECT client;
        GetClientRect(window, &client);
        const POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        SetState(OverLink(lParam), false);
        if (PtInRect(&client, p))
            link_.Click(onLink);
        return 0;
    }
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

PushButtonWindow::PushButtonWindow(ui::TButton& button, HWND parent, const ControlContext& context)
    : ControlWindow(button, context), button_(button) {
    Attach(CreateChild(WC_BUTTONW, WS_TABSTOP | BS_PUSHBUTTON, 0, button.Bounds, parent,
                       Widen(button.Caption)));
}

void PushButtonWindow::Update(ui::Changes) {
    SetWindowTextW(window_, Widen(button_.Caption).c_str());
}

void PushButtonWindow::Command(WORD code) {
    if (code == BN_CLICKED)
        button_.Click();
}

CheckBoxWindow::CheckBoxWindow(ui::TCheckBox& box, HWND parent, const ControlContext& context)
    : ControlWindow(box, context), box_(box) {
    Attach(CreateChild(WC_BUTTONW, WS_TABSTOP | BS_AUTOCHECKBOX, 0, box.Bounds, parent,
                       Widen(box.Caption)));
}

void CheckBoxWindow::Update(ui::Changes) {
    Button_SetCheck(window_, box_.Checked ? BST_CHECKED : BST_UNCHECKED);
}

void CheckBoxWindow::Command(WORD code) {
    if (code == BN_CLICKED)
        box_.Checked = Button_GetCheck(window_) == BST_CHECKED;
}

EditWindow::EditWindow(ui::TEdit& edit, HWND parent, const ControlContext& context)
    : ControlWindow(edit, context), edit_(edit) {
    DWORD style = WS_TABSTOP | ES_AUTOHSCROLL;
    if (edit.MultiLine)
        style |= ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL;
    if (edit.ScrollBars)
        style |= WS_HSCROLL | WS_VSCROLL;
    Attach(CreateChild(WC_EDITW, style, WS_EX_CLIENTEDGE, edit.Bounds, parent));
    SetWindowSubclass(window_, SubclassProc, 1, reinterpret_cast<DWORD_PTR>(this));
}

EditWindow::~EditWindow() {
    if (window_ && IsWindow(window_))
        RemoveWindowSubclass(window_, SubclassProc, 1);
}

void EditWindow::Update(ui::Changes) {
    const std::wstring text = Widen(edit_.Text);
    if (GetWindowTextLengthW(window_) == static_cast<int>(text.size())) {
        std::wstring shown(text.size() + 1, L'\0');
        GetWindowTextW(window_, shown.data(), static_cast<int>(shown.size()));
        shown.resize(text.size());
        if (shown == text)
            return;
    }
    updating_ = true;
    SetWindowTextW(window_, text.c_str());
    updating_ = false;
}

void EditWindow::Command(WORD code) {
    if (code != EN_CHANGE || updating_)
        return;
    const int length = GetWindowTextLengthW(window_);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    GetWindowTextW(window_, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(length));
    edit_.UserEdited(Narrow(text));
}

LRESULT CALLBACK EditWindow::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                          UINT_PTR, DWORD_PTR data) {
    auto* self = reinterpret_cast<EditWindow*>(data);
    return GuardedMessage(window, message, [&]() -> LRESULT {
        switch (message) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN: {
            const ui::TShiftState shift{GetKeyState(VK_CONTROL) < 0, GetKeyState(VK_SHIFT) < 0,
                                        GetKeyState(VK_MENU) < 0};
            self->edit_.KeyDown(static_cast<int>(wParam), shift);
            if (self->edit_.OwnTextOnly && message == WM_KEYDOWN &&
                (wParam == VK_DELETE || wParam == VK_BACK))
                return 0;
            break;
        }
        case WM_CHAR:
        case WM_PASTE:
        case WM_CUT:
        case WM_CLEAR:
            if (self->edit_.OwnTextOnly)
                return 0;
            break;
        default:
            break;
        }
        return DefSubclassProc(window, message, wParam, lParam);
    });
}

TrackBarWindow::TrackBarWindow(ui::TTrackBar& bar, HWND parent, const ControlContext& context)
    : ControlWindow(bar, context), bar_(bar) {
    Attach(
        CreateChild(TRACKBAR_CLASSW, WS_TABSTOP | TBS_HORZ | TBS_AUTOTICKS, 0, bar.Bounds, parent));
    SendMessageW(window_, TBM_SETRANGE, TRUE, MAKELPARAM(bar.Min, bar.Max));
    Update(ui::kEverything);
}

void TrackBarWindow::Update(ui::Changes) {
    updating_ = true;
    SendMessageW(window_, TBM_SETPOS, TRUE, bar_.Position);
    updating_ = false;
}

void TrackBarWindow::Scrolled() {
    if (!updating_)
        bar_.UserMoved(static_cast<int>(SendMessageW(window_, TBM_GETPOS, 0, 0)));
}

ImageWindow::ImageWindow(ui::TImage& image, Colour background, HWND parent,
                         const ControlContext& context)
    : ControlWindow(image, context), image_(image), background_(background) {
    RegisterHandlerClass(kImageClass, 0, nullptr);
    const Rect& b = image.Bounds;
    Attach(CreateHandlerWindow(*this, kImageClass, 0, WS_CHILD | WS_VISIBLE, b.left, b.top,
                               b.Width(), b.Height(), parent));
}

LRESULT ImageWindow::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PaintSession paint(window);
        HDC dc = paint.get();
        if (!dc)
            return 0;
        RECT r;
        GetClientRect(window, &r);
        FillWith(dc, r, background_);
        if (image_.Shows() == ui::TImage::Picture::Logo) {
            DrawLogo(dc, r);
        } else {
            // The program's own icon; a test program without one shows the system's.
            auto icon =
                static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1),
                                              IMAGE_ICON, r.right, r.bottom, LR_DEFAULTCOLOR));
            const bool own = icon != nullptr;
            if (!own)
                icon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
            DrawIconEx(dc, 0, 0, icon, r.right, r.bottom, 0, nullptr, DI_NORMAL);
            if (own)
                DestroyIcon(icon);
        }
        return 0;
    }
    case WM_NCHITTEST:
        return HTTRANSPARENT;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

PageControlWindow::PageControlWindow(
    ui::TPageControl& pages, Colour pageBackground, HWND parent, const ControlContext& context,
    const std::function<void(ui::TTabSheet&, HostWindow&)>& createPage)
    : ControlWindow(pages, context), pages_(pages) {
    Attach(CreateChild(WC_TABCONTROLW, WS_TABSTOP | WS_CLIPSIBLINGS | TCS_MULTILINE, 0,
                       pages.Bounds, parent));
    for (std::size_t i = 0; i < pages.Pages.size(); ++i) {
        std::wstring caption = Widen(pages.Pages[i]->Caption);
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = caption.data();
        SendMessageW(window_, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
    }
    RECT display{};
    GetClientRect(window_, &display);
    TabCtrl_AdjustRect(window_, FALSE, &display);
    const Rect& b = pages.Bounds;
    for (ui::TTabSheet* page : pages.Pages) {
        page->Bounds = Rect{b.left + display.left, b.top + display.top, b.left + display.right,
                            b.top + display.bottom};
        auto host = std::make_unique<HostWindow>(*page, pageBackground, parent, context_);
        SetWindowPos(host->Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        createPage(*page, *host);
        hosts_.push_back(std::move(host));
    }
    Update(ui::kEverything);
}

void PageControlWindow::Update(ui::Changes) {
    SendMessageW(window_, TCM_SETCURSEL, static_cast<WPARAM>(pages_.ActivePageIndex.Get()), 0);
    for (std::size_t i = 0; i < pages_.Pages.size(); ++i)
        pages_.Pages[i]->Visible = static_cast<int>(i) == pages_.ActivePageIndex;
}

void PageControlWindow::Notify(const NMHDR& header) {
    if (header.code == TCN_SELCHANGE)
        pages_.ActivePageIndex = static_cast<int>(SendMessageW(window_, TCM_GETCURSEL, 0, 0));
}

} // namespace lupenta::win32
