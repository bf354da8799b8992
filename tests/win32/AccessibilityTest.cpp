#include "main/fmMagnifier.h"
#include "support/FakeDesktop.h"
#include "win32/ControlWindows.h"
#include "win32/Handles.h"
#include "win32/MainWindow.h"
#include "win32/Pump.h"
#include "win32/Text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include <oleacc.h>
#include <windows.h>

namespace lupenta::win32 {
namespace {

// What a screen reader finds when it asks a window for its object, as it would from its own
// process.
struct Heard {
    std::string name;
    long role = 0;
    std::optional<std::string> value;
    long state = 0;
    std::string action;
};

// One of the object's texts about itself, through `get` (get_accName and its like).
template <class Get> std::optional<std::string> TextOf(IAccessible* object, Get get) {
    VARIANT self;
    VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR text = nullptr;
    std::optional<std::string> out;
    if ((object->*get)(self, &text) == S_OK && text)
        out = Narrow(text);
    SysFreeString(text);
    return out;
}

Heard Hear(HWND window) {
    Heard heard;
    IAccessible* object = nullptr;
    EXPECT_EQ(AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                         reinterpret_cast<void**>(&object)),
              S_OK);
    if (!object)
        return heard;
    VARIANT self;
    VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    heard.name = TextOf(object, &IAccessible::get_accName).value_or("");
    heard.value = TextOf(object, &IAccessible::get_accValue);
    heard.action = TextOf(object, &IAccessible::get_accDefaultAction).value_or("");
    VARIANT role;
    VariantInit(&role);
    if (object->get_accRole(self, &role) == S_OK && role.vt == VT_I4)
        heard.role = role.lVal;
    VARIANT state;
    VariantInit(&state);
    if (object->get_accState(self, &state) == S_OK && state.vt == VT_I4)
        heard.state = state.lVal;
    object->Release();
    return heard;
}

HWND WindowOf(ui::TControl& control) {
    auto* peer = dynamic_cast<ControlWindow*>(control.Peer());
    return peer ? peer->Handle() : nullptr;
}

// The events our windows raise for readers that listen, as a reader in another process
// would receive them.
struct Event {
    DWORD event;
    HWND window;
    friend bool operator==(const Event&, const Event&) = default;
};
std::vector<Event>* heardEvents = nullptr;

void CALLBACK Listen(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD,
                     DWORD) {
    if (heardEvents && object == OBJID_CLIENT && child == CHILDID_SELF)
        heardEvents->push_back({event, window});
}

class AccessibilityTest : public ::testing::Test {
protected:
    AccessibilityTest() {
        form.FormCreate();
        // The tests set the readouts themselves; a tick would overwrite them with the fake
        // pointer's position and raise events of its own between a test's steps.
        form.Timer1.Enabled = false;
        window.emplace(form);
        window->Show();
        Pump();
        heardEvents = &events;
        hook = SetWinEventHook(EVENT_OBJECT_STATECHANGE, EVENT_OBJECT_LIVEREGIONCHANGED, nullptr,
                               Listen, GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
    }
    ~AccessibilityTest() override {
        UnhookWinEvent(hook);
        heardEvents = nullptr;
        window.reset();
        MSG quit;
        while (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
    }

    // The screen turns `colour`, the view paints it and the readout shows it.
    void ShowScreen(Colour colour) {
        desktop.screen = [colour](int, int) { return colour; };
        form.imageview1->RefreshPicture();
        UpdateWindow(FindWindowExW(window->Hwnd(), nullptr, L"LupentaView", nullptr));
        form.RefreshReadout({120, -15});
    }

    // The events heard since the last call, once those posted so far have arrived.
    std::vector<Event> EventsSinceLastTime() {
        Pump();
        return std::exchange(events, {});
    }

    ComApartment com;
    testing::FakeDesktop desktop;
    Tfrmmain form{desktop};
    std::optional<MainWindow> window;
    std::vector<Event> events;
    HWINEVENTHOOK hook = nullptr;
};

TEST_F(AccessibilityTest, TheViewReadoutsAndButtonsHaveNamesRolesAndValues) {
    ShowScreen(kBlack);
    form.SetContrastReference1Click();
    ShowScreen(0x0080FF);
    Pump();
    HWND view = FindWindowExW(window->Hwnd(), nullptr, L"LupentaView", nullptr);
    ASSERT_TRUE(view);

    const struct {
        const char* what;
        HWND window;
        const char* name;
        long role;
        std::optional<std::string> value;
    } cases[] = {
        {"view", view, "Magnified view", ROLE_SYSTEM_GRAPHIC, std::nullopt},
        {"colour", WindowOf(form.pnlColor), "Color", ROLE_SYSTEM_STATICTEXT, "RGB : 255,128,0"},
        {"position", WindowOf(form.lblPosition), "Position", ROLE_SYSTEM_STATICTEXT,
         "Position: 120, -15"},
        {"contrast", WindowOf(form.lblContrast), "Contrast", ROLE_SYSTEM_STATICTEXT,
         "Contrast 8.3:1 AAA"},
        {"reference", WindowOf(form.pnlReference), "Contrast reference", ROLE_SYSTEM_STATICTEXT,
         "RGB : 0,0,0"},
        {"follow caret", WindowOf(form.btnType), "Follow Caret Position", ROLE_SYSTEM_PUSHBUTTON,
         std::nullopt},
        {"settings", WindowOf(form.btnOptions), "Settings", ROLE_SYSTEM_PUSHBUTTON, std::nullopt},
        {"close", WindowOf(form.btnClose), "Close", ROLE_SYSTEM_PUSHBUTTON, std::nullopt},
        {"panel, named by the last announcement", WindowOf(form.Panel1), "Contrast 8.3:1 AAA",
         ROLE_SYSTEM_STATUSBAR, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(c.window);
        const Heard heard = Hear(c.window);
        EXPECT_EQ(heard.name, c.name);
        EXPECT_EQ(heard.role, c.role);
        EXPECT_EQ(heard.value, c.value);
        EXPECT_EQ(heard.action, c.role == ROLE_SYSTEM_PUSHBUTTON ? "Press" : "");
    }
}

// Pressing a button from a screen reader clicks it, once the reader's call has returned; a
// toggle button that is down reads as pressed.
TEST_F(AccessibilityTest, TheDefaultActionPressesTheButton) {
    HWND button = WindowOf(form.btnType);
    EXPECT_FALSE(Hear(button).state & STATE_SYSTEM_PRESSED);
    IAccessible* object = nullptr;
    ASSERT_EQ(AccessibleObjectFromWindow(button, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                         reinterpret_cast<void**>(&object)),
              S_OK);
    VARIANT self;
    VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    EXPECT_EQ(object->accDoDefaultAction(self), S_OK);
    object->Release();
    EXPECT_FALSE(form.followkey) << "the click waits for the window's own loop";
    Pump();
    EXPECT_TRUE(form.followkey);
    EXPECT_TRUE(Hear(button).state & STATE_SYSTEM_PRESSED);
    EXPECT_EQ(EventsSinceLastTime(), (std::vector<Event>{{EVENT_OBJECT_STATECHANGE, button}}));
}

// A readout tells listeners when its text changes; a copy and a new contrast grade are
// announced through the panel, which takes the announcement as its name.
TEST_F(AccessibilityTest, ChangesAndAnnouncementsReachListeningReaders) {
    HWND colour = WindowOf(form.pnlColor);
    HWND panel = WindowOf(form.Panel1);
    EventsSinceLastTime();
    form.pnlColor.Caption = "RGB : 1,2,3";
    form.pnlColor.Caption = "RGB : 1,2,3";
    EXPECT_EQ(EventsSinceLastTime(), (std::vector<Event>{{EVENT_OBJECT_VALUECHANGE, colour}}));

    const std::vector<Event> announced{{EVENT_OBJECT_NAMECHANGE, panel},
                                       {EVENT_OBJECT_LIVEREGIONCHANGED, panel}};
    form.CopyColortoClipboard1Click();
    EXPECT_EQ(EventsSinceLastTime(), announced);
    EXPECT_EQ(Hear(panel).name, "Copied RGB : 1,2,3");
    form.CopyColortoClipboard1Click();
    EXPECT_EQ(EventsSinceLastTime(), (std::vector<Event>{{EVENT_OBJECT_LIVEREGIONCHANGED, panel}}))
        << "the same words again are announced again";

    ShowScreen(kBlack);
    form.SetContrastReference1Click();
    EventsSinceLastTime();
    ShowScreen(kWhite);
    const std::vector<Event> heard = EventsSinceLastTime();
    EXPECT_NE(std::find(heard.begin(), heard.end(), Event{EVENT_OBJECT_LIVEREGIONCHANGED, panel}),
              heard.end());
    EXPECT_EQ(Hear(panel).name, "Contrast 21:1 AAA");
}

} // namespace
} // namespace lupenta::win32
