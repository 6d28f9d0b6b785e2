#include "shell/settings_dialog/win32/dialog_accessible_win32.h"

#include <optional>

namespace velmoria {

namespace {

BSTR ToBstr(const std::wstring& text) {
    return SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
}

}  // namespace

class DialogAccessible final : public IAccessible {
  public:
    explicit DialogAccessible(AccessibleElements& source) : source_(&source) {}

    void Detach() {
        source_ = nullptr;
        CoDisconnectObject(this, 0);
    }

    // ---- IUnknown ----
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr) {
            return E_POINTER;
        }
        if (IsEqualIID(iid, __uuidof(IUnknown)) || IsEqualIID(iid, __uuidof(IDispatch)) ||
            IsEqualIID(iid, __uuidof(IAccessible))) {
            *object = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&references_); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&references_);
        if (left == 0) {
            delete this;
        }
        return static_cast<ULONG>(left);
    }

    // ---- IDispatch: clients call IAccessible directly ----
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (count == nullptr) {
            return E_POINTER;
        }
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        return E_NOTIMPL;
    }

    // ---- IAccessible ----
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        if (parent == nullptr) {
            return E_POINTER;
        }
        *parent = nullptr;
        if (source_ == nullptr) {
            return E_FAIL;
        }
        // The standard window object of the form, which carries the title.
        return AccessibleObjectFromWindow(source_->AccessibleWindow(), OBJID_WINDOW,
                                          __uuidof(IDispatch), reinterpret_cast<void**>(parent));
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override {
        if (count == nullptr) {
            return E_POINTER;
        }
        if (source_ == nullptr) {
            return E_FAIL;
        }
        *count = static_cast<LONG>(source_->Elements().size());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override {
        if (object == nullptr) {
            return E_POINTER;
        }
        *object = nullptr;
        if (!Find(child) && !IsSelf(child)) {
            return E_INVALIDARG;
        }
        return S_FALSE;  // simple elements: the parent answers for them
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        return Text(
            child, name, [](const AccessibleElement& e) { return e.name; },
            [this] { return WindowTitle(); });
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        return Text(
            child, value, [](const AccessibleElement& e) { return e.value; },
            [] { return std::wstring(); });
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT, BSTR* text) override {
        return Nothing(text);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        if (role == nullptr) {
            return E_POINTER;
        }
        VariantInit(role);
        if (IsSelf(child) && source_ != nullptr) {
            role->vt = VT_I4;
            role->lVal = ROLE_SYSTEM_DIALOG;
            return S_OK;
        }
        const std::optional<AccessibleElement> element = Find(child);
        if (!element) {
            return E_INVALIDARG;
        }
        role->vt = VT_I4;
        role->lVal = element->role;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        if (state == nullptr) {
            return E_POINTER;
        }
        VariantInit(state);
        if (IsSelf(child) && source_ != nullptr) {
            state->vt = VT_I4;
            state->lVal =
                STATE_SYSTEM_FOCUSABLE |
                (GetForegroundWindow() == source_->AccessibleWindow() ? STATE_SYSTEM_FOCUSED : 0);
            return S_OK;
        }
        const std::optional<AccessibleElement> element = Find(child);
        if (!element) {
            return E_INVALIDARG;
        }
        state->vt = VT_I4;
        state->lVal = element->state;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT, BSTR* text) override { return Nothing(text); }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT, LONG* topic) override {
        if (topic != nullptr) {
            *topic = 0;
        }
        return Nothing(file);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT, BSTR* text) override {
        return Nothing(text);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override {
        if (focus == nullptr) {
            return E_POINTER;
        }
        VariantInit(focus);
        if (source_ == nullptr) {
            return E_FAIL;
        }
        const LONG child = source_->FocusedChild();
        if (child == 0) {
            return S_FALSE;
        }
        focus->vt = VT_I4;
        focus->lVal = child;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
        if (selection == nullptr) {
            return E_POINTER;
        }
        VariantInit(selection);
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        return Text(
            child, action, [](const AccessibleElement& e) { return e.defaultAction; },
            [] { return std::wstring(); });
    }
    HRESULT STDMETHODCALLTYPE accSelect(LONG, VARIANT) override { return DISP_E_MEMBERNOTFOUND; }
    HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height,
                                          VARIANT child) override {
        if (left == nullptr || top == nullptr || width == nullptr || height == nullptr) {
            return E_POINTER;
        }
        RECT rect = {};
        if (IsSelf(child) && source_ != nullptr) {
            HWND window = source_->AccessibleWindow();
            GetClientRect(window, &rect);
            MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&rect), 2);
        } else if (const std::optional<AccessibleElement> element = Find(child)) {
            rect = element->screen;
        } else {
            return E_INVALIDARG;
        }
        *left = rect.left;
        *top = rect.top;
        *width = rect.right - rect.left;
        *height = rect.bottom - rect.top;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override {
        if (end == nullptr) {
            return E_POINTER;
        }
        VariantInit(end);
        if (source_ == nullptr) {
            return E_FAIL;
        }
        const LONG count = static_cast<LONG>(source_->Elements().size());
        LONG target = 0;
        if (IsSelf(start)) {
            target = direction == NAVDIR_FIRSTCHILD ? 1 : direction == NAVDIR_LASTCHILD ? count : 0;
        } else if (start.vt == VT_I4 && start.lVal >= 1 && start.lVal <= count) {
            target = direction == NAVDIR_NEXT       ? start.lVal + 1
                     : direction == NAVDIR_PREVIOUS ? start.lVal - 1
                                                    : 0;
        } else {
            return E_INVALIDARG;
        }
        if (target < 1 || target > count) {
            return S_FALSE;
        }
        end->vt = VT_I4;
        end->lVal = target;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* hit) override {
        if (hit == nullptr) {
            return E_POINTER;
        }
        VariantInit(hit);
        if (source_ == nullptr) {
            return E_FAIL;
        }
        const std::vector<AccessibleElement> elements = source_->Elements();
        const POINT point = {x, y};
        for (size_t i = 0; i < elements.size(); ++i) {
            if (PtInRect(&elements[i].screen, point)) {
                hit->vt = VT_I4;
                hit->lVal = static_cast<LONG>(i + 1);
                return S_OK;
            }
        }
        RECT client;
        HWND window = source_->AccessibleWindow();
        GetClientRect(window, &client);
        MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
        if (!PtInRect(&client, point)) {
            return S_FALSE;
        }
        hit->vt = VT_I4;
        hit->lVal = CHILDID_SELF;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        const std::optional<AccessibleElement> element = Find(child);
        if (!element || element->defaultAction.empty()) {
            return element ? DISP_E_MEMBERNOTFOUND : E_INVALIDARG;
        }
        source_->DoDefaultAction(child.lVal);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

  private:
    static bool IsSelf(const VARIANT& child) {
        return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
    }
    std::optional<AccessibleElement> Find(const VARIANT& child) const {
        if (source_ == nullptr || child.vt != VT_I4 || child.lVal < 1) {
            return std::nullopt;
        }
        std::vector<AccessibleElement> elements = source_->Elements();
        if (static_cast<size_t>(child.lVal) > elements.size()) {
            return std::nullopt;
        }
        return elements[static_cast<size_t>(child.lVal) - 1];
    }
    std::wstring WindowTitle() const {
        wchar_t title[256] = {};
        GetWindowTextW(source_->AccessibleWindow(), title, 256);
        return title;
    }
    template <typename Of, typename OfSelf>
    HRESULT Text(const VARIANT& child, BSTR* out, Of of, OfSelf ofSelf) const {
        if (out == nullptr) {
            return E_POINTER;
        }
        *out = nullptr;
        std::wstring text;
        if (IsSelf(child) && source_ != nullptr) {
            text = ofSelf();
        } else if (const std::optional<AccessibleElement> element = Find(child)) {
            text = of(*element);
        } else {
            return E_INVALIDARG;
        }
        if (text.empty()) {
            return S_FALSE;
        }
        *out = ToBstr(text);
        return *out != nullptr ? S_OK : E_OUTOFMEMORY;
    }
    static HRESULT Nothing(BSTR* out) {
        if (out == nullptr) {
            return E_POINTER;
        }
        *out = nullptr;
        return S_FALSE;
    }

    AccessibleElements* source_;
    LONG references_ = 1;
};

DialogAccessible* NewDialogAccessible(AccessibleElements& source) {
    return new DialogAccessible(source);
}

void DetachDialogAccessible(DialogAccessible* accessible) {
    if (accessible != nullptr) {
        accessible->Detach();
        accessible->Release();
    }
}

LRESULT DialogAccessibleResult(DialogAccessible* accessible, WPARAM wParam) {
    return LresultFromObject(__uuidof(IAccessible), wParam, static_cast<IAccessible*>(accessible));
}

}  // namespace velmoria
