// The first-use wizard; see frmFirstUseU.h.
#include "ui/frmFirstUseU.h"

#include <algorithm>
#include <cctype>
#include <memory>
#include <string>

#include "app/AppPaths.h"
#include "app/datau.h"
#include "core/Maker.h"
#include "gui/Dialogs.h"
#include "ui/MainFormU.h"
#include "ui/ProgramWindows.h"

namespace corvinade {

const std::array<TfrmFirstUse::Suggestion, 4> TfrmFirstUse::SuggestedHotkeys = {{
    {VK_DIVIDE, THotkeyAction::Minimize, ""},
    {VK_MULTIPLY, THotkeyAction::Maximize, ""},
    {'S', THotkeyAction::CaptureScreen, ""},
    {'N', THotkeyAction::OpenFile, "notepad.exe"},
}};

namespace {

// The suggestions' descriptions, clear of the longest key name in the box
// before them ("WIN + KP_Multiply").
constexpr int SuggestionTextLeft = 170;

gui::ControlArgs Text(int left, int top, const std::string& caption) {
    return {.left = left, .top = top, .caption = caption};
}

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// The definition a suggestion stands for: the first one with its key and
// exactly WIN, when it has the suggestion's action (and, for notepad, opens
// notepad.exe in any letter case). Later ones are not looked at.
template <class Entries> auto Matching(Entries& entries, const TfrmFirstUse::Suggestion& s) {
    auto found = std::find_if(entries.begin(), entries.end(), [&](const THotkeyEntry& e) {
        return e.Definition.Key == s.Key && e.Definition.Shift == ModifierWin;
    });
    if (found == entries.end() || found->Definition.Func != s.Func ||
        (s.Func == THotkeyAction::OpenFile && Lower(found->Definition.Params) != "notepad.exe"))
        return entries.end();
    return found;
}

} // namespace

TfrmFirstUse::TfrmFirstUse(HWND owner)
    : gui::WizardForm("Setup Corvinade", owner, gui::Position::ScreenCenter), tsWelcome(AddPage("Welcome")),
      Label10(tsWelcome, Text(32, 24, "Setup Corvinade")),
      Label11(tsWelcome,
              Text(32, 49, "Use this simple guide to setup the most basic features of Corvinade.")),
      Label12(tsWelcome, Text(32, 76, "Click the Next button below to go to the next page.")),
      Label13(tsWelcome, Text(32, 103, "Thank you for choosing Corvinade")),
      lblLink(tsWelcome, Text(32, 267, "Visit Pelmorra Sotware on the web")), tsStartup(AddPage("Startup")),
      Label1(tsStartup, Text(32, 24, "Start this program when you log on")),
      Label4(tsStartup,
             Text(32, 49, "Check the checkbox below to let Corvinade start when you start your computer.")),
      chkStartAtWindowsStart(tsStartup, Text(32, 97, "&Start when you log on Windows")),
      tsHotkeys(AddPage("Hotkeys")), Label2(tsHotkeys, Text(32, 24, "Suggested new hotkeys")),
      Label3(tsHotkeys,
             Text(32, 49, "Use the checkboxes below to enable or disable the suggested global hotkeys.")),
      Label5(tsHotkeys,
             Text(32, 65,
                  "Click the button More Hotkeys to setup other hotkeys than the suggested list below.")),
      chkKeyMinimize(tsHotkeys, Text(32, 96, "")),
      Label6(tsHotkeys, Text(SuggestionTextLeft, 96, "Minimize active window")),
      chkKeyMaximize(tsHotkeys, Text(32, 119, "")),
      Label7(tsHotkeys, Text(SuggestionTextLeft, 119, "Maximize or restore active window")),
      chkKeyScreenCapture(tsHotkeys, Text(32, 142, "")),
      Label8(tsHotkeys, Text(SuggestionTextLeft, 142, "Save screen capture")),
      chkKeyOpenNotepad(tsHotkeys, Text(32, 166, "")),
      Label9(tsHotkeys, Text(SuggestionTextLeft, 166, "Open notepad")),
      btnSetupMoreHotkeys(
          tsHotkeys, {.left = 32, .top = 216, .width = 121, .height = 25, .caption = "&Setup more hotkeys"}) {
    for (gui::Label* heading : {&Label10, &Label1, &Label2})
        MakeHeading(*heading);
    lblLink.Execute = MakerSoftwareSite;
    btnNext.OnClick = [this] { btnNextClick(); };
    btnPrevious.OnClick = [this] { btnPreviousClick(); };
    btnCancel.OnClick = [this] { btnCancelClick(); };
    btnSetupMoreHotkeys.OnClick = [this] { btnSetupMoreHotkeysClick(); };
    FormCreate();
}

TfrmFirstUse::~TfrmFirstUse() {
    if (documentSubscription_ && Data)
        Data->Document().Unsubscribe(documentSubscription_);
}

std::array<gui::CheckBox*, 4> TfrmFirstUse::SuggestionBoxes() {
    return {&chkKeyMinimize, &chkKeyMaximize, &chkKeyScreenCapture, &chkKeyOpenNotepad};
}

// Nothing is read from the file or the registry: every box starts checked.
void TfrmFirstUse::FormCreate() {
    GoToPage(0);
    const auto boxes = SuggestionBoxes();
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        boxes[i]->SetCaption(Data->HotkeyText(SuggestedHotkeys[i].Key, ModifierWin));
        boxes[i]->SetChecked(true);
    }
    chkStartAtWindowsStart.SetChecked(true);
    OnShow = [this] { btnNext.SetFocus(); }; // Enter goes on, as in any wizard
}

