#include "win32/ControlWindows.h"

#include "ui/PopupMenu.h"
#include "win32/Handles.h"
#include "win32/Painting.h"
#include "win32/Text.h"

#include <commctrl.h>
#include <oleacc.h>
#include <windowsx.h>

namespace lupenta::win32 {

namespace {

constexpr wchar_t kPanelClass[] = L"LupentaPanel";
constexpr wchar_t kLabelClass[] = L"LupentaLabel";
constexpr wchar_t kSpeedButtonClass[] = L"LupentaSpeedButton";
constexpr wchar_t kPeerProperty[] = L"LupentaControl";

// One line of text, centred vertically.
constexpr UINT kSingleLine = DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX;

// The glyphs are drawn with lines so they look the same wherever the program runs, with no
// symbol font to depend on.
void DrawGlyph(HDC dc, const RECT& r, const std::string& glyph, Colour ink) {
    UniqueGdiObject<HPEN> pen(CreatePen(PS_SOLID, 2, ink));
    SelectGuard selectPen(dc, pen.get());
    const int cx = (r.left + r.right) / 2;
    const int cy = (r.top + r.bottom) / 2;
    const auto line = [dc](int x0, int y0, int x1, int y1) {
        MoveToEx(dc, x0, y0, nullptr);
        LineTo(dc, x1, y1);
    };
    if (glyph == "close") {
        line(cx - 5, cy - 5, cx + 5, cy + 5);
        line(cx + 5, cy - 5, cx - 5, cy + 5);
    } else if (glyph == "settings") {
        for (int dy : {-5, 0, 5}) {
            line(cx - 6, cy + dy, cx - 4, cy + dy);
            line(cx - 1, cy + dy, cx + 7, cy + dy);
        }
    } else if (glyph == "caret") {
        // A text caret: an I-beam beside a line of text.
        line(cx + 3, cy - 7, cx + 3, cy + 7);
        line(cx + 1, cy - 7, cx + 6, cy - 7);
        line(cx + 1, cy + 7, cx + 6, cy + 7);
        UniqueGdiObject<HPEN> thin(CreatePen(PS_SOLID, 1, ink));
        SelectGuard selectThin(dc, thin.get());
        line(cx - 7, cy + 1, cx, cy + 1);
        line(cx - 7, cy + 4, cx - 1, cy + 4);
        line(cx - 7, cy - 2, cx - 2, cy - 2);
    }
}

long RoleOf(ui::TAccessibleRole role) {
    switch (role) {
    case ui::TAccessibleRole::StatusBar:
        return ROLE_SYSTEM_STATUSBAR;
    case ui::TAccessibleRole::StaticText:
        return ROLE_SYSTEM_STATICTEXT;
    case ui::TAccessibleRole::PushButton:
        return ROLE_SYSTEM_PUSHBUTTON;
    case ui::TAccessibleRole::Pane:
        break;
    }
    return ROLE_SYSTEM_PANE;
}

} // namespace

ControlWindow::ControlWindow(ui::TControl& control, const ControlContext& context)
    : control_(control), context_(context) {}

ControlWindow::~ControlWindow() {
    control_.AttachPeer(nullptr);
    accessible_.reset();
    if (window_ && IsWindow(window_))
        DestroyWindow(window_);
}

void ControlWindow::Attach(HWND window) {
    // A control whose window could not be made stays plain state, as without a window system.
    if (!window)
        return;
    window_ = window;
    accessible_ = std::make_unique<AccessibleWindow>(window_, *this);
    announced_ = control_.Announcements();
    SetPropW(window_, kPeerProperty, this);
    if (context_.font)
        SendMessageW(window_, WM_SETFONT, reinterpret_cast<WPARAM>(context_.font), FALSE);
    control_.AttachPeer(this);
}

ControlWindow* ControlWindow::FromHandle(HWND window) {
    return static_cast<ControlWindow*>(GetPropW(window, kPeerProperty));
}

void ControlWindow::ComponentChanged(ui::Changes what) {
    if (!window_)
        return;
    if (what & ui::kPlacement) {
        const Rect& b = control_.Bounds;
        // No copying of old pixels: a moved panel repaints itself and every control on it.
        SetWindowPos(window_, nullptr, b.left, b.top, b.Width(), b.Height(),
                     SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS);
        ShowWindow(window_, control_.Visible ? SW_SHOWNA : SW_HIDE);
    }
    if ((what & ui::kHint) && context_.tooltip && control_.Hint.Get() != hint_) {
        hint_ = control_.Hint;
        std::wstring text = Widen(hint_);
        TOOLINFOW tool{};
        tool.cbSize = sizeof(tool);
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = GetParent(window_);
        tool.uId = reinterpret_cast<UINT_PTR>(window_);
        tool.lpszText = text.data();
        SendMessageW(context_.tooltip, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        if (!text.empty())
            SendMessageW(context_.tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    Update(what);
    if (what != ui::kHint)
        RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    accessible_->Changed();
}

void ControlWindow::SpokenChanged() {
    if (!accessible_)
        return;
    accessible_->Changed();
    if (control_.Announcements() != announced_) {
        announced_ = control_.Announcements();
        accessible_->Announce();
    }
}

AccessibleFacts ControlWindow::Facts() {
    AccessibleFacts facts;
    facts.name = Widen(control_.SpokenName());
    facts.role = RoleOf(control_.AccessibleRole);
    if (const auto value = AccessibleValue())
        facts.value = Widen(*value);
    facts.state = AccessibleState();
    facts.action = DefaultAction();
    return facts;
}

LRESULT ControlWindow::GetAccessibleObject(WPARAM wParam, LPARAM lParam) {
    return accessible_ ? accessible_->GetObject(wParam, lParam) : 0;
}

POINT ContextMenuPosition(HWND window, LPARAM where) {
    POINT at{GET_X_LPARAM(where), GET_Y_LPARAM(where)};
    if (at.x == -1 && at.y == -1) {
        at = POINT{0, 0};
        ClientToScreen(window, &at);
    }
    return at;
}

bool ControlWindow::PopupOwnMenu(LPARAM where) {
    if (!control_.PopupMenu)
        return false;
    const POINT at = ContextMenuPosition(window_, where);
    control_.PopupMenu->Popup(at.x, at.y);
    return true;
}

PanelWindow::PanelWindow(ui::TPanel& panel, HWND parent, const ControlContext& context)
    : ControlWindow(panel, context), panel_(panel) {
    RegisterHandlerClass(kPanelClass, 0, nullptr);
    const Rect& b = panel.Bounds;
    Attach(CreateHandlerWindow(*this, kPanelClass, 0, WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                               b.left, b.top, b.Width(), b.Height(), parent));
}

void PanelWindow::Paint(HWND window) {
    PaintSession paint(window);
    HDC dc = paint.get();
    if (!dc)
        return;
    RECT r;
    GetClientRect(window, &r);
    DrawTextIn(dc, r, panel_.Color, panel_.Caption, panel_.FontColor, context_.font,
               DT_CENTER | kSingleLine);
    if (panel_.BevelOuter == ui::TBevelCut::None)
        return;
    // Only a lowered bevel is drawn sunk; raised and space bevels both catch the light at the
    // top and left.
    const UINT edge =
        panel_.BevelOuter == ui::TBevelCut::Lowered ? BDR_SUNKENINNER : BDR_RAISEDINNER;
    for (int i = 0; i < panel_.BevelWidth; ++i) {
        DrawEdge(dc, &r, edge, BF_RECT);
        InflateRect(&r, -1, -1);
    }
}

void PanelWindow::Update(ui::Changes what) {
    if (what & ui::kText)
        SetWindowTextW(window_, Widen(panel_.Caption).c_str());
}

// A panel that shows a caption reads it out; the bars that only hold controls have none.
std::optional<std::string> PanelWindow::AccessibleValue() const {
    if (panel_.Caption.Get().empty())
        return std::nullopt;
    return panel_.Caption.Get();
}

LRESULT PanelWindow::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_GETOBJECT:
        if (const LRESULT object = GetAccessibleObject(wParam, lParam))
            return object;
        break;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        Paint(window);
        return 0;
    case WM_COMMAND:
        if (ControlWindow* child = FromHandle(reinterpret_cast<HWND>(lParam)))
            child->Command(HIWORD(wParam));
        return 0;
    case WM_CONTEXTMENU:
        if (PopupOwnMenu(lParam))
            return 0;
        break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        if (panel_.OnMouseDown) {
            panel_.OnMouseDown(ButtonOfMessage(message));
            return 0;
        }
        break;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

LabelWindow::LabelWindow(ui::TLabel& label, const ui::TPanel& parentPanel, HWND parent,
                         const ControlContext& context)
    : ControlWindow(label, context), label_(label), parentPanel_(parentPanel) {
    if (measure_.get() && context.font)
        SelectObject(measure_.get(), context.font);
    RegisterHandlerClass(kLabelClass, 0, nullptr);
    const Rect& b = label.Bounds;
    Attach(CreateHandlerWindow(*this, kLabelClass, 0, WS_CHILD | WS_VISIBLE, b.left, b.top,
                               b.Width(), b.Height(), parent));
}

// A label sizes itself to its text, as the panel's labels do. Its window text is its caption,
// so other programs can read it as they read any static text. The text is measured on a
// memory device context of the label's own: asking the window for one costs round trips.
void LabelWindow::Update(ui::Changes what) {
    if (!(what & (ui::kText | ui::kPlacement)))
        return;
    const std::wstring text = Widen(label_.Caption);
    if (what & ui::kText)
        SetWindowTextW(window_, text.c_str());
    if (!measure_.get())
        return;
    SIZE size{};
    GetTextExtentPoint32W(measure_.get(), text.c_str(), static_cast<int>(text.size()), &size);
    const Rect& b = label_.Bounds;
    const Rect fitted =
        Rect::FromSize(b.left, b.top, size.cx + 2, std::max<int>(size.cy, b.Height()));
    // A change of text alone that keeps the width leaves the window where it is.
    if (!(what & ui::kPlacement) && fitted == fitted_)
        return;
    fitted_ = fitted;
    SetWindowPos(window_, nullptr, fitted.left, fitted.top, fitted.Width(), fitted.Height(),
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

std::optional<std::string> LabelWindow::AccessibleValue() const {
    return label_.Caption.Get();
}

LRESULT LabelWindow::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_GETOBJECT:
        if (const LRESULT object = GetAccessibleObject(wParam, lParam))
            return object;
        break;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        PaintText(window, parentPanel_.Color, label_.Caption, label_.FontColor, context_.font,
                  DT_LEFT | kSingleLine);
        return 0;
    case WM_CONTEXTMENU:
        if (PopupOwnMenu(lParam))
            return 0;
        break;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

ComboBoxWindow::ComboBoxWindow(ui::TComboBox& combo, HWND parent, const ControlContext& context)
    : ControlWindow(combo, context), combo_(combo) {
    const Rect& b = combo.Bounds;
    // The list's height includes the drop-down part: room for all sixteen entries.
    HWND window = CreateWindowExW(
        0, WC_COMBOBOXW, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST,
        b.left, b.top, b.Width(), 16 * 18 + b.Height(), parent, nullptr, GetModuleHandleW(nullptr),
        nullptr);
    for (const std::string& item : combo.Items())
        SendMessageW(window, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(item).c_str()));
    Attach(window);
}

void ComboBoxWindow::Update(ui::Changes what) {
    if (what & ui::kPlacement) {
        const Rect& b = combo_.Bounds;
        SetWindowPos(window_, nullptr, b.left, b.top, b.Width(), 16 * 18 + b.Height(),
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (!(what & ui::kState))
        return;
    updating_ = true;
    SendMessageW(window_, CB_SETCURSEL, static_cast<WPARAM>(combo_.ItemIndex.Get()), 0);
    updating_ = false;
}

void ComboBoxWindow::Command(WORD code) {
    if (code != CBN_SELCHANGE || updating_)
        return;
    combo_.UserSelected(static_cast<int>(SendMessageW(window_, CB_GETCURSEL, 0, 0)));
}

ButtonWindow::ButtonWindow(ui::TSpeedButton& button, const ui::TPanel& parentPanel, HWND parent,
                           const ControlContext& context)
    : ControlWindow(button, context), button_(button), parentPanel_(parentPanel) {
    RegisterHandlerClass(kSpeedButtonClass, 0, nullptr);
    const Rect& b = button.Bounds;
    Attach(CreateHandlerWindow(*this, kSpeedButtonClass, 0, WS_CHILD | WS_VISIBLE, b.left, b.top,
                               b.Width(), b.Height(), parent));
}

void ButtonWindow::SetPressed(bool pressed) {
    if (pressed == pressed_)
        return;
    pressed_ = pressed;
    InvalidateRect(window_, nullptr, FALSE);
}

void ButtonWindow::Paint(HWND window) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    RECT r;
    GetClientRect(window, &r);
    const bool sunk = button_.Down || pressed_;
    FillWith(dc, r, sunk ? MakeColour(60, 60, 60) : parentPanel_.Color.Get());
    if (sunk)
        DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT);
    DrawGlyph(dc, r, button_.Glyph(), MakeColour(235, 235, 235));
    EndPaint(window, &ps);
}

// A toggle button that is down reads as pressed, as the system's own toggle buttons do.
long ButtonWindow::AccessibleState() const {
    return button_.AllowAllUp && button_.Down ? STATE_SYSTEM_PRESSED : 0;
}

std::wstring ButtonWindow::DefaultAction() const {
    return L"Press";
}

LRESULT ButtonWindow::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_GETOBJECT:
        if (const LRESULT object = GetAccessibleObject(wParam, lParam))
            return object;
        break;
    case kDoDefaultAction:
        button_.Click();
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        Paint(window);
        return 0;
    case WM_LBUTTONDOWN:
        held_ = true;
        SetCapture(window);
        SetPressed(true);
        return 0;
    case WM_MOUSEMOVE:
        if (held_) {
            RECT client;
            GetClientRect(window, &client);
            SetPressed(PtInRect(&client, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}) !=
                       FALSE);
        }
        return 0;
    case WM_LBUTTONUP: {
        if (!held_)
            return 0;
        const bool click = pressed_;
        held_ = false;
        SetPressed(false);
        ReleaseCapture();
        // The click runs last: it may open a menu or hide the whole application.
        if (click)
            button_.Click();
        return 0;
    }
    case WM_CAPTURECHANGED:
        held_ = false;
        SetPressed(false);
        return 0;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace lupenta::win32
