#include "platform/win32/view_accessible.h"

#include <oleacc.h>

#include "platform/win32/text_view.h"

namespace platform::win32 {

namespace {

bool isSelf(const VARIANT& child)
{
    return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
}

// Everything the system's object knows (place, focus, navigation, hit tests) it answers itself;
// role, name, state and value come from the view.
class ViewAccessible final : public IAccessible {
public:
    ViewAccessible(HWND view, IAccessible* standard) : view_(view), standard_(standard) {}
    ViewAccessible(const ViewAccessible&) = delete;
    ViewAccessible& operator=(const ViewAccessible&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        if (iid == __uuidof(IUnknown) || iid == __uuidof(IDispatch) || iid == __uuidof(IAccessible)) {
            *out = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        // The window behind the object and its children, as the system's object gives them.
        if (iid == __uuidof(IOleWindow) || iid == __uuidof(IEnumVARIANT))
            return standard_->QueryInterface(iid, out);
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&refs_); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const LONG left = InterlockedDecrement(&refs_);
        if (left == 0) {
            standard_->Release();
            delete this;
        }
        return left;
    }

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override { return standard_->GetTypeInfoCount(count); }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT i, LCID lcid, ITypeInfo** info) override
    {
        return standard_->GetTypeInfo(i, lcid, info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) override
    {
        return standard_->GetIDsOfNames(iid, names, count, lcid, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO* exception, UINT* argError) override
    {
        return standard_->Invoke(id, iid, lcid, flags, params, result, exception, argError);
    }

    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override
    {
        if (!isSelf(child))
            return standard_->get_accRole(child, role);
        if (!role)
            return E_POINTER;
        role->vt = VT_I4;
        role->lVal = ROLE_SYSTEM_TEXT;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override
    {
        if (!isSelf(child))
            return standard_->get_accName(child, name);
        if (!name)
            return E_POINTER;
        if (!IsWindow(view_))
            return CO_E_OBJNOTCONNECTED;
        HWND group = GetParent(view_);
        std::wstring caption(GetWindowTextLengthW(group) + 1, L'\0');
        caption.resize(GetWindowTextW(group, caption.data(), static_cast<int>(caption.size())));
        *name = SysAllocStringLen(caption.data(), static_cast<UINT>(caption.size()));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override
    {
        if (!isSelf(child))
            return standard_->get_accValue(child, value);
        if (!value)
            return E_POINTER;
        const auto text = textViewAccessibleValue(view_);
        if (!text)
            return CO_E_OBJNOTCONNECTED;
        *value = SysAllocStringLen(text->data(), static_cast<UINT>(text->size()));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override
    {
        const HRESULT hr = standard_->get_accState(child, state);
        if (SUCCEEDED(hr) && isSelf(child) && state->vt == VT_I4)
            state->lVal |= STATE_SYSTEM_READONLY;
        return hr;
    }

    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override { return standard_->get_accParent(parent); }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override { return standard_->get_accChildCount(count); }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override
    {
        return standard_->get_accChild(child, out);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override
    {
        return standard_->get_accDescription(child, text);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* text) override
    {
        return standard_->get_accHelp(child, text);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override
    {
        return standard_->get_accHelpTopic(file, child, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* keys) override
    {
        return standard_->get_accKeyboardShortcut(child, keys);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override { return standard_->get_accFocus(child); }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override
    {
        return standard_->get_accSelection(children);
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override
    {
        return standard_->get_accDefaultAction(child, action);
    }
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override { return standard_->accSelect(flags, child); }
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height, VARIANT child) override
    {
        return standard_->accLocation(left, top, width, height, child);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override
    {
        return standard_->accNavigate(direction, start, end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long left, long top, VARIANT* child) override
    {
        return standard_->accHitTest(left, top, child);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override
    {
        return standard_->accDoDefaultAction(child);
    }
    // Read-only: nothing may set the name or the text.
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

private:
    ~ViewAccessible() = default;

    LONG refs_ = 1;
    HWND view_;
    IAccessible* standard_;
};

}  // namespace

LRESULT accessibleView(HWND view, WPARAM wParam)
{
    IAccessible* standard = nullptr;
    if (FAILED(CreateStdAccessibleObject(view, OBJID_CLIENT, __uuidof(IAccessible), reinterpret_cast<void**>(&standard))))
        return 0;
    auto* object = new ViewAccessible(view, standard);
    const LRESULT answer = LresultFromObject(__uuidof(IAccessible), wParam, object);
    object->Release();
    return answer;
}

}  // namespace platform::win32
