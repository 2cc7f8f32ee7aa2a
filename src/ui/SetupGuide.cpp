// The first-use wizard; see SetupGuide.h.
#include "ui/SetupGuide.h"

#include <algorithm>
#include <cctype>
#include <memory>
#include <string>
#include <vector>

#include "app/AppPaths.h"
#include "app/HotkeyService.h"
#include "app/LogonStart.h"
#include "core/Maker.h"
#include "gui/Dialogs.h"

namespace corvinade {

// WIN + SHIFT + S is Windows' own region capture: ours goes on A (for
// "area"), which Windows holds too on current versions, so it is mostly
// offered with ALT added.
const std::array<SetupGuide::Suggestion, SetupGuide::SuggestionCount> SetupGuide::SuggestedHotkeys = {{
    {VK_DIVIDE, THotkeyAction::Minimize, ""},
    {VK_MULTIPLY, THotkeyAction::Maximize, ""},
    {'S', THotkeyAction::CaptureScreen, ""},
    {'A', THotkeyAction::CaptureRegion, ""},
    {'N', THotkeyAction::OpenFile, "notepad.exe"},
}};

namespace {

// The suggestions' descriptions, clear of the longest key name in the box
// before them ("WIN + KP_Multiply").
constexpr int SuggestionTextLeft = 170;
constexpr int tsHotkeysIndex = 2;
// Where the descriptions go when a caption names an alternative ("ALT +
// SHIFT + WIN + Num *" is wider than the designed column).
constexpr int AlternativeLabelLeft = 200;

gui::ControlArgs Text(int left, int top, const std::string& caption) {
    return {.left = left, .top = top, .caption = caption};
}

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// A definition that does what the suggestion does: its action (and, for
// notepad, notepad.exe in any letter case).
bool DoesWhatItSuggests(const THotKeyData& d, const SetupGuide::Suggestion& s) {
    return d.Func == s.Func && (s.Func != THotkeyAction::OpenFile || Lower(d.Params) == "notepad.exe");
}

// The definition a suggestion stands for: the first one with its key and
// exactly the modifiers it is offered with, when it does what the
// suggestion does. Later ones are not looked at.
template <class Entries>
auto Matching(Entries& entries, const SetupGuide::Suggestion& s, std::int32_t shift) {
    auto found = std::find_if(entries.begin(), entries.end(), [&](const THotkeyEntry& e) {
        return e.Definition.Key == s.Key && e.Definition.Shift == shift;
    });
    if (found == entries.end() || !DoesWhatItSuggests(found->Definition, s))
        return entries.end();
    return found;
}

std::string Joined(const std::vector<std::string>& names) {
    std::string text;
    for (std::size_t i = 0; i < names.size(); ++i)
        text += (i == 0 ? "" : i + 1 == names.size() ? " and " : ", ") + names[i];
    return text;
}

} // namespace

SetupGuide::SetupGuide(HWND owner, HotkeyService& hotkeys, bool portable)
    : gui::WizardForm("Setup Corvinade", owner, gui::Position::ScreenCenter), tsWelcome(AddPage("Welcome")),
      lblWelcomeHeading(tsWelcome, Text(32, 24, "Setup Corvinade")),
      lblWelcomeText(tsWelcome,
                     Text(32, 49, "Use this simple guide to setup the most basic features of Corvinade.")),
      lblNextHint(tsWelcome, Text(32, 76, "Click the Next button below to go to the next page.")),
      lblThanks(tsWelcome, Text(32, 103, "Thank you for choosing Corvinade")),
      lblLink(tsWelcome, Text(32, 267, "Visit Pelmorra Sotware on the web")), tsStartup(AddPage("Startup")),
      lblStartupHeading(tsStartup, Text(32, 24, "Start this program when you log on")),
      lblStartupHelp(
          tsStartup,
          Text(32, 49, "Check the checkbox below to let Corvinade start when you start your computer.")),
      chkStartAtWindowsStart(tsStartup, Text(32, 97, "&Start when you log on Windows")),
      tsHotkeys(AddPage("Hotkeys")), lblHotkeysHeading(tsHotkeys, Text(32, 24, "Suggested new hotkeys")),
      lblHotkeysHelp(
          tsHotkeys,
          Text(32, 49, "Use the checkboxes below to enable or disable the suggested global hotkeys.")),
      lblMoreHotkeysHelp(
          tsHotkeys,
          Text(32, 65,
               "Click the button More Hotkeys to setup other hotkeys than the suggested list below.")),
      chkKeyMinimize(tsHotkeys, Text(32, 96, "")),
      lblMinimize(tsHotkeys, Text(SuggestionTextLeft, 96, "Minimize active window")),
      chkKeyMaximize(tsHotkeys, Text(32, 119, "")),
      lblMaximize(tsHotkeys, Text(SuggestionTextLeft, 119, "Maximize or restore active window")),
      chkKeyScreenCapture(tsHotkeys, Text(32, 142, "")),
      lblScreenCapture(tsHotkeys, Text(SuggestionTextLeft, 142, "Save screen capture")),
      chkKeyRegionCapture(tsHotkeys, Text(32, 166, "")),
      lblRegionCapture(tsHotkeys, Text(SuggestionTextLeft, 166, "Capture a region of the screen")),
      chkKeyOpenNotepad(tsHotkeys, Text(32, 189, "")),
      lblOpenNotepad(tsHotkeys, Text(SuggestionTextLeft, 189, "Open notepad")),
      lblSuggestionNote(tsHotkeys, {.left = 32, .top = 252, .width = 507, .height = 42},
                        {.wordWrap = true, .showAccelChar = false}),
      btnSetupMoreHotkeys(
          tsHotkeys, {.left = 32, .top = 216, .width = 121, .height = 25, .caption = "&Setup more hotkeys"}),
      hotkeys_(hotkeys) {
    for (gui::Label* heading : {&lblWelcomeHeading, &lblStartupHeading, &lblHotkeysHeading})
        MakeHeading(*heading);
    lblLink.Execute = MakerSoftwareSite;
    btnNext.OnClick = [this] { OnNextClick(); };
    btnPrevious.OnClick = [this] { OnPreviousClick(); };
    btnCancel.OnClick = [this] { OnCancelClick(); };
    btnSetupMoreHotkeys.OnClick = [this] { OnSetupMoreHotkeysClick(); };
    // A box shows only its combination; its action is the label beside it.
    for (std::size_t i = 0; i < SuggestionBoxes().size(); ++i)
        SuggestionBoxes()[i]->SetAccessibleName([box = SuggestionBoxes()[i], label = SuggestionLabels()[i]] {
            return box->Caption() + ", " + label->Caption();
        });
    Initialize(portable);
}

SetupGuide::~SetupGuide() {
    if (documentSubscription_)
        hotkeys_.Document().Unsubscribe(documentSubscription_);
}

std::array<gui::CheckBox*, SetupGuide::SuggestionCount> SetupGuide::SuggestionBoxes() {
    return {&chkKeyMinimize, &chkKeyMaximize, &chkKeyScreenCapture, &chkKeyRegionCapture, &chkKeyOpenNotepad};
}

std::array<gui::Label*, SetupGuide::SuggestionCount> SetupGuide::SuggestionLabels() {
    return {&lblMinimize, &lblMaximize, &lblScreenCapture, &lblRegionCapture, &lblOpenNotepad};
}

std::int32_t SetupGuide::SuggestionShift(std::size_t index) const {
    return offered_[index].value_or(ModifierWin);
}

// Windows holds many WIN combinations (WIN + S, WIN + N on current
// versions): a suggestion whose combination is taken gets a free one, or
// is left unchecked, before the user sees the page.
void SetupGuide::OfferSuggestions() {
    if (offersMade_)
        return;
    offersMade_ = true;
    const auto boxes = SuggestionBoxes();
    std::vector<std::string> taken, none;
    for (std::size_t i = 0; i < SuggestedHotkeys.size(); ++i) {
        const Suggestion& s = SuggestedHotkeys[i];
        offered_[i] = hotkeys_.OfferedModifiers(
            s.Key, ModifierWin, [&](const THotKeyData& d) { return DoesWhatItSuggests(d, s); });
        const std::string own = hotkeys_.HotkeyText(s.Key, ModifierWin);
        if (offered_[i] == ModifierWin)
            continue;
        taken.push_back(own);
        if (offered_[i]) {
            boxes[i]->SetCaption(hotkeys_.HotkeyText(s.Key, static_cast<std::uint16_t>(*offered_[i])));
        } else {
            none.push_back(own);
            boxes[i]->SetCaption(own + " (taken)");
            boxes[i]->SetChecked(false);
        }
    }
    if (taken.empty())
        return;
    // The longer captions push the descriptions to the right.
    for (gui::Label* label : SuggestionLabels())
        label->Place(AlternativeLabelLeft, label->Design().top, 0, 0);
    std::string note = "Windows or another program uses " + Joined(taken) + " on this computer";
    note += none.size() == taken.size() ? "." : ", so the boxes offer free combinations.";
    if (!none.empty())
        note += " None was free for " + Joined(none) + ": " +
                (none.size() == 1 ? "its box is" : "their boxes are") + " unchecked.";
    lblSuggestionNote.SetCaption(note);
}

// Nothing is read from the file or the registry: every box starts checked,
// but a portable copy's log-on box (the user asks for that entry).
void SetupGuide::Initialize(bool portable) {
    GoToPage(0);
    const auto boxes = SuggestionBoxes();
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        boxes[i]->SetCaption(hotkeys_.HotkeyText(SuggestedHotkeys[i].Key, ModifierWin));
        boxes[i]->SetChecked(true);
    }
    chkStartAtWindowsStart.SetChecked(!portable);
    OnShow = [this] { btnNext.SetFocus(); }; // Enter goes on, as in any wizard
}

