// The accessible object of a window; see Accessible.h.
#include "gui/Accessible.h"

#include <oleacc.h>

#include "core/Wide_win.h"
#include "gui/Application.h"
#include "gui/Guarded.h"
#include "gui/SystemLibrary.h"

namespace corvinade::gui {

namespace {

BSTR Text(const std::string& text) {
    using Allocate = BSTR(WINAPI*)(const OLECHAR*);
    static const auto allocate = SystemFunction<Allocate>("oleaut32.dll", "SysAllocString");
    return allocate(Wide(text).c_str());
}

VARIANT ChildVariant(long id) {
    VARIANT v;
    v.vt = VT_I4;
    v.lVal = id;
    return v;
}

} // namespace

class AccessibleObject final : public IAccessible {
public:
    AccessibleObject(HWND window, AccessibleContent& content) : window_(window), content_(&content) {
        using Create = HRESULT(WINAPI*)(HWND, LONG, REFIID, void**);
        static const auto create = SystemFunction<Create>("oleacc.dll", "CreateStdAccessibleObject");
        if (FAILED(create(window, OBJID_CLIENT, IID_IAccessible, reinterpret_cast<void**>(&system_))))
            system_ = nullptr;
    }

    // The window goes: every later question is answered "disconnected".
    void Disconnect() {
        content_ = nullptr;
        if (system_)
            system_->Release();
        system_ = nullptr;
    }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
        if (!object)
            return E_POINTER;
        if (id == IID_IUnknown || id == IID_IDispatch || id == IID_IAccessible) {
            *object = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(::InterlockedIncrement(&refs_)); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG refs = ::InterlockedDecrement(&refs_);
        if (refs == 0)
            delete this;
        return static_cast<ULONG>(refs);
    }

    // IDispatch: readers call the interface directly.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (!count)
            return E_POINTER;
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

