#include "win32/AccessibleWindow.h"

#include <oleacc.h>

namespace lupenta::win32 {

namespace {

// Screen readers take a live region's politeness from this property; not in every SDK's
// headers, so spelled out here.
constexpr GUID kLiveSettingProperty = {
    0xc12bcd8e, 0x2a8e, 0x4950, {0x8a, 0xe7, 0x36, 0x25, 0x11, 0x1d, 0x58, 0xeb}};
constexpr long kLivePolite = 1;

bool IsSelf(const VARIANT& child) {
    return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
}

HRESULT Text(const std::wstring& text, BSTR* out) {
    *out = SysAllocString(text.c_str());
    return *out ? S_OK : E_OUTOFMEMORY;
}

} // namespace

// The system's standard object for the window's client area, with the name, role, value,
// state and default action taken from the window's source whenever a reader asks.
class AccessibleObject final : public IAccessible, public IOleWindow {
public:
    AccessibleObject(HWND window, AccessibleSource& source, IAccessible* standard)
        : window_(window), source_(&source), standard_(standard) {}
    AccessibleObject(const AccessibleObject&) = delete;
    AccessibleObject& operator=(const AccessibleObject&) = delete;

    void Disconnect() { source_ = nullptr; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** out) override {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        if (id == IID_IUnknown || id == IID_IDispatch || id == IID_IAccessible)
            *out = static_cast<IAccessible*>(this);
        else if (id == IID_IOleWindow)
            *out = static_cast<IOleWindow*>(this);
        else if (id == IID_IEnumVARIANT)
            // The children are the system's to list: they are the window's child windows.
            return standard_->QueryInterface(id, out);
        else
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&references_); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&references_);
        if (left == 0)
            delete this;
        return static_cast<ULONG>(left);
    }

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        return standard_->GetTypeInfoCount(count);
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override {
        return standard_->GetTypeInfo(index, locale, info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID id, LPOLESTR* names, UINT count, LCID locale,
                                            DISPID* ids) override {
        return standard_->GetIDsOfNames(id, names, count, locale, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID id, LCID locale, WORD flags,
                                     DISPPARAMS* parameters, VARIANT* result, EXCEPINFO* exception,
                                     UINT* badArgument) override {
        return standard_->Invoke(member, id, locale, flags, parameters, result, exception,
                                 badArgument);
    }

    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        return standard_->get_accParent(parent);
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
        return standard_->get_accChildCount(count);
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override {
        return standard_->get_accChild(child, out);
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        if (!name)
            return E_POINTER;
        if (!source_)
            return RPC_E_DISCONNECTED;
        if (IsSelf(child))
            if (const AccessibleFacts facts = source_->Facts(); !facts.name.empty())
                return Text(facts.name, name);
        return standard_->get_accName(child, name);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        if (!value)
            return E_POINTER;
        if (!source_)
            return RPC_E_DISCONNECTED;
        if (IsSelf(child))
            if (const AccessibleFacts facts = source_->Facts(); facts.value)
                return Text(*facts.value, value);
        return standard_->get_accValue(child, value);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override {
        return standard_->get_accDescription(child, description);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        if (!role)
            return E_POINTER;
        if (!source_)
            return RPC_E_DISCONNECTED;
        if (IsSelf(child))
            if (const AccessibleFacts facts = source_->Facts(); facts.role != 0) {
                role->vt = VT_I4;
                role->lVal = facts.role;
                return S_OK;
            }
        return standard_->get_accRole(child, role);
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        if (!state)
            return E_POINTER;
        if (!source_)
            return RPC_E_DISCONNECTED;
        const HRESULT result = standard_->get_accState(child, state);
        if (SUCCEEDED(result) && IsSelf(child) && state->vt == VT_I4)
            state->lVal |= source_->Facts().state;
        return result;
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
        return standard_->get_accHelp(child, help);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override {
        return standard_->get_accHelpTopic(file, child, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
        return standard_->get_accKeyboardShortcut(child, shortcut);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override {
        return standard_->get_accFocus(focus);
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
        return standard_->get_accSelection(selection);
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        if (!action)
            return E_POINTER;
        if (!source_)
            return RPC_E_DISCONNECTED;
        if (IsSelf(child))
            if (const AccessibleFacts facts = source_->Facts(); !facts.action.empty())
                return Text(facts.action, action);
        return standard_->get_accDefaultAction(child, action);
    }
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override {
        return standard_->accSelect(flags, child);
    }
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height,
                                          VARIANT child) override {
        return standard_->accLocation(left, top, width, height, child);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override {
        return standard_->accNavigate(direction, start, end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) override {
        return standard_->accHitTest(x, y, child);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        if (!source_)
            return RPC_E_DISCONNECTED;
        if (IsSelf(child) && !source_->Facts().action.empty())
            return PostMessageW(window_, kDoDefaultAction, 0, 0) ? S_OK : E_FAIL;
        return standard_->accDoDefaultAction(child);
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override {
        if (!window)
            return E_POINTER;
        *window = window_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

private:
    ~AccessibleObject() { standard_->Release(); }

    HWND window_;
    AccessibleSource* source_;
    IAccessible* standard_;
    LONG references_ = 1;
};

AccessibleWindow::AccessibleWindow(HWND window, AccessibleSource& source)
    : window_(window), source_(source) {}

AccessibleWindow::~AccessibleWindow() {
    if (object_) {
        object_->Disconnect();
        object_->Release();
    }
    if (live_) {
        IAccPropServices* services = nullptr;
        if (SUCCEEDED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                                       IID_IAccPropServices,
                                       reinterpret_cast<void**>(&services)))) {
            MSAAPROPID property = kLiveSettingProperty;
            services->ClearHwndProps(window_, OBJID_CLIENT, CHILDID_SELF, &property, 1);
            services->Release();
        }
    }
}

LRESULT AccessibleWindow::GetObject(WPARAM wParam, LPARAM lParam) {
    if (static_cast<LONG>(lParam) != OBJID_CLIENT)
        return 0;
    if (!object_) {
        IAccessible* standard = nullptr;
        if (FAILED(CreateStdAccessibleObject(window_, OBJID_CLIENT, IID_IAccessible,
                                             reinterpret_cast<void**>(&standard))))
            return 0;
        object_ = new AccessibleObject(window_, source_, standard);
        told_ = source_.Facts();
    }
    return LresultFromObject(IID_IAccessible, wParam, static_cast<IAccessible*>(object_));
}

void AccessibleWindow::Changed() {
    AccessibleFacts facts = source_.Facts();
    if (facts.name != told_.name)
        NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, window_, OBJID_CLIENT, CHILDID_SELF);
    if (facts.value != told_.value)
        NotifyWinEvent(EVENT_OBJECT_VALUECHANGE, window_, OBJID_CLIENT, CHILDID_SELF);
    if (facts.state != told_.state)
        NotifyWinEvent(EVENT_OBJECT_STATECHANGE, window_, OBJID_CLIENT, CHILDID_SELF);
    told_ = std::move(facts);
}

void AccessibleWindow::Announce() {
    // Without the property (or on a system without the annotation service) readers that
    // listen for live regions still hear the event; others see the name change.
    if (!live_) {
        IAccPropServices* services = nullptr;
        if (SUCCEEDED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                                       IID_IAccPropServices,
                                       reinterpret_cast<void**>(&services)))) {
            VARIANT polite;
            VariantInit(&polite);
            polite.vt = VT_I4;
            polite.lVal = kLivePolite;
            services->SetHwndProp(window_, OBJID_CLIENT, CHILDID_SELF, kLiveSettingProperty,
                                  polite);
            services->Release();
        }
        live_ = true;
    }
    NotifyWinEvent(EVENT_OBJECT_LIVEREGIONCHANGED, window_, OBJID_CLIENT, CHILDID_SELF);
}

} // namespace lupenta::win32
