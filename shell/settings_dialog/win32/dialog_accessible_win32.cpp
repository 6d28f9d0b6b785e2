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
    DialogAccessible(AccessibleElements& source, HWND window) : source_(&source), window_(window) {}

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
        // The standard window object of the window, which carries the frame (and the title).
        return AccessibleObjectFromWindow(window_, OBJID_WINDOW, __uuidof(IDispatch),
                                          reinterpret_cast<void**>(parent));
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override {
        if (count == nullptr) {
            return E_POINTER;
        }
        if (source_ == nullptr) {
            return E_FAIL;
        }
        *count = Own() == 0 ? static_cast<LONG>(source_->Elements().size()) : 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override {
        if (object == nullptr) {
            return E_POINTER;
        }
        *object = nullptr;
        if (!Resolve(child)) {
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
        return Number(
            child, role, [](const AccessibleElement& e) { return e.role; },
            [] { return static_cast<LONG>(ROLE_SYSTEM_DIALOG); });
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        return Number(
            child, state, [](const AccessibleElement& e) { return e.state; },
            [this] {
                return static_cast<LONG>(
                    STATE_SYSTEM_FOCUSABLE |
                    (GetForegroundWindow() == window_ ? STATE_SYSTEM_FOCUSED : 0));
            });
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
        const LONG own = Own();
        if (child == 0 || (own != 0 && child != own)) {
            return S_FALSE;
        }
        focus->vt = VT_I4;
        focus->lVal = own == 0 ? child : CHILDID_SELF;
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
        const std::optional<Target> target = Resolve(child);
        if (!target) {
            return E_INVALIDARG;
        }
        RECT rect = {};
        if (target->element) {
            rect = target->element->screen;
        } else {
            GetClientRect(window_, &rect);
            MapWindowPoints(window_, nullptr, reinterpret_cast<POINT*>(&rect), 2);
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
        if (!Resolve(start)) {
            return E_INVALIDARG;
        }
        // A single element has no children; its siblings are the form's to walk.
        const LONG count = Own() == 0 ? static_cast<LONG>(source_->Elements().size()) : 0;
        LONG target = 0;
        if (IsSelf(start)) {
            target = direction == NAVDIR_FIRSTCHILD ? 1 : direction == NAVDIR_LASTCHILD ? count : 0;
        } else {
            target = direction == NAVDIR_NEXT       ? start.lVal + 1
                     : direction == NAVDIR_PREVIOUS ? start.lVal - 1
                                                    : 0;
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
        const POINT point = {x, y};
        const LONG own = Own();
        if (own == 0) {
            const std::vector<AccessibleElement> elements = source_->Elements();
            for (size_t i = 0; i < elements.size(); ++i) {
                if (PtInRect(&elements[i].screen, point)) {
                    hit->vt = VT_I4;
                    hit->lVal = static_cast<LONG>(i + 1);
                    return S_OK;
                }
            }
        }
        RECT client;
        GetClientRect(window_, &client);
        MapWindowPoints(window_, nullptr, reinterpret_cast<POINT*>(&client), 2);
        if (!PtInRect(&client, point)) {
            return S_FALSE;
        }
        hit->vt = VT_I4;
        hit->lVal = CHILDID_SELF;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        const std::optional<Target> target = Resolve(child);
        if (!target || !target->element) {
            return E_INVALIDARG;
        }
        if (target->element->defaultAction.empty()) {
            return DISP_E_MEMBERNOTFOUND;
        }
        source_->DoDefaultAction(target->child);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

  private:
    // What a child ID names here: the dialog itself (no element) or one element.
    struct Target {
        LONG child;  // the element's child ID in the dialog; 0 for the dialog
        std::optional<AccessibleElement> element;
    };

    static bool IsSelf(const VARIANT& child) {
        return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
    }
    // The element this window's object stands for; 0: the dialog, with the elements as children.
    LONG Own() const { return source_ != nullptr ? source_->ChildOfWindow(window_) : 0; }
    std::optional<Target> Resolve(const VARIANT& child) const {
        if (source_ == nullptr || child.vt != VT_I4) {
            return std::nullopt;
        }
        const LONG own = Own();
        if (own != 0 && child.lVal != CHILDID_SELF) {
            return std::nullopt;
        }
        const LONG id = own != 0 ? own : child.lVal;
        if (id == 0) {
            return Target{0, std::nullopt};
        }
        std::vector<AccessibleElement> elements = source_->Elements();
        if (id < 1 || static_cast<size_t>(id) > elements.size()) {
            return std::nullopt;
        }
        return Target{id, elements[static_cast<size_t>(id) - 1]};
    }
    std::wstring WindowTitle() const {
        wchar_t title[256] = {};
        GetWindowTextW(window_, title, 256);
        return title;
    }
    template <typename Of, typename OfDialog>
    HRESULT Text(const VARIANT& child, BSTR* out, Of of, OfDialog ofDialog) const {
        if (out == nullptr) {
            return E_POINTER;
        }
        *out = nullptr;
        const std::optional<Target> target = Resolve(child);
        if (!target) {
            return E_INVALIDARG;
        }
        const std::wstring text = target->element ? of(*target->element) : ofDialog();
        if (text.empty()) {
            return S_FALSE;
        }
        *out = ToBstr(text);
        return *out != nullptr ? S_OK : E_OUTOFMEMORY;
    }
    template <typename Of, typename OfDialog>
    HRESULT Number(const VARIANT& child, VARIANT* out, Of of, OfDialog ofDialog) const {
        if (out == nullptr) {
            return E_POINTER;
        }
        VariantInit(out);
        const std::optional<Target> target = Resolve(child);
        if (!target) {
            return E_INVALIDARG;
        }
        out->vt = VT_I4;
        out->lVal = target->element ? of(*target->element) : ofDialog();
        return S_OK;
    }
    static HRESULT Nothing(BSTR* out) {
        if (out == nullptr) {
            return E_POINTER;
        }
        *out = nullptr;
        return S_FALSE;
    }

    AccessibleElements* source_;
    HWND window_;
    LONG references_ = 1;
};

DialogAccessible* NewDialogAccessible(AccessibleElements& source, HWND window) {
    return new DialogAccessible(source, window);
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
