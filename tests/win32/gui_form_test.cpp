// Forms: ownership of the window, geometry, visibility events, modal runs,
// closing and deferred release.
#include "core/Errors.h"
#include "gui/Application.h"
#include "gui/Controls.h"
#include "gui/Dpi.h"
#include "gui/Form.h"
#include "gui_testing.h"

#include <string_view>
#include <type_traits>

namespace corvinade::gui {
namespace {

using testing::AppTest;
using testing::HangGuard;

constexpr UINT kPoke = WM_APP + 31;

static_assert(!std::is_copy_constructible_v<Form> && !std::is_copy_assignable_v<Form>);

using GuiForm = AppTest;

TEST_F(GuiForm, OwnsItsWindowCreatedFromDesignGeometry) {
    HWND window = nullptr;
    {
        Form form({.left = 40, .top = 30, .clientWidth = 300, .clientHeight = 120, .caption = "Settings"});
        window = form.Handle();
        ASSERT_TRUE(::IsWindow(window));
        EXPECT_TRUE(Form::IsFormWindow(window));
        EXPECT_FALSE(Form::IsFormWindow(app->Handle()));
        EXPECT_EQ(Form::FromHandle(window), &form);
        EXPECT_EQ(Window::FromHandle(app->Handle()), app.get());
        EXPECT_EQ(::GetWindow(window, GW_OWNER), app->Handle());
        EXPECT_FALSE(form.Visible());
        EXPECT_EQ(form.Caption(), "Settings");
        SIZE client = form.ClientSize();
        EXPECT_EQ(client.cx, Scale(300));
        EXPECT_EQ(client.cy, Scale(120));
        EXPECT_EQ(form.Bounds().left, Scale(40));
        EXPECT_EQ(form.Bounds().top, Scale(30));

        form.SetClientSize(200, 50);
        EXPECT_EQ(form.ClientSize().cx, Scale(200));
        EXPECT_EQ(form.ClientSize().cy, Scale(50));
        form.SetBounds(10, 20, 150, 90);
        RECT r = form.Bounds();
        EXPECT_EQ(r.left, 10);
        EXPECT_EQ(r.top, 20);
        EXPECT_EQ(r.right - r.left, 150);
        EXPECT_EQ(r.bottom - r.top, 90);
    }
    EXPECT_FALSE(::IsWindow(window));
}

TEST_F(GuiForm, CentredInWorkAreaAndOwnedAsAsked) {
    Form owner({.caption = "Owner"});
    Form form({.clientWidth = 200,
               .clientHeight = 100,
               .caption = "Centred",
               .style = WS_POPUP | WS_BORDER,
               .owner = owner.Handle(),
               .center = true});
    RECT work = {};
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    RECT r = form.Bounds();
    EXPECT_LE(std::abs((r.left + r.right) - (work.left + work.right)), 1);
    EXPECT_LE(std::abs((r.top + r.bottom) - (work.top + work.bottom)), 1);
    EXPECT_EQ(::GetWindow(form.Handle(), GW_OWNER), owner.Handle());
}

// Activated, a form gives the focus back to its control that had it, else
// to its first tab stop, and with no control to take it takes it itself, so
// that its keys reach it (the tray panel, opened with the mouse, closes on
// Esc).
TEST_F(GuiForm, ActivationFocusesTheFormWithoutControls) {
    Form form({.clientWidth = 100, .clientHeight = 60, .caption = "Bare", .style = WS_POPUP});
    form.Show();
    ::SetFocus(nullptr);
    ::SendMessageA(form.Handle(), WM_ACTIVATE, WA_CLICKACTIVE, 0);
    EXPECT_EQ(::GetFocus(), form.Handle());
}

TEST_F(GuiForm, ShowAndHideEventsFollowVisibilityByAnyRoute) {
    Form form({.clientWidth = 100, .clientHeight = 60, .caption = "Events"});
    int created = 0, shown = 0, hidden = 0;
    form.OnCreate = [&] { ++created; };
    form.OnShow = [&] {
        ++shown;
        EXPECT_EQ(created, 1);
    };
    form.OnHide = [&] { ++hidden; };
    HWND w = form.Handle();
    const struct {
        const char* route;
        std::function<void()> show, hide;
    } routes[] = {
        {"Show / Hide", [&] { form.Show(); }, [&] { form.Hide(); }},
        {"ShowWindow", [&] { ::ShowWindow(w, SW_SHOWNA); }, [&] { ::ShowWindow(w, SW_HIDE); }},
        {"SetWindowPos",
         [&] {
             ::SetWindowPos(w, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW);
         },
         [&] {
             ::SetWindowPos(w, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_HIDEWINDOW);
         }},
        {"ShowWindow maximized / minimized", [&] { ::ShowWindow(w, SW_SHOWMAXIMIZED); },
         [&] { ::ShowWindow(w, SW_HIDE); }},
    };
    int round = 0;
    for (const auto& r : routes) {
        SCOPED_TRACE(r.route);
        ++round;
        r.show();
        r.show(); // already visible: no second event
        EXPECT_TRUE(form.Visible());
        EXPECT_EQ(shown, round);
        EXPECT_EQ(hidden, round - 1);
        r.hide();
        r.hide();
        EXPECT_FALSE(form.Visible());
        EXPECT_EQ(shown, round);
        EXPECT_EQ(hidden, round);
    }
    EXPECT_EQ(created, 1);
}

class PokedForm : public Form {
public:
    using Form::Form;
    std::function<void(WPARAM)> onPoke;

protected:
    bool HandleMessage(UINT msg, WPARAM wParam, LPARAM, LRESULT&) override {
        if (msg != kPoke)
            return false;
        if (onPoke)
            onPoke(wParam);
        return true;
    }
};

// As the system's dialogs: the owner alone is disabled, and enabled again
// before the dialog hides, so activation goes back to it.
TEST_F(GuiForm, ShowModalDisablesItsOwnerOnlyAndReturnsTheResult) {
    Form owner({.left = 50, .top = 50, .clientWidth = 300, .clientHeight = 200, .caption = "Owner"});
    Form other({.left = 400, .top = 50, .clientWidth = 100, .clientHeight = 100, .caption = "Other"});
    owner.Show();
    other.Show();
    PokedForm dialog({.clientWidth = 200, .clientHeight = 100, .caption = "Modal", .owner = owner.Handle()});
    const struct {
        const char* ending;
        std::function<void()> end;
        int result;
    } endings[] = {
        {"ModalResult", [&] { dialog.SetModalResult(7); }, 7},
        {"Close", [&] { dialog.Close(); }, IDCANCEL},
        {"close box (WM_CLOSE)", [&] { ::PostMessageA(dialog.Handle(), WM_CLOSE, 0, 0); }, IDCANCEL},
        {"Close after a result",
         [&] {
             dialog.SetModalResult(IDOK);
             dialog.Close();
         },
         IDOK},
        {"hidden", [&] { dialog.Hide(); }, IDCANCEL},
    };
    for (const auto& e : endings) {
        SCOPED_TRACE(e.ending);
        bool ownerDisabled = false, otherDisabled = false, modal = false, ownerEnabledAtHide = false;
        int closes = 0;
        dialog.OnClose = [&] { ++closes; };
        dialog.OnHide = [&] { ownerEnabledAtHide = ::IsWindowEnabled(owner.Handle()) != FALSE; };
        dialog.onPoke = [&](WPARAM) {
            ownerDisabled = !::IsWindowEnabled(owner.Handle());
            otherDisabled = !::IsWindowEnabled(other.Handle());
            modal = dialog.Modal();
            EXPECT_TRUE(::IsWindowEnabled(dialog.Handle()));
            e.end();
        };
        dialog.OnShow = [&] { ::PostMessageA(dialog.Handle(), kPoke, 0, 0); };
        HangGuard guard;
        EXPECT_EQ(dialog.ShowModal(), e.result);
        EXPECT_FALSE(guard.Fired());
        EXPECT_TRUE(ownerDisabled);
        EXPECT_FALSE(otherDisabled);
        if (std::string_view(e.ending) != "hidden") { // hidden by the test, inside the run
            EXPECT_TRUE(ownerEnabledAtHide);
        }
        EXPECT_TRUE(modal);
        EXPECT_FALSE(dialog.Modal());
        EXPECT_FALSE(dialog.Visible());
        EXPECT_TRUE(::IsWindowEnabled(owner.Handle()));
        EXPECT_TRUE(::IsWindowEnabled(other.Handle()));
        EXPECT_TRUE(owner.Visible());
    }
}

// A window shown already, even one left disabled, goes on modally where it
// is, enabled, modal to the window that asked; a second modal run is refused.
TEST_F(GuiForm, ShowModalOfAShownFormHandsItOverEnabled) {
    Form requester({.caption = "Requester"});
    PokedForm form({.caption = "Visible"});
    requester.Show();
    form.Show();
    ::EnableWindow(form.Handle(), FALSE);
    bool enabled = false, requesterDisabled = false;
    form.onPoke = [&](WPARAM) {
        enabled = ::IsWindowEnabled(form.Handle()) != FALSE;
        requesterDisabled = !::IsWindowEnabled(requester.Handle());
        EXPECT_THROW(form.ShowModal(), Error);
        form.SetModalResult(IDOK);
    };
    ::PostMessageA(form.Handle(), kPoke, 0, 0);
    HangGuard guard;
    EXPECT_EQ(form.ShowModal(requester.Handle()), IDOK);
    EXPECT_FALSE(guard.Fired());
    EXPECT_TRUE(enabled);
    EXPECT_TRUE(requesterDisabled);
    EXPECT_TRUE(::IsWindowEnabled(requester.Handle()));
}

// A modal run that ends while a later one is still above it (the user
// finished the outer window first) hides its window and gives its requester
// back at once; its ShowModal returns once the later run has.
TEST_F(GuiForm, AResultSetUnderALaterModalRunHidesTheFormAtOnce) {
    Form requester({.caption = "Requester"});
    PokedForm outer({.caption = "Outer"});
    PokedForm inner({.caption = "Inner"});
    requester.Show();
    bool hiddenAtOnce = false, requesterBack = false;
    inner.onPoke = [&](WPARAM) {
        outer.SetModalResult(IDOK);
        hiddenAtOnce = !outer.Visible();
        requesterBack = ::IsWindowEnabled(requester.Handle()) != FALSE;
        inner.SetModalResult(IDCANCEL);
    };
    outer.onPoke = [&](WPARAM) {
        ::PostMessageA(inner.Handle(), kPoke, 0, 0);
        EXPECT_EQ(inner.ShowModal(), IDCANCEL);
    };
    outer.Show(); // made, so that its poke has a window to go to
    ::PostMessageA(outer.Handle(), kPoke, 0, 0);
    HangGuard guard;
    EXPECT_EQ(outer.ShowModal(requester.Handle()), IDOK);
    EXPECT_FALSE(guard.Fired());
    EXPECT_TRUE(hiddenAtOnce) << "the ended window stayed on the screen under the later run";
    EXPECT_TRUE(requesterBack);
}

TEST_F(GuiForm, CloseHidesOrTerminatesForTheMainForm) {
    Form form({.caption = "Plain"});
    Form mainForm({.caption = "Main"});
    int closes = 0;
    form.OnClose = [&] { ++closes; };
    form.Show();
    ::SendMessageA(form.Handle(), WM_CLOSE, 0, 0);
    EXPECT_EQ(closes, 1);
    EXPECT_FALSE(form.Visible());
    EXPECT_TRUE(::IsWindow(form.Handle()));
    EXPECT_FALSE(app->Terminated());

    app->SetMainForm(&mainForm);
    EXPECT_EQ(app->MainForm(), &mainForm);
    mainForm.Show();
    mainForm.Close();
    EXPECT_TRUE(app->Terminated());
    EXPECT_FALSE(mainForm.Visible());
}

TEST_F(GuiForm, MainFormForgottenWhenDestroyed) {
    auto form = std::make_unique<Form>(FormArgs{.caption = "Main"});
    app->SetMainForm(form.get());
    form.reset();
    EXPECT_EQ(app->MainForm(), nullptr);
}

class ReleasedForm : public PokedForm {
public:
    ReleasedForm(bool& destroyed) : PokedForm({.caption = "Released"}), destroyed_(destroyed) {}
    ~ReleasedForm() override { destroyed_ = true; }

private:
    bool& destroyed_;
};

// Release from a handler: the form stays usable until that handler returns,
// even when the handler runs a nested loop; then it goes.
TEST_F(GuiForm, ReleaseDestroysOnlyAfterTheHandlerReturns) {
    bool destroyed = false, usableInside = false;
    int destroyEvents = 0;
    auto* form = new ReleasedForm(destroyed);
    HWND window = form->Handle();
    form->OnDestroy = [&] { ++destroyEvents; };
    form->onPoke = [&](WPARAM) {
        form->Release();
        app->ProcessMessages(); // takes the release message inside this handler
        form->SetCaption("still here");
        usableInside = !destroyed && ::IsWindow(window) && form->Caption() == "still here";
    };
    ::PostMessageA(window, kPoke, 0, 0);
    app->ProcessMessages();
    EXPECT_TRUE(usableInside);
    EXPECT_TRUE(destroyed);
    EXPECT_FALSE(::IsWindow(window));
    EXPECT_EQ(destroyEvents, 1);
}

TEST_F(GuiForm, ReleaseFromOnCloseFreesTheForm) {
    bool destroyed = false;
    auto* form = new ReleasedForm(destroyed);
    HWND window = form->Handle();
    form->OnClose = [&] { form->Release(); };
    form->Show();
    ::PostMessageA(window, WM_CLOSE, 0, 0);
    app->ProcessMessages();
    EXPECT_TRUE(destroyed);
    EXPECT_FALSE(::IsWindow(window));
}

// Work posted inside a modal run waits for the run's end.
TEST_F(GuiForm, PostedWorkWaitsForTheOutermostLoop) {
    PokedForm dialog({.caption = "Modal"});
    std::vector<std::string> order;
    dialog.onPoke = [&](WPARAM) {
        app->Post([&] { order.push_back("task"); });
        app->ProcessMessages(); // a nested loop: the task does not run here
        order.push_back("run");
        dialog.SetModalResult(IDOK);
    };
    ::PostMessageA(dialog.Handle(), kPoke, 0, 0);
    dialog.ShowModal();
    EXPECT_EQ(order, (std::vector<std::string>{"run"}));
    app->ProcessMessages();
    EXPECT_EQ(order, (std::vector<std::string>{"run", "task"}));
}

// A control's handler that releases its form keeps the form alive until
// the handler has returned, also through a nested loop.
class PokedEdit : public Edit {
public:
    using Edit::Edit;
    std::function<void()> onPoke;

protected:
    bool ControlMessage(UINT msg, WPARAM, LPARAM, LRESULT&) override {
        if (msg != kPoke)
            return false;
        onPoke();
        return true;
    }
};

TEST_F(GuiForm, ReleaseFromAControlsHandlerWaitsForItsReturn) {
    bool destroyed = false, usableInside = false;
    auto* form = new ReleasedForm(destroyed);
    PokedEdit edit(*form, {.width = 100, .height = 21});
    edit.onPoke = [&] {
        form->Release();
        app->ProcessMessages(); // takes the release message inside the control's handler
        form->SetCaption("still here");
        usableInside = !destroyed && form->Caption() == "still here";
    };
    ::PostMessageA(edit.Handle(), kPoke, 0, 0);
    app->ProcessMessages();
    EXPECT_TRUE(usableInside);
    EXPECT_TRUE(destroyed);
}

// A released form whose members send it messages while they are destroyed
// (child windows send WM_PARENTNOTIFY, for one): it is deleted once.
class ReleasedFormWithChild : public Form {
public:
    explicit ReleasedFormWithChild(int& destructions)
        : Form({.caption = "With child"}), combo_(*this, {.width = 100, .height = 21}), notifier_{Handle()},
          destructions_(destructions) {}
    ~ReleasedFormWithChild() override { ++destructions_; }

private:
    struct Notifier {
        HWND form;
        ~Notifier() { ::SendMessageA(form, WM_PARENTNOTIFY, WM_DESTROY, 0); }
    };
    ComboBox combo_;
    Notifier notifier_;
    int& destructions_;
};

TEST_F(GuiForm, ReleasedFormWithChildControlsIsDeletedOnce) {
    int destructions = 0;
    auto* form = new ReleasedFormWithChild(destructions);
    HWND window = form->Handle();
    form->OnClose = [&] { form->Release(); };
    form->Show();
    ::PostMessageA(window, WM_CLOSE, 0, 0);
    app->ProcessMessages();
    EXPECT_EQ(destructions, 1);
    EXPECT_FALSE(::IsWindow(window));
}

TEST_F(GuiForm, WindowDestroyedElsewhereIsNoticed) {
    int destroyEvents = 0;
    Form form({.caption = "Short-lived"});
    form.OnDestroy = [&] { ++destroyEvents; };
    ::DestroyWindow(form.Handle());
    EXPECT_EQ(form.Handle(), nullptr);
    EXPECT_FALSE(form.Visible());
    EXPECT_EQ(destroyEvents, 1);
}

} // namespace
} // namespace corvinade::gui