void SetupGuide::PageChanged() {
    UpdateWizardButtons();
}

void SetupGuide::OnNextClick() {
    if (!OnLastPage()) {
        if (pcClient.ActivePageIndex() + 1 == tsHotkeysIndex)
            OfferSuggestions();
        pcClient.SetActivePageIndex(pcClient.ActivePageIndex() + 1);
        PageChanged();
        return;
    }
    ApplyFirstUse();
    if (OnFinished)
        OnFinished();
    SetModalResult(IDOK);
}

void SetupGuide::OnPreviousClick() {
    if (pcClient.ActivePageIndex() > 0) {
        pcClient.SetActivePageIndex(pcClient.ActivePageIndex() - 1);
        PageChanged();
    }
}

void SetupGuide::OnCancelClick() {
    if (gui::MessageDlg("Close the setup guide?", gui::DialogKind::Confirmation, MB_OKCANCEL) == IDOK)
        SetModalResult(IDCANCEL);
}

// The settings window shows the suggestions written; what changes there
// shows here at once, and its log-on box once it closes.
void SetupGuide::OnSetupMoreHotkeysClick() {
    ApplyFirstUse();
    RefreshSuggestions();
    if (!documentSubscription_)
        documentSubscription_ = hotkeys_.Document().Subscribe([this] { RefreshSuggestions(); });
    if (OnMoreHotkeys) {
        OnMoreHotkeys();
        RefreshSuggestions();
    }
}