    // IAccessible
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        return Ask([&] { return system_ ? system_->get_accParent(parent) : S_FALSE; });
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
        return Ask([&] {
            *count = static_cast<long>(content_->AccessibleElements().size());
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override {
        return Ask([&] {
            *object = nullptr;
            // The parts are simple elements, answered by this object.
            return Element(child) ? S_FALSE : E_INVALIDARG;
        });
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        return Ask([&] {
            if (IsSelf(child)) {
                if (auto own = content_->AccessibleName())
                    return Answer(*own, name);
                return system_ ? system_->get_accName(child, name) : S_FALSE;
            }
            auto element = Element(child);
            return element ? Answer(element->name, name) : E_INVALIDARG;
        });
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        return Ask([&] {
            *value = nullptr;
            if (!IsSelf(child))
                return Element(child) ? S_FALSE : E_INVALIDARG;
            if (auto own = content_->AccessibleValue())
                return Answer(*own, value);
            return system_ ? system_->get_accValue(child, value) : S_FALSE;
        });
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override {
        return Ask([&] {
            *text = nullptr;
            return IsSelf(child) && system_ ? system_->get_accDescription(child, text) : S_FALSE;
        });
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        return Ask([&] {
            if (IsSelf(child)) {
                if (auto own = content_->AccessibleRole()) {
                    *role = ChildVariant(*own);
                    return S_OK;
                }
                return system_ ? system_->get_accRole(child, role) : S_FALSE;
            }
            auto element = Element(child);
            if (!element)
                return E_INVALIDARG;
            *role = ChildVariant(element->role);
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        return Ask([&] {
            if (IsSelf(child)) {
                const long added = content_->AccessibleStateAdded();
                if (!system_) {
                    *state = ChildVariant(added);
                    return added ? S_OK : S_FALSE;
                }
                const HRESULT answer = system_->get_accState(child, state);
                if (SUCCEEDED(answer) && state->vt == VT_I4)
                    state->lVal |= added;
                return answer;
            }
            auto element = Element(child);
            if (!element)
                return E_INVALIDARG;
            long flags = element->state;
            if (child.lVal - 1 == FocusedElement())
                flags |= STATE_SYSTEM_FOCUSED;
            *state = ChildVariant(flags);
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT, BSTR* help) override {
        *help = nullptr;
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT, long* topic) override {
        *file = nullptr;
        *topic = 0;
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
        return Ask([&] {
            *shortcut = nullptr;
            return IsSelf(child) && system_ ? system_->get_accKeyboardShortcut(child, shortcut) : S_FALSE;
        });
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override {
        return Ask([&] {
            focus->vt = VT_EMPTY;
            if (::GetFocus() != window_)
                return S_FALSE;
            *focus = ChildVariant(FocusedElement() + 1); // CHILDID_SELF is 0
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
        return Ask([&] {
            selection->vt = VT_EMPTY;
            const int focused = content_->AccessibleFocus();
            if (focused < 0)
                return S_FALSE;
            *selection = ChildVariant(focused + 1);
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        return Ask([&] {
            *action = nullptr;
            if (IsSelf(child)) {
                if (auto own = content_->AccessibleDefaultAction())
                    return Answer(*own, action);
                return system_ ? system_->get_accDefaultAction(child, action) : S_FALSE;
            }
            auto element = Element(child);
            if (!element)
                return E_INVALIDARG;
            return element->defaultAction.empty() ? S_FALSE : Answer(element->defaultAction, action);
        });
    }
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override {
        return Ask([&] {
            if (!Element(child))
                return E_INVALIDARG;
            if (flags & (SELFLAG_TAKEFOCUS | SELFLAG_TAKESELECTION))
                Later(child.lVal - 1, &AccessibleContent::SelectAccessibleElement);
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height,
                                          VARIANT child) override {
        return Ask([&] {
            if (IsSelf(child))
                return system_ ? system_->accLocation(left, top, width, height, child) : S_FALSE;
            auto element = Element(child);
            if (!element)
                return E_INVALIDARG;
            POINT corner = {element->bounds.left, element->bounds.top};
            ::ClientToScreen(window_, &corner);
            *left = corner.x;
            *top = corner.y;
            *width = element->bounds.right - element->bounds.left;
            *height = element->bounds.bottom - element->bounds.top;
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override {
        return Ask([&] {
            end->vt = VT_EMPTY;
            const long count = static_cast<long>(content_->AccessibleElements().size());
            long to = 0;
            if (IsSelf(start) && (direction == NAVDIR_FIRSTCHILD || direction == NAVDIR_LASTCHILD))
                to = direction == NAVDIR_FIRSTCHILD ? 1 : count;
            else if (!IsSelf(start) && Element(start) &&
                     (direction == NAVDIR_NEXT || direction == NAVDIR_DOWN))
                to = start.lVal + 1;
            else if (!IsSelf(start) && Element(start) &&
                     (direction == NAVDIR_PREVIOUS || direction == NAVDIR_UP))
                to = start.lVal - 1;
            else if (IsSelf(start) && system_)
                return system_->accNavigate(direction, start, end);
            if (to < 1 || to > count)
                return S_FALSE;
            *end = ChildVariant(to);
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* hit) override {
        return Ask([&] {
            POINT p = {x, y};
            ::ScreenToClient(window_, &p);
            const std::vector<AccessibleElement> elements = content_->AccessibleElements();
            for (std::size_t i = 0; i < elements.size(); ++i)
                if (::PtInRect(&elements[i].bounds, p)) {
                    *hit = ChildVariant(static_cast<long>(i) + 1);
                    return S_OK;
                }
            return system_ ? system_->accHitTest(x, y, hit) : S_FALSE;
        });
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        return Ask([&] {
            if (IsSelf(child)) {
                if (!content_->AccessibleDefaultAction())
                    return system_ ? system_->accDoDefaultAction(child) : DISP_E_MEMBERNOTFOUND;
            } else if (auto element = Element(child); !element) {
                return E_INVALIDARG;
            } else if (element->defaultAction.empty()) {
                return DISP_E_MEMBERNOTFOUND;
            }
            Later(child.lVal - 1, &AccessibleContent::DoAccessibleAction);
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

private:
    ~AccessibleObject() { Disconnect(); }

    // No exception leaves a COM call; nothing is asked of a window gone.
    template <class Question> HRESULT Ask(Question question) {
        if (!content_)
            return RPC_E_DISCONNECTED;
        return static_cast<HRESULT>(GuardedResult(E_FAIL, [&]() -> LRESULT { return question(); }));
    }

    static bool IsSelf(const VARIANT& child) { return child.vt == VT_I4 && child.lVal == CHILDID_SELF; }

    std::optional<AccessibleElement> Element(const VARIANT& child) const {
        if (child.vt != VT_I4 || child.lVal < 1)
            return std::nullopt;
        std::vector<AccessibleElement> elements = content_->AccessibleElements();
        if (static_cast<std::size_t>(child.lVal) > elements.size())
            return std::nullopt;
        return std::move(elements[static_cast<std::size_t>(child.lVal) - 1]);
    }

    int FocusedElement() const { return ::GetFocus() == window_ ? content_->AccessibleFocus() : -1; }

    static HRESULT Answer(const std::string& text, BSTR* out) {
        *out = Text(text);
        return *out ? S_OK : E_OUTOFMEMORY;
    }

    // A reader's request runs once its call has returned: it may open
    // windows or hide this one.
    void Later(int element, void (AccessibleContent::*request)(int)) {
        HWND window = window_;
        AccessibleContent* content = content_;
        App().Post([window, content, element, request] {
            if (::IsWindow(window))
                (content->*request)(element);
        });
    }

    LONG refs_ = 1;
    HWND window_;
    AccessibleContent* content_;
    IAccessible* system_ = nullptr;
};

AccessibleWindow::AccessibleWindow(HWND window, AccessibleContent& content)
    : window_(window), content_(content) {}

AccessibleWindow::~AccessibleWindow() {
    if (object_) {
        object_->Disconnect();
        object_->Release();
    }
}

bool AccessibleWindow::Answer(WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (static_cast<LONG>(lParam) != OBJID_CLIENT)
        return false;
    InitializeComOnUse();
    if (!object_)
        object_ = new AccessibleObject(window_, content_);
    using FromObject = LRESULT(WINAPI*)(REFIID, WPARAM, LPUNKNOWN);
    static const auto fromObject = SystemFunction<FromObject>("oleacc.dll", "LresultFromObject");
    result = fromObject(IID_IAccessible, wParam, object_);
    return true;
}

void AccessibleWindow::FocusMoved(int element) const {
    ::NotifyWinEvent(EVENT_OBJECT_FOCUS, window_, OBJID_CLIENT, element + 1);
}

void AccessibleWindow::SelectionMoved(int element) const {
    ::NotifyWinEvent(EVENT_OBJECT_SELECTION, window_, OBJID_CLIENT, element + 1);
}

void AccessibleWindow::ContentChanged() const {
    ::NotifyWinEvent(EVENT_OBJECT_REORDER, window_, OBJID_CLIENT, CHILDID_SELF);
}

void AccessibleWindow::NameChanged() const {
    ::NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, window_, OBJID_CLIENT, CHILDID_SELF);
}

} // namespace corvinade::gui
