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
#include "ui/ImportDialog.h"
#include "ui/NewHotkeyWizard.h"
#include "ui/SettingsWindow.h"
#include "ui/SetupGuide.h"
#include "ui/TextInputDialog.h"

#include <commctrl.h>

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
    settings.HotkeyRows().back()->SetFunc(
        THotkeyAction::CaptureRegion); // its options in place of the parameters
    ExpectFits(settings, "the hotkeys page, a row of Capture region in edit mode");
    settings.pcClient.SetActivePageIndex(1);
    ASSERT_TRUE(settings.lblLogonTurnedOff.Visible());
    ExpectFits(settings, "the other settings");
}

// Every kind of line an import shows, with a long file name and parameter.
TEST_F(Layout, ImportDialog) {
    const THotKeyData site{true, 'K', 8, THotkeyAction::OpenWebsite, "example.org/" + LongText, ""};
    const THotKeyData bare{true, 'J', 0, THotkeyAction::OpenWebsite, "example.com", ""};
    const THotKeyData capture{true, 'S', 8, THotkeyAction::CaptureScreen, "", ""};
    const THotKeyData shifted{true, 'K', 4, THotkeyAction::Minimize, "", ""};
    THotKeyData later{true, 'L', 8, THotkeyAction::None, "", ""};
    later.UnknownAction = "x-later-action";
    const TImportPreview preview =
        PreviewImport({{1, capture}}, {{capture, site, bare, site, capture, shifted, later, bare, site}});
    ImportDialog dialog(app->Handle(), parts->hotkeys, "C:\\" + LongText + "\\import.ini", preview);
    ExpectFits(dialog, "the import dialog");
    // Only the parameters, last, give way: every other column shows each
    // of its texts whole, with room for the cell's margins.
    HWND list = dialog.lstHotkeys.Handle();
    const int rows = static_cast<int>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (int column : {0, 1, 2}) {
        const int width = static_cast<int>(::SendMessageW(list, LVM_GETCOLUMNWIDTH, column, 0));
        for (int row = 0; row < rows; ++row) {
            wchar_t text[512] = {};
            LVITEMW item = {};
            item.iSubItem = column;
            item.pszText = text;
            item.cchTextMax = 512;
            ::SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
            const int need = static_cast<int>(
                ::SendMessageW(list, LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(text)));
            EXPECT_GE(width, need + 6) << "row " << row << ", column " << column << ": " << Utf8(text);
        }
    }
}

TEST_F(Layout, TextInputAndCaptureWindows) {
    TextInputDialog input(app->Handle());
    ExpectFits(input, "the text input dialog");
    CaptureWindow capture;
    ExpectFits(capture, "the capture window");
}

} // namespace
} // namespace corvinade
