// What a screen reader gets for the image view (WM_GETOBJECT, OBJID_CLIENT):
// the system's standard object for a client area, which knows the view's
// place, state, parent and neighbours, with the view's own name and the
// role of a picture in front of it.
#pragma once

#include <windows.h>

#include <oleacc.h>

#include <functional>
#include <string>

namespace corvinade::gui {

class ImageViewAccessible final : public IAccessible, public IOleWindow {
public:
    // One reference, the caller's. `name` is asked each time the name is
    // read. Throws Error when the system's accessibility library is missing.
    static ImageViewAccessible* Create(HWND view, std::function<std::string()> name);
    // The view is going: whoever still holds the object gets errors from now on.
    void Disconnect();

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    // IDispatch: no type information; screen readers call IAccessible.
    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override;
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override;
    // IAccessible: the name and role are ours, the rest the standard object's.
    STDMETHODIMP get_accName(VARIANT child, BSTR* name) override;
    STDMETHODIMP get_accRole(VARIANT child, VARIANT* role) override;
    STDMETHODIMP get_accParent(IDispatch** parent) override;
    STDMETHODIMP get_accChildCount(long* count) override;
    STDMETHODIMP get_accChild(VARIANT child, IDispatch** object) override;
    STDMETHODIMP get_accValue(VARIANT child, BSTR* value) override;
    STDMETHODIMP get_accDescription(VARIANT child, BSTR* description) override;
    STDMETHODIMP get_accState(VARIANT child, VARIANT* state) override;
    STDMETHODIMP get_accHelp(VARIANT child, BSTR* help) override;
    STDMETHODIMP get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override;
    STDMETHODIMP get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override;
    STDMETHODIMP get_accFocus(VARIANT* focus) override;
    STDMETHODIMP get_accSelection(VARIANT* selection) override;
    STDMETHODIMP get_accDefaultAction(VARIANT child, BSTR* action) override;
    STDMETHODIMP accSelect(long flags, VARIANT child) override;
    STDMETHODIMP accLocation(long* left, long* top, long* width, long* height, VARIANT child) override;
    STDMETHODIMP accNavigate(long direction, VARIANT start, VARIANT* end) override;
    STDMETHODIMP accHitTest(long x, long y, VARIANT* child) override;
    STDMETHODIMP accDoDefaultAction(VARIANT child) override;
    STDMETHODIMP put_accName(VARIANT child, BSTR name) override;
    STDMETHODIMP put_accValue(VARIANT child, BSTR value) override;
    // IOleWindow: the view's window, for WindowFromAccessibleObject.
    STDMETHODIMP GetWindow(HWND* window) override;
    STDMETHODIMP ContextSensitiveHelp(BOOL) override;

private:
    ImageViewAccessible(HWND view, IAccessible* standard, std::function<std::string()> name);
    ~ImageViewAccessible();

    // The standard object, or null once disconnected.
    IAccessible* Standard() const { return standard_; }

    ULONG references_ = 1;
    HWND view_;
    IAccessible* standard_;
    std::function<std::string()> name_;
};

} // namespace corvinade::gui
