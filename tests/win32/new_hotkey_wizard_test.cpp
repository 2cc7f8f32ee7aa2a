// The key field and the new-hotkey wizard with the text input dialog, on the
// real hotkey service: keys typed as a keyboard types them, buttons clicked,
// message boxes read and answered by a second thread.
#include "Harness.h"
#include "gui/Application.h"
#include "gui_testing.h"
#include "program_parts.h"
#include "ui/NewHotkeyWizard.h"
#include "ui/TextInputDialog.h"

#include <atomic>
#include <fstream>
#include <sstream>
#include <thread>

namespace corvinade {
namespace {

using gui::testing::BoxInfo;
using gui::testing::BoxWatcher;
using test::HotkeyEntry;

std::string FileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class NewHotkeyWizardTest : public gui::testing::KeyboardAppTest {
protected:
    void Start(const std::vector<HotkeyEntry>& entries) {
        test::SetSettingText("FirstUse", "0");
        if (!entries.empty())
            test::WriteHotkeysIni(entries);
        parts = std::make_unique<gui::testing::ProgramParts>();
        wizard = std::make_unique<NewHotkeyWizard>(app->Handle(), parts->hotkeys);
        wizard->Show();
        ::SetForegroundWindow(wizard->Handle());
        app->ProcessMessages();
    }
    void TearDown() override {
        EXPECT_FALSE(guard.Fired());
        wizard.reset();
        parts.reset();
        KeyboardAppTest::TearDown();
    }
    // Presses the keys into the field and waits for its text to change.
    std::uint16_t Typed(std::initializer_list<BYTE> keys) {
        const std::string before = wizard->edtKey.Caption();
        wizard->edtKey.SetKey(0);
        Keys(keys);
        PumpUntil([&] { return wizard->edtKey.Key() != 0; });
        app->ProcessMessages();
        return wizard->edtKey.Key();
    }
    // Clicks a button as the mouse does (through the window procedures).
    void Click(gui::Button& button) { ::SendMessageA(button.Handle(), BM_CLICK, 0, 0); }
    void ChooseAction(THotkeyAction action) {
        for (int i = 0; i < wizard->cbAction.Count(); ++i)
            if (wizard->cbAction.ItemData(i) == static_cast<std::intptr_t>(action))
                wizard->cbAction.SetItemIndex(i);
        wizard->OnActionSelect();
    }
    // Clicks and answers the message boxes it brings; returns their texts.
    std::vector<std::string> ClickAnswering(gui::Button& button, int boxes) {
        BoxWatcher watcher(boxes, [](const BoxInfo&) { return IDOK; });
        Click(button);
        watcher.Join();
        std::vector<std::string> texts;
        for (const BoxInfo& box : watcher.Boxes())
            texts.push_back(box.caption + ": " + box.text);
        return texts;
    }

    gui::testing::HangGuard guard{40000};
    std::unique_ptr<gui::testing::ProgramParts> parts;
    std::unique_ptr<NewHotkeyWizard> wizard;
};

// A combination records as it is pressed: the key, and exactly the
// modifiers held ticked; a key alone leaves the boxes; a modifier alone
// records nothing; Esc and Enter with a modifier are keys, Backspace alone
// clears; a live hotkey of ours typed into the field is recorded with its
// modifiers and does not run; bare Enter presses Next, bare Esc cancels.
TEST_F(NewHotkeyWizardTest, KeyFieldRecordsCombinationsAsPressed) {
    Start({{true, 'S', test::ModWin, "capturescreen", "", ""}});
    ASSERT_TRUE(test::WaitForHotkeyRegistration('S', test::ModWin));
    wizard->edtKey.SetFocus();
    wizard->ShiftKeyWin.SetChecked(true);
    EXPECT_EQ(Typed({VK_SHIFT, VK_CONTROL, 'K'}), 'K');
    EXPECT_EQ(wizard->edtKey.Caption(), "K");
    EXPECT_EQ(wizard->GetShift(), ModifierShift | ModifierCtrl);
    EXPECT_EQ(Typed({VK_MENU, 'Q'}), 'Q');
    EXPECT_EQ(wizard->GetShift(), ModifierAlt);
    EXPECT_EQ(Typed({VK_SHIFT, VK_ESCAPE}), VK_ESCAPE);
    EXPECT_EQ(wizard->GetShift(), ModifierShift);
    EXPECT_EQ(Typed({VK_CONTROL, VK_RETURN}), VK_RETURN);
    EXPECT_EQ(wizard->GetShift(), ModifierCtrl);

    Keys({VK_BACK});
    EXPECT_TRUE(PumpUntil([&] { return wizard->edtKey.Key() == 0; }));
    EXPECT_EQ(wizard->edtKey.Caption(), "");
    Keys({VK_SHIFT});
    Keys({VK_MENU});
    EXPECT_EQ(Typed({'P'}), 'P'); // the first key after the modifiers alone
    EXPECT_EQ(wizard->GetShift(), ModifierCtrl);
    EXPECT_EQ(::GetFocus(), wizard->edtKey.Handle());

    // WIN+S is ours: it lands in the field with WIN ticked and opens no
    // capture window.
    EXPECT_EQ(Typed({VK_LWIN, 'S'}), 'S');
    EXPECT_EQ(wizard->GetShift(), ModifierWin);

    // Enter presses Next, which finds WIN+S taken.
    std::atomic<int> boxes = 0;
    BoxWatcher watcher(1, [&](const BoxInfo&) {
        ++boxes;
        return IDOK;
    });
    Keys({VK_RETURN});
    EXPECT_TRUE(PumpUntil([&] { return boxes == 1; }));
    watcher.Join();
    ASSERT_EQ(watcher.Boxes().size(), 1u);
    EXPECT_EQ(watcher.Boxes()[0].text, "The selected hotkey is already in use.");
    // Esc cancels the wizard, once the user agrees to drop the key, and
    // leaves the key.
    wizard->edtKey.SetFocus();
    BoxWatcher discard(1, [](const BoxInfo&) { return IDYES; });
    Keys({VK_ESCAPE});
    EXPECT_TRUE(PumpUntil([&] { return wizard->ModalResult() == IDCANCEL; }));
    discard.Join();
    ASSERT_EQ(discard.Boxes().size(), 1u);
    EXPECT_EQ(discard.Boxes()[0].text, "Discard the new hotkey?");
    EXPECT_EQ(wizard->edtKey.Key(), 'S');

    // With the focus elsewhere it is a hotkey again: its capture window is
    // the only one, so the first WIN+S opened none.
    wizard->ShiftKeyWin.SetFocus();
    Keys({VK_LWIN, 'S'});
    EXPECT_TRUE(PumpUntil([] { return !test::FindTopWindows({.title = "Save Capture"}).empty(); }));
    EXPECT_EQ(test::FindTopWindows({.title = "Save Capture"}).size(), 1u);
}

// Tab walks the modifier boxes in the order they are shown, top down.
TEST_F(NewHotkeyWizardTest, TabFollowsTheModifierBoxesAsShown) {
    Start({});
    wizard->ShiftKeyWin.SetFocus();
    for (gui::Control* next : std::initializer_list<gui::Control*>{
             &wizard->ShiftKeyAlt, &wizard->ShiftKeyCtrl, &wizard->ShiftKeyShift, &wizard->edtKey}) {
        Keys({VK_TAB});
        EXPECT_TRUE(PumpUntil([&] { return ::GetFocus() == next->Handle(); })) << next->Caption();
    }
}

// The four messages in their order, an inactive equal hotkey passing, and
// Finish appending the new hotkey after the others, registered at once.
TEST_F(NewHotkeyWizardTest, WizardValidatesThenAppendsTheActiveHotkey) {
    const std::vector<HotkeyEntry> before = {{false, 'M', test::ModWin, "maximize", "", ""},
                                             {true, 'N', test::ModWin, "openfile", "notepad.exe", ""},
                                             {false, 'J', test::ModWin | test::ModAlt, "close", "", ""}};
    Start(before);
    EXPECT_EQ(wizard->btnNext.Caption(), "&Next");
    EXPECT_FALSE(wizard->btnPrevious.Enabled());
    EXPECT_EQ(ClickAnswering(wizard->btnNext, 1),
              std::vector<std::string>{"Error: You must select a key for your hotkey."});
    wizard->edtKey.SetKey('N');
    EXPECT_EQ(ClickAnswering(wizard->btnNext, 1),
              std::vector<std::string>{"Error: You must select a shift key for your hotkey."});
    wizard->ShiftKeyWin.SetChecked(true);
    EXPECT_EQ(ClickAnswering(wizard->btnNext, 1),
              std::vector<std::string>{"Error: The selected hotkey is already in use."});
    EXPECT_EQ(wizard->pcClient.ActivePageIndex(), 0);

    wizard->edtKey.SetKey('J');
    wizard->ShiftKeyAlt.SetChecked(true); // equal to the inactive WIN+ALT+J: allowed
    EXPECT_TRUE(ClickAnswering(wizard->btnNext, 0).empty());
    EXPECT_EQ(wizard->pcClient.ActivePageIndex(), 1);
    EXPECT_EQ(wizard->btnNext.Caption(), "&Finish");
    EXPECT_TRUE(wizard->btnPrevious.Enabled());
    EXPECT_FALSE(wizard->btnNext.Enabled()) << "Finish before an action is chosen";

    ChooseAction(THotkeyAction::OpenWebsite);
    EXPECT_TRUE(wizard->btnNext.Enabled());
    wizard->edtParameters.SetText("  example.org/?a=1&b=2 ");
    Click(wizard->btnNext);
    EXPECT_EQ(wizard->ModalResult(), IDOK);
    std::vector<HotkeyEntry> after = before;
    after.push_back({true, 'J', test::ModWin | test::ModAlt, "openwebsite", "example.org/?a=1&b=2", ""});
    EXPECT_EQ(FileText(test::HotkeysIniPath()), test::HotkeysIniText(after));
    EXPECT_TRUE(test::IsCombinationTaken('J', test::ModWin | test::ModAlt)); // live at once
    ASSERT_EQ(parts->hotkeys.ActiveHotkeys().Count(), 2);
    EXPECT_EQ(parts->hotkeys.ActiveHotkeys().Items(1)->Definition.Key, 'J');
}

// The boxes follow the action; a parameter typed for an action that has
// none in the end is not stored; a failed save keeps nothing behind, so
// Finish again writes the hotkey once.
TEST_F(NewHotkeyWizardTest, ParameterBoxesFollowTheActionAndAFailedSaveCanBeRetried) {
    Start({{true, 'N', test::ModWin, "openfile", "notepad.exe", ""}});
    wizard->edtKey.SetKey('P');
    wizard->ShiftKeyCtrl.SetChecked(true);
    Click(wizard->btnNext);
    ASSERT_EQ(wizard->pcClient.ActivePageIndex(), 1);
    auto shown = [&] {
        return std::vector<bool>{wizard->edtParameters.Visible(), wizard->btnParameters.Visible(),
                                 wizard->edtAdditionalParameters.Visible(), wizard->lblParameters.Visible(),
                                 wizard->lblAdditionalParameters.Visible()};
    };
    EXPECT_EQ(shown(), (std::vector<bool>{false, false, false, false, false}));
    ChooseAction(THotkeyAction::OpenFile);
    EXPECT_EQ(shown(), (std::vector<bool>{true, true, true, true, true}));
    EXPECT_EQ(wizard->lblParameters.Caption(), "Pro&gram or file:");
    EXPECT_EQ(wizard->lblAdditionalParameters.Caption(), "A&rguments:");
    ChooseAction(THotkeyAction::SendKeystrokes);
    EXPECT_EQ(shown(), (std::vector<bool>{true, true, false, true, false}));
    EXPECT_EQ(wizard->lblParameters.Caption(), "&Keystrokes:");
    EXPECT_TRUE(wizard->lblKeystrokeRules.Visible()) << "no rules beside the keystrokes";
    ChooseAction(THotkeyAction::PlaceInClipboard); // multi-line, through the text dialog
    EXPECT_EQ(shown(), (std::vector<bool>{true, true, false, true, false}));
    EXPECT_EQ(wizard->lblParameters.Caption(), "&Text:");
    EXPECT_FALSE(wizard->lblKeystrokeRules.Visible());
    ChooseAction(THotkeyAction::OpenFile);
    wizard->edtParameters.SetText("calc.exe");
    wizard->edtAdditionalParameters.SetText("/x");
    ChooseAction(THotkeyAction::Maximize);
    EXPECT_EQ(shown(), (std::vector<bool>{false, false, false, false, false}));
    EXPECT_EQ(wizard->edtParameters.Text(), "calc.exe"); // hidden boxes keep their text

    const std::string path = test::HotkeysIniPath();
    const std::string original = FileText(path);
    {
        // Another program holds the file: the save fails and says so.
        test::UniqueHandle lock(
            ::CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(lock);
        const std::vector<std::string> boxes = ClickAnswering(wizard->btnNext, 1);
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].rfind("Corvinade: Cannot create file", 0), 0u) << boxes[0];
    }
    EXPECT_EQ(FileText(path), original);
    EXPECT_EQ(parts->hotkeys.Document().Entries().size(), 1u);
    EXPECT_EQ(wizard->ModalResult(), 0);
    Click(wizard->btnNext);
    EXPECT_EQ(wizard->ModalResult(), IDOK);
    EXPECT_EQ(FileText(path), test::HotkeysIniText({{true, 'N', test::ModWin, "openfile", "notepad.exe", ""},
                                                    {true, 'P', test::ModCtrl, "maximize", "", ""}}));
}

// The capture actions' options: the delay and the pointer for each, "same
// area" for the region only; a delay out of range is refused, the options are written.
TEST_F(NewHotkeyWizardTest, CaptureOptionsAreCheckedThenWritten) {
    Start({});
    wizard->edtKey.SetKey('R');
    wizard->ShiftKeyWin.SetChecked(true);
    Click(wizard->btnNext);
    ASSERT_EQ(wizard->pcClient.ActivePageIndex(), 1);
    ChooseAction(THotkeyAction::CaptureScreen);
    EXPECT_TRUE(wizard->edtDelay.Visible());
    EXPECT_TRUE(wizard->chkPointer.Visible());
    EXPECT_FALSE(wizard->chkSameArea.Visible());
    ChooseAction(THotkeyAction::CaptureRegion);
    EXPECT_TRUE(wizard->edtDelay.Visible());
    EXPECT_TRUE(wizard->chkSameArea.Visible());
    wizard->edtDelay.SetText("45");
    wizard->chkSameArea.SetChecked(true);
    EXPECT_EQ(ClickAnswering(wizard->btnNext, 1),
              std::vector<std::string>{"Error: The delay must be a whole number of seconds from 0 to 30."});
    wizard->edtDelay.SetText("4");
    wizard->chkPointer.SetChecked(true);
    Click(wizard->btnNext);
    EXPECT_EQ(wizard->ModalResult(), IDOK);
    EXPECT_EQ(FileText(test::HotkeysIniPath()),
              "[key0]\r\nactive=1\r\nkey=82\r\nshift=8\r\nfunc=captureregion\r\nparams=\r\nparams2=\r\n"
              "delay=4\r\ncursor=1\r\nsamearea=1\r\n\r\n");
}

// The text dialog: two lines become one with the markers and come back as
// two; Cancel changes nothing; OK with an empty memo empties the box.
TEST_F(NewHotkeyWizardTest, KeystrokeTextGoesThroughTheTextDialog) {
    Start({});
    wizard->GoToPage(1);
    ChooseAction(THotkeyAction::SendKeystrokes);
    wizard->edtParameters.SetText("first<?CR?><?LF?>second");
    auto dialogRun = [&](const std::function<void(TextInputDialog&)>& act) {
        std::string shown;
        std::thread user([&] {
            HWND dialog = test::WaitForWindow({.title = "Input text", .visibleOnly = true});
            if (!dialog)
                return;
            auto* form = static_cast<TextInputDialog*>(gui::Form::FromHandle(dialog));
            shown = form->edtText.Text();
            act(*form);
        });
        Click(wizard->btnParameters);
        user.join();
        return shown;
    };
    EXPECT_EQ(dialogRun([](TextInputDialog& d) {
                  d.edtText.SetText("one\r\ntwo");
                  ::PostMessageA(d.btnOK.Handle(), BM_CLICK, 0, 0);
              }),
              "first\r\nsecond");
    EXPECT_EQ(wizard->edtParameters.Text(), "one<?CR?><?LF?>two");
    EXPECT_EQ(dialogRun([](TextInputDialog& d) {
                  d.edtText.SetText("changed");
                  ::PostMessageA(d.btnCancel.Handle(), BM_CLICK, 0, 0);
              }),
              "one\r\ntwo");
    EXPECT_EQ(wizard->edtParameters.Text(), "one<?CR?><?LF?>two");
    dialogRun([](TextInputDialog& d) {
        d.edtText.SetText("");
        ::PostMessageA(d.btnOK.Handle(), BM_CLICK, 0, 0);
    });
    EXPECT_EQ(wizard->edtParameters.Text(), "");
}

} // namespace
} // namespace corvinade