// One commit: the file, the log-on entry and the end of the first use.
void SetupGuide::ApplyFirstUse() {
    THotkeyDraft draft = hotkeys_.Document().Draft();
    const auto boxes = SuggestionBoxes();
    for (std::size_t i = 0; i < SuggestedHotkeys.size(); ++i) {
        const Suggestion& s = SuggestedHotkeys[i];
        const std::int32_t shift = SuggestionShift(i);
        if (auto existing = Matching(draft.Entries, s, shift); existing != draft.Entries.end())
            draft.Entries.erase(existing);
        if (boxes[i]->Checked())
            draft.Entries.push_back({0, {true, s.Key, shift, s.Func, s.Params, ""}});
    }
    draft.LogonStart = chkStartAtWindowsStart.Checked();
    draft.FirstUseDone = true;
    hotkeys_.Commit(std::move(draft));
}

void SetupGuide::RefreshSuggestions() {
    const THotkeyEntries& entries = hotkeys_.Document().Entries();
    const auto boxes = SuggestionBoxes();
    for (std::size_t i = 0; i < SuggestedHotkeys.size(); ++i) {
        auto existing = Matching(entries, SuggestedHotkeys[i], SuggestionShift(i));
        boxes[i]->SetChecked(existing != entries.end() && existing->Definition.Active);
    }
    chkStartAtWindowsStart.SetChecked(ReadLogonStart().On);
}

} // namespace corvinade
