// The image view's accessible object; see ImageViewAccessible.h.
#include "gui/ImageViewAccessible.h"

#include "core/Errors.h"
#include "core/Wide_win.h"
#include "gui/SystemLibrary.h"

namespace corvinade::gui {

namespace {

bool IsSelf(const VARIANT& child) {
    return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
}

BSTR AllocateBstr(const std::wstring& text) {
    using Allocate = BSTR(WINAPI*)(const OLECHAR*, UINT);
    return SystemFunction<Allocate>("oleaut32.dll", "SysAllocStringLen")(text.c_str(),
                                                                         static_cast<UINT>(text.size()));
}

// A call on the standard object, while the view is there.
template <class Call> HRESULT Forward(IAccessible* standard, const Call& call) {
    return standard ? call(*standard) : CO_E_OBJNOTCONNECTED;
}

} // namespace

ImageViewAccessible* ImageViewAccessible::Create(HWND view, std::function<std::string()> name) {
    using CreateStandard = HRESULT(WINAPI*)(HWND, LONG, REFIID, void**);
    IAccessible* standard = nullptr;
    const HRESULT result = SystemFunction<CreateStandard>("oleacc.dll", "CreateStdAccessibleObject")(
        view, OBJID_CLIENT, __uuidof(IAccessible), reinterpret_cast<void**>(&standard));
    if (FAILED(result) || !standard)
        throw Error("Cannot make the image's accessible object");
    return new ImageViewAccessible(view, standard, std::move(name));
}

ImageViewAccessible::ImageViewAccessible(HWND view, IAccessible* standard, std::function<std::string()> name)
    : view_(view), standard_(standard), name_(std::move(name)) {}

ImageViewAccessible::~ImageViewAccessible() {
    Disconnect();
}

void ImageViewAccessible::Disconnect() {
    if (standard_)
        standard_->Release();
    standard_ = nullptr;
    name_ = nullptr;
    view_ = nullptr;
}

STDMETHODIMP ImageViewAccessible::QueryInterface(REFIID iid, void** object) {
    if (!object)
        return E_POINTER;
    if (iid == __uuidof(IUnknown) || iid == __uuidof(IDispatch) || iid == __uuidof(IAccessible))
        *object = static_cast<IAccessible*>(this);
    else if (iid == __uuidof(IOleWindow))
        *object = static_cast<IOleWindow*>(this);
    else {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) ImageViewAccessible::AddRef() {
    return ++references_;
}

STDMETHODIMP_(ULONG) ImageViewAccessible::Release() {
    const ULONG left = --references_;
    if (left == 0)
        delete this;
    return left;
}

STDMETHODIMP ImageViewAccessible::GetTypeInfoCount(UINT* count) {
    if (!count)
        return E_POINTER;
    *count = 0;
    return S_OK;
}

STDMETHODIMP ImageViewAccessible::GetTypeInfo(UINT, LCID, ITypeInfo**) {
    return E_NOTIMPL;
}

STDMETHODIMP ImageViewAccessible::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
    return E_NOTIMPL;
}

STDMETHODIMP ImageViewAccessible::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                         UINT*) {
    return E_NOTIMPL;
}

