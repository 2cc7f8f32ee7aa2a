// Errors never cross into Windows: a throwing handler anywhere in the layer
// shows the default error display, and the program goes on.
#include "core/Errors.h"
#include "gui/Application.h"
#include "gui/Form.h"
#include "gui_testing.h"

namespace corvinade::gui {
namespace {

using testing::AppTest;
using testing::BoxInfo;
using testing::BoxWatcher;
using testing::HangGuard;

constexpr UINT kThrowMessage = WM_APP + 21;
constexpr UINT kStillAliveMessage = WM_APP + 22;

class ThrowingForm : public Form {
public:
    ThrowingForm() : Form({.clientWidth = 200, .clientHeight = 80, .caption = "Throwing"}) {}
    int alive = 0;

protected:
    bool HandleMessage(UINT msg, WPARAM wParam, LPARAM, LRESULT& result) override {
        if (msg == kThrowMessage) {
            if (wParam)
                throw 42;
            throw Error("Broken handler");
        }
        if (msg == kStillAliveMessage) {
            ++alive;
            result = 99;
            return true;
        }
        return false;
    }
};

using GuiErrors = AppTest;

// Each route by which Windows calls into us, or our loop runs a handler.
TEST_F(GuiErrors, ThrowingHandlerShowsErrorBoxAndProgramGoesOn) {
    ThrowingForm form;
    form.Show();
    HWND appWindow = app->Handle();
    HWND formWindow = form.Handle();
    struct Route {
        const char* name;
        std::function<void()> run;
        std::string text;
    } routes[] = {
        {"window procedure called by SendMessage", [&] { ::SendMessageA(formWindow, kThrowMessage, 0, 0); },
         "Broken handler."},
        {"window procedure reached by a dispatched message",
         [&] {
             ::PostMessageA(formWindow, kThrowMessage, 0, 0);
             app->ProcessMessages();
         },
         "Broken handler."},
        {"exception of no known type", [&] { ::SendMessageA(formWindow, kThrowMessage, 1, 0); },
         "Unknown error."},
        {"a form's message hook",
         [&] {
             int id = form.AddMessageHook([](UINT msg, WPARAM, LPARAM, LRESULT&) -> bool {
                 if (msg == kThrowMessage)
                     throw Error("Hook failed: disk full");
                 return false;
             });
             ::PostMessageA(formWindow, kThrowMessage, 0, 0);
             app->ProcessMessages();
             form.RemoveMessageHook(id);
         },
         "Hook failed: disk full."},
        {"hotkey action",
         [&] {
             app->OnHotkey = [](unsigned, unsigned) { throw Error("The clipboard is busy"); };
             ::PostMessageA(appWindow, WM_HOTKEY, 1, 0);
             app->ProcessMessages();
             app->OnHotkey = nullptr;
         },
         "The clipboard is busy."},
        {"main-window hook",
         [&] {
             int id = app->AddMessageHook([](UINT msg, WPARAM, LPARAM, LRESULT&) -> bool {
                 if (msg == kThrowMessage)
                     throw Error("Hook of the tray icon failed");
                 return false;
             });
             ::SendMessageA(appWindow, kThrowMessage, 0, 0);
             app->RemoveMessageHook(id);
         },
         "Hook of the tray icon failed."},
        {"form event",
         [&] {
             form.OnHide = [] { throw Error("Cannot hide now"); };
             form.Hide();
             form.OnHide = nullptr;
         },
         "Cannot hide now."},
    };
    for (auto& route : routes) {
        SCOPED_TRACE(route.name);
        BoxWatcher watcher(1, [](const BoxInfo&) { return IDOK; });
        route.run();
        watcher.Join();
        ASSERT_EQ(watcher.Boxes().size(), 1u);
        const BoxInfo& box = watcher.Boxes()[0];
        EXPECT_EQ(box.caption, "Corvinade");
        EXPECT_EQ(box.text, route.text);
        EXPECT_EQ(box.icon, ::LoadIconA(nullptr, IDI_HAND));
        // Still alive and answering.
        EXPECT_EQ(::SendMessageA(formWindow, kStillAliveMessage, 0, 0), 99);
    }
    EXPECT_EQ(form.alive, static_cast<int>(std::size(routes)));
}

TEST_F(GuiErrors, ThrowingHandlerInRunKeepsTheLoopGoing) {
    ThrowingForm form;
    int after = 0;
    app->AddMessageHook([&](UINT msg, WPARAM, LPARAM, LRESULT&) {
        if (msg == kStillAliveMessage) {
            ++after;
            app->Terminate();
        }
        return false;
    });
    HWND appWindow = app->Handle();
    testing::BoxInfo box;
    // The user reads the error and presses OK; then something else arrives.
    std::thread user([&] {
        HWND found = testing::WaitForNewBox({});
        if (!found)
            return;
        box = testing::ReadBox(found);
        testing::PressButton(found, IDOK);
        testing::WaitUntilGone(found);
        ::PostMessageA(appWindow, kStillAliveMessage, 0, 0);
    });
    ::PostMessageA(form.Handle(), kThrowMessage, 0, 0);
    HangGuard guard;
    app->Run();
    user.join();
    EXPECT_FALSE(guard.Fired());
    EXPECT_EQ(box.text, "Broken handler.");
    EXPECT_EQ(after, 1);
}

// A "." ends the text when its last character's code is above that of "."
// (0xE9 counts as 233, not as a negative char).
TEST_F(GuiErrors, DefaultErrorDisplayClosesTextWithDotAfterHigherCodes) {
    const struct {
        std::string text, shown;
    } cases[] = {
        {"File not found: a", "File not found: a."},
        {"Error 5", "Error 5."},
        {"Caf\xC3\xA9", "Caf\xC3\xA9."}, // UTF-8: the last byte of "é" is 0xA9
        {"Done.", "Done."},
        {"Stop!", "Stop!"},
        {"(see above)", "(see above)"},
        {"Invalid data type for 'FirstUse'", "Invalid data type for 'FirstUse'"},
        {"path/", "path/."},
        {"", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        BoxWatcher watcher(1, [](const BoxInfo&) { return IDOK; });
        app->ShowException(c.text);
        watcher.Join();
        ASSERT_EQ(watcher.Boxes().size(), 1u);
        EXPECT_EQ(watcher.Boxes()[0].text, c.shown);
        EXPECT_EQ(watcher.Boxes()[0].caption, "Corvinade");
    }
}

TEST_F(GuiErrors, ErrorBoxIsModalToTheActiveForm) {
    Form form({.clientWidth = 200, .clientHeight = 80, .caption = "Active"});
    form.Show();
    ::SetActiveWindow(form.Handle());
    ASSERT_EQ(::GetActiveWindow(), form.Handle());
    bool formDisabledMeanwhile = false;
    HWND formWindow = form.Handle();
    BoxWatcher watcher(1, [&](const BoxInfo&) {
        formDisabledMeanwhile = !::IsWindowEnabled(formWindow);
        return IDOK;
    });
    try {
        throw Error("Access denied");
    } catch (...) {
        app->HandleException();
    }
    watcher.Join();
    ASSERT_EQ(watcher.Boxes().size(), 1u);
    EXPECT_EQ(watcher.Boxes()[0].owner, form.Handle());
    EXPECT_EQ(watcher.Boxes()[0].text, "Access denied.");
    EXPECT_TRUE(formDisabledMeanwhile);
    EXPECT_TRUE(::IsWindowEnabled(form.Handle()));
}

} // namespace
} // namespace corvinade::gui