void TfrmFirstUse::pcClientChange() {
    UpdateWizardButtons();
}

void TfrmFirstUse::btnNextClick() {
    if (!OnLastPage()) {
        pcClient.SetActivePageIndex(pcClient.ActivePageIndex() + 1);
        pcClientChange();
        return;
    }
    ApplyFirstUse();
    // The guide goes and no window stays: where the program went.
    if (MainForm)
        MainForm->TrayIcon().ShowBalloonHint(
            "Corvinade", "Corvinade runs in the notification area. Click its icon to see your hotkeys, "
                         "double-click it to change them.");
    SetModalResult(IDOK);
}

void TfrmFirstUse::btnPreviousClick() {
    if (pcClient.ActivePageIndex() > 0) {
        pcClient.SetActivePageIndex(pcClient.ActivePageIndex() - 1);
        pcClientChange();
    }
}

void TfrmFirstUse::btnCancelClick() {
    if (gui::MessageDlg("Close the setup guide?", gui::DialogKind::Confirmation, MB_OKCANCEL) == IDOK)
        SetModalResult(IDCANCEL);
}

// The settings window shows the suggestions written; what changes there
// shows here at once.
void TfrmFirstUse::btnSetupMoreHotkeysClick() {
    ApplyFirstUse();
    RefreshSuggestions();
    if (!documentSubscription_)
        documentSubscription_ = Data->Document().Subscribe([this] { RefreshSuggestions(); });
    ProgramWindows->ShowSettingsModal();
}

// One commit: the file, the log-on entry and the end of the first use.
void TfrmFirstUse::ApplyFirstUse() {
    THotkeyDraft draft = Data->Document().Draft();
    const auto boxes = SuggestionBoxes();
    for (std::size_t i = 0; i < SuggestedHotkeys.size(); ++i) {
        const Suggestion& s = SuggestedHotkeys[i];
        if (auto existing = Matching(draft.Entries, s); existing != draft.Entries.end())
            draft.Entries.erase(existing);
        if (boxes[i]->Checked())
            draft.Entries.push_back({0, {true, s.Key, ModifierWin, s.Func, s.Params, ""}});
    }
    draft.LogonStart = chkStartAtWindowsStart.Checked();
    draft.FirstUseDone = true;
    Data->Commit(std::move(draft));
}

void TfrmFirstUse::RefreshSuggestions() {
    const THotkeyEntries& entries = Data->Document().Entries();
    const auto boxes = SuggestionBoxes();
    for (std::size_t i = 0; i < SuggestedHotkeys.size(); ++i) {
        auto existing = Matching(entries, SuggestedHotkeys[i]);
        boxes[i]->SetChecked(existing != entries.end() && existing->Definition.Active);
    }
    chkStartAtWindowsStart.SetChecked(Data->Document().LogonStart());
}

} // namespace corvinade
