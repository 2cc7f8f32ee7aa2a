// Every window and page of the program through the layout check (see
// layout_check.h), with long texts where the user gives them. ctest runs
// these cases at the screen's 96 dpi and again at 144 and 192 dpi.
#include "Harness.h"
#include "app/LogonStart.h"
#include "capture/CaptureWindow.h"
#include "core/Wide_win.h"
#include "gui/Dpi.h"
#include "gui/Registry.h"
#include "gui_testing.h"
#include "layout_check.h"
#include "program_parts.h"
#include "ui/NewHotkeyWizard.h"
#include "ui/ProgramRulesDialog.h"
#include "ui/SettingsWindow.h"
#include "ui/SetupGuide.h"
#include "ui/TextInputDialog.h"

#include <string>

namespace corvinade {
namespace {

const std::string LongText(300, 'W');

class Layout : public gui::testing::AppTest {
protected:
    void SetUp() override {
        gui::MakeProcessDpiAware();
        AppTest::SetUp();
        test::SetSettingText("FirstUse", "0");
        test::WriteHotkeysIni({{true, 'M', test::ModWin | test::ModCtrl | test::ModAlt | test::ModShift,
                                "placefilecontentinclipboard", "C:\\" + LongText + ".txt", ""},
                               {true, VK_MULTIPLY, test::ModWin, "maximize", "", ""},
                               {false, 'N', test::ModWin, "openfile", "notepad.exe", "C:\\" + LongText}});
        parts = std::make_unique<gui::testing::ProgramParts>();
    }
    void TearDown() override {
        EXPECT_FALSE(guard.Fired());
        parts.reset();
        AppTest::TearDown();
    }

    // Its layout, and the window within the work area of its monitor.
    void ExpectFits(gui::Form& form, const std::string& what) {
        form.Show();
        app->ProcessMessages();
        const testing::LayoutCheck check(form.Handle());
        EXPECT_TRUE(check.Faults().empty()) << what << " at " << gui::ScreenDpi() << " dpi:\n"
                                            << check.Report();
        MONITORINFO monitor = {sizeof monitor};
        ::GetMonitorInfoW(::MonitorFromWindow(form.Handle(), MONITOR_DEFAULTTONEAREST), &monitor);
        RECT r = form.Bounds(), both = {};
        ::IntersectRect(&both, &r, &monitor.rcWork);
        EXPECT_TRUE(::EqualRect(&both, &r))
            << what << " at " << gui::ScreenDpi() << " dpi leaves the work area";
    }

    gui::testing::HangGuard guard{40000};
    std::unique_ptr<gui::testing::ProgramParts> parts;
};

TEST_F(Layout, NewHotkeyWizardOnEveryPageAndAction) {
    NewHotkeyWizard wizard(app->Handle(), parts->hotkeys);
    ExpectFits(wizard, "the key page");
    wizard.GoToPage(1);
    for (int i = 0; i < wizard.cbAction.Count(); ++i) {
        wizard.cbAction.SetItemIndex(i);
        wizard.OnActionSelect();
        ExpectFits(wizard, "the action page with " + wizard.cbAction.ItemText(i));
    }
}

TEST_F(Layout, SetupGuideOnEveryPage) {
    SetupGuide guide(app->Handle(), parts->hotkeys, parts->store.Portable());
    for (int page = 0; page < guide.pcClient.PageCount(); ++page) {
        guide.GoToPage(page);
        ExpectFits(guide, "the guide's page " + std::to_string(page + 1));
    }
}

// The rows with long parameters, the top one (WIN + CTRL + ALT + SHIFT, the
// longest action) in edit mode; the filter finding nothing; then the other
// page, with the line under the log-on box (Windows' startup apps turned
// this program's entry off).
TEST_F(Layout, SettingsWithARowInEditMode) {
    gui::WriteUserText(RunKeyPath, LogonValueName, LogonCommand(ModuleFileName()));
    gui::WriteUserBinary(StartupApprovedKeyPath, LogonValueName, {3, 0, 0, 0});
    SettingsWindow settings(app->Handle(), parts->hotkeys, parts->updateCheck);
    settings.Show();
    app->ProcessMessages();
    settings.edtFilter.SetText("no such hotkey");
    ASSERT_TRUE(settings.lblNoMatch.Visible());
    ExpectFits(settings, "the hotkeys page, the filter finding nothing");
    settings.edtFilter.SetText("");
    ASSERT_FALSE(settings.HotkeyRows().empty());
    settings.HotkeyRows().back()->OnEditClick();
    ExpectFits(settings, "the hotkeys page, a row in edit mode");
    settings.pcClient.SetActivePageIndex(1);
    ASSERT_TRUE(settings.lblLogonTurnedOff.Visible());
    ExpectFits(settings, "the other settings");
}

TEST_F(Layout, TextInputAndCaptureWindows) {
    TextInputDialog input(app->Handle());
    ExpectFits(input, "the text input dialog");
    ProgramRulesDialog programs(app->Handle(), "CTRL + ALT + SHIFT + WIN + Num Del");
    ExpectFits(programs, "the programs dialog");
    CaptureWindow capture;
    ExpectFits(capture, "the capture window");
}

} // namespace
} // namespace corvinade
