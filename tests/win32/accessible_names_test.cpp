// What a screen reader reads of every window but the tray panel (which
// has its own test): each control the keyboard reaches has a name (its
// text, or the label before it), never a bare "..." or link markup, and
// the key field's value is the whole combination.
#include "Harness.h"
#include "gui_testing.h"
#include "program_parts.h"
#include "ui/NewHotkeyWizard.h"
#include "ui/SettingsWindow.h"
#include "ui/SetupGuide.h"
#include "ui/TextInputDialog.h"

#include <oleacc.h>

namespace corvinade {
namespace {

struct Read {
    std::string name, value;
};

std::string Take(BSTR text) {
    std::string utf8 = text ? test::Utf8Of(text) : "";
    ::SysFreeString(text);
    return utf8;
}

Read ReadControl(HWND window) {
    IAccessible* object = nullptr;
    Read read;
    if (FAILED(::AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                            reinterpret_cast<void**>(&object))))
        return read;
    VARIANT self;
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR text = nullptr;
    if (object->get_accName(self, &text) == S_OK)
        read.name = Take(text);
    text = nullptr;
    if (object->get_accValue(self, &text) == S_OK)
        read.value = Take(text);
    object->Release();
    return read;
}

// A key field is the one read-only edit box.
BOOL CALLBACK FindKeyField(HWND child, LPARAM found) {
    if (test::WindowClass(child) == "Edit" && (::GetWindowLongW(child, GWL_STYLE) & ES_READONLY))
        *reinterpret_cast<HWND*>(found) = child;
    return *reinterpret_cast<HWND*>(found) == nullptr;
}

// A tab control is read by its tabs, as the system lists them.
BOOL CALLBACK Collect(HWND child, LPARAM list) {
    const LONG style = ::GetWindowLongW(child, GWL_STYLE);
    if ((style & WS_TABSTOP) && ::IsWindowVisible(child) && test::WindowClass(child) != "SysTabControl32")
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
    return TRUE;
}

class AccessibleNames : public gui::testing::AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        test::SetSettingText("FirstUse", "0");
        test::WriteHotkeysIni({{true, 'M', test::ModWin, "maximize", "", ""}});
        parts = std::make_unique<gui::testing::ProgramParts>();
    }
    void TearDown() override {
        EXPECT_FALSE(guard.Fired());
        parts.reset();
        AppTest::TearDown();
    }

    // Every control the keyboard reaches in the shown window.
    void ExpectNamed(gui::Form& form, const std::string& what) {
        form.Show();
        app->ProcessMessages();
        std::vector<HWND> controls;
        ::EnumChildWindows(form.Handle(), Collect, reinterpret_cast<LPARAM>(&controls));
        EXPECT_FALSE(controls.empty()) << what;
        for (HWND control : controls) {
            const std::string name = ReadControl(control).name;
            const std::string seen =
                test::WindowClass(control) + " \"" + test::WindowText(control) + "\" in " + what;
            EXPECT_FALSE(name.empty()) << seen;
            EXPECT_NE(name, "...") << seen;
            EXPECT_EQ(name.find("<a>"), std::string::npos) << seen;
        }
    }

    gui::testing::HangGuard guard{40000};
    std::unique_ptr<gui::testing::ProgramParts> parts;
};

TEST_F(AccessibleNames, EveryControlOfEveryWindowHasAName) {
    {
        NewHotkeyWizard wizard(app->Handle(), parts->hotkeys);
        ExpectNamed(wizard, "the key page");
        wizard.edtKey.SetKey('J');
        wizard.ShiftKeyCtrl.SetChecked(true);
        wizard.ShiftKeyAlt.SetChecked(true);
        EXPECT_EQ(ReadControl(wizard.edtKey.Handle()).value, "ALT + CTRL + J");
        EXPECT_EQ(ReadControl(wizard.edtKey.Handle()).name, "Key:");
        wizard.GoToPage(1);
        for (const char* action : {"Open file", "Send keystrokes"}) {
            for (int i = 0; i < wizard.cbAction.Count(); ++i)
                if (wizard.cbAction.ItemText(i) == action)
                    wizard.cbAction.SetItemIndex(i);
            wizard.OnActionSelect();
            ExpectNamed(wizard, std::string("the action page with ") + action);
        }
    }
    {
        SetupGuide guide(app->Handle(), parts->hotkeys, parts->store.Portable());
        for (int page = 0; page < guide.pcClient.PageCount(); ++page) {
            guide.GoToPage(page);
            ExpectNamed(guide, "the guide's page " + std::to_string(page + 1));
        }
        EXPECT_EQ(ReadControl(guide.chkKeyMinimize.Handle()).name,
                  guide.chkKeyMinimize.Caption() + ", Minimize active window");
    }
    {
        SettingsWindow settings(app->Handle(), parts->hotkeys, parts->updateCheck);
        ExpectNamed(settings, "the settings' hotkeys page");
        // A row's buttons say whose they are, for the row they show now.
        ASSERT_EQ(settings.HotkeyRows().size(), 1u);
        EXPECT_EQ(ReadControl(settings.HotkeyRows()[0]->btnDelete.Handle()).name,
                  "Delete, WIN + M, Maximize active window, active");
        // A row's key field, as the wizard's, with the modifiers its boxes tick.
        HotkeyRow& row = *settings.HotkeyRows()[0];
        row.OnEditClick();
        row.SetShift(ModifierAlt | ModifierCtrl);
        row.SetKey('J');
        HWND keyField = nullptr;
        ::EnumChildWindows(row.Handle(), FindKeyField, reinterpret_cast<LPARAM>(&keyField));
        ASSERT_NE(keyField, nullptr);
        EXPECT_EQ(ReadControl(keyField).value, "ALT + CTRL + J");
        row.OnCancelClick();
        settings.pcClient.SetActivePageIndex(1);
        ExpectNamed(settings, "the settings' other page");
    }
    {
        TextInputDialog input(app->Handle());
        ExpectNamed(input, "the text input");
    }
}

} // namespace
} // namespace corvinade