STDMETHODIMP ImageViewAccessible::get_accName(VARIANT child, BSTR* name) {
    if (!standard_)
        return CO_E_OBJNOTCONNECTED;
    if (!IsSelf(child))
        return standard_->get_accName(child, name);
    if (!name)
        return E_POINTER;
    try {
        *name = AllocateBstr(Wide(name_()));
    } catch (...) {
        *name = nullptr;
    }
    return *name ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP ImageViewAccessible::get_accRole(VARIANT child, VARIANT* role) {
    if (!standard_)
        return CO_E_OBJNOTCONNECTED;
    if (!IsSelf(child))
        return standard_->get_accRole(child, role);
    if (!role)
        return E_POINTER;
    role->vt = VT_I4;
    role->lVal = ROLE_SYSTEM_GRAPHIC;
    return S_OK;
}

STDMETHODIMP ImageViewAccessible::get_accParent(IDispatch** parent) {
    return Forward(standard_, [&](IAccessible& s) { return s.get_accParent(parent); });
}

STDMETHODIMP ImageViewAccessible::get_accChildCount(long* count) {
    return Forward(standard_, [&](IAccessible& s) { return s.get_accChildCount(count); });
}

STDMETHODIMP ImageViewAccessible::get_accChild(VARIANT child, IDispatch** object) {
    return Forward(standard_, [&](IAccessible& s) { return s.get_accChild(child, object); });
}

STDMETHODIMP ImageViewAccessible::get_accValue(VARIANT child, BSTR* value) {
    return Forward(standard_, [&](IAccessible& s) { return s.get_accValue(child, value); });
}

STDMETHODIMP ImageViewAccessible::get_accDescription(VARIANT child, BSTR* description) {
    return Forward(standard_, [&](IAccessible& s) { return s.get_accDescription(child, description); });
}

STDMETHODIMP ImageViewAccessible::get_accState(VARIANT child, VARIANT* state) {
    return Forward(standard_, [&](IAccessible& s) { return s.get_accState(child, state); });
}

STDMETHODIMP ImageViewAccessible::get_accHelp(VARIANT child, BSTR* help) {
    return Forward(standard_, [&](IAccessible& s) { return s.get_accHelp(child, help); });
}

STDMETHODIMP ImageViewAccessible::get_accHelpTopic(BSTR* file, VARIANT child, long* topic) {
    return Forward(standard_, [&](IAccessible& s) { return s.get_accHelpTopic(file, child, topic); });
}

STDMETHODIMP ImageViewAccessible::get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) {
    return Forward(standard_, [&](IAccessible& s) { return s.get_accKeyboardShortcut(child, shortcut); });
}

STDMETHODIMP ImageViewAccessible::get_accFocus(VARIANT* focus) {
    return Forward(standard_, [&](IAccessible& s) { return s.get_accFocus(focus); });
}

STDMETHODIMP ImageViewAccessible::get_accSelection(VARIANT* selection) {
    return Forward(standard_, [&](IAccessible& s) { return s.get_accSelection(selection); });
}

STDMETHODIMP ImageViewAccessible::get_accDefaultAction(VARIANT child, BSTR* action) {
    return Forward(standard_, [&](IAccessible& s) { return s.get_accDefaultAction(child, action); });
}

STDMETHODIMP ImageViewAccessible::accSelect(long flags, VARIANT child) {
    return Forward(standard_, [&](IAccessible& s) { return s.accSelect(flags, child); });
}

STDMETHODIMP ImageViewAccessible::accLocation(long* left, long* top, long* width, long* height,
                                              VARIANT child) {
    return Forward(standard_, [&](IAccessible& s) { return s.accLocation(left, top, width, height, child); });
}

STDMETHODIMP ImageViewAccessible::accNavigate(long direction, VARIANT start, VARIANT* end) {
    return Forward(standard_, [&](IAccessible& s) { return s.accNavigate(direction, start, end); });
}

STDMETHODIMP ImageViewAccessible::accHitTest(long x, long y, VARIANT* child) {
    return Forward(standard_, [&](IAccessible& s) { return s.accHitTest(x, y, child); });
}

STDMETHODIMP ImageViewAccessible::accDoDefaultAction(VARIANT child) {
    return Forward(standard_, [&](IAccessible& s) { return s.accDoDefaultAction(child); });
}

STDMETHODIMP ImageViewAccessible::put_accName(VARIANT, BSTR) {
    return E_NOTIMPL;
}

STDMETHODIMP ImageViewAccessible::put_accValue(VARIANT, BSTR) {
    return E_NOTIMPL;
}

STDMETHODIMP ImageViewAccessible::GetWindow(HWND* window) {
    if (!window)
        return E_POINTER;
    *window = view_;
    return view_ ? S_OK : CO_E_OBJNOTCONNECTED;
}

STDMETHODIMP ImageViewAccessible::ContextSensitiveHelp(BOOL) {
    return E_NOTIMPL;
}

} // namespace corvinade::gui
