// The new-hotkey wizard; see NewHotkeyWizard.h.
#include "ui/NewHotkeyWizard.h"

#include "app/HotkeyService.h"
#include "core/CombinationCheck.h"
#include "gui/Dialogs.h"

namespace corvinade {

namespace {

constexpr int ParametersWidth = 191;

gui::ControlArgs Text(int left, int top, const std::string& caption) {
    return {.left = left, .top = top, .caption = caption};
}

// A help text wrapped within the page, `lines` high.
gui::ControlArgs Help(int top, int lines, const std::string& caption) {
    return {.left = 32,
            .top = top,
            .width = gui::WizardForm::ClientWidth - 64,
            .height = 14 * lines,
            .caption = caption};
}

constexpr gui::Label::Options Wrapped = {.wordWrap = true};

} // namespace

// The controls are made in their tab order: on "Key" the four modifiers,
// then the key field, whose label "&Key:" comes just before it.
NewHotkeyWizard::NewHotkeyWizard(HWND owner, HotkeyService& hotkeys)
    : gui::WizardForm("New hotkey", owner, gui::Position::OwnerCenter), tsKey(AddPage("Key")),
      lblKeyHeading(tsKey, Text(32, 24, "Choose a key")),
      lblKeyHelp(
          tsKey,
          Help(49, 1,
               "Type a \"Key\" in the key edit box and select one or more shift keys in the checkboxes "
               "below."),
          Wrapped),
      lblShiftHelp(tsKey, Help(65, 1, "Shift keys are the keys which is held down while pressing the key."),
                   Wrapped),
      lblCombinationHelp(
          tsKey,
          Help(81, 1,
               "You can also press the whole combination, such as CTRL + ALT + K, in the key edit box."),
          Wrapped),
      lblShiftKey(tsKey, Text(32, 146, "Shift key:")), ShiftKeyWin(tsKey, Text(106, 145, "&WIN")),
      ShiftKeyAlt(tsKey, Text(106, 167, "&ALT")), ShiftKeyCtrl(tsKey, Text(106, 190, "&CTRL")),
      ShiftKeyShift(tsKey, Text(106, 213, "&SHIFT")), lblKey(tsKey, Text(32, 108, "&Key:")),
      edtKey(tsKey, {.left = 106, .top = 108, .width = 191, .height = 19}),
      lblCombination(tsKey, {.left = 305, .top = 106, .width = 250, .height = 28},
                     {.wordWrap = true, .showAccelChar = false}),
      tsAction(AddPage("Action")), lblActionHeading(tsAction, Text(32, 24, "Choose an action")),
      lblActionHelp(
          tsAction,
          Help(49, 1, "Select the action to be executed when the hotkey is pressed in the box below."),
          Wrapped),
      lblParametersHelp(
          tsAction,
          Help(65, 2,
               "Some actions need additional parameters to run. You can type those in the boxes below."),
          Wrapped),
      lblAction(tsAction, Text(32, 98, "&Action:")),
      cbAction(tsAction, {.left = 116, .top = 95, .width = 191}),
      lblParameters(tsAction, Text(32, 136, ParameterLabel(THotkeyAction::None, true) + ":")),
      edtParameters(tsAction, {.left = 116,
                               .top = 133,
                               .width = ParametersWidth,
                               .height = 21,
                               .anchors = gui::akLeft | gui::akTop | gui::akRight}),
      btnParameters(tsAction, {.left = 313, .top = 133, .width = 21, .height = 21, .caption = "..."}),
      lblAdditionalParameters(
          tsAction,
          {.left = 32, .top = 170, .width = 78, .height = 28, .caption = Parameter2Label(true) + ":"},
          {.wordWrap = true}),
      edtAdditionalParameters(tsAction, {.left = 116, .top = 171, .width = 193, .height = 21}),
      lblKeystrokeRules(tsAction, {.left = 116, .top = 160, .caption = KeystrokeRules},
                        {.showAccelChar = false}),
      lblDelay(tsAction, Text(32, 136, "&Delay:")),
      edtDelay(tsAction, {.left = 116, .top = 133, .width = 40, .height = 21}),
      lblSeconds(tsAction, Text(162, 136, "seconds")),
      chkPointer(tsAction, Text(116, 163, "Include the &mouse pointer")),
      chkSameArea(tsAction, Text(116, 186, "Same area as &last time")), hotkeys_(hotkeys) {
    MakeHeading(lblKeyHeading);
    MakeHeading(lblActionHeading);
    edtKey.KeyName = [this](std::uint16_t key) { return hotkeys_.HotkeyText(key, 0); };
    edtKey.Combination = [this] { return edtKey.Key() ? hotkeys_.HotkeyText(edtKey.Key(), GetShift()) : ""; };
    edtKey.OnModifiers = [this](unsigned modifiers) { SetShift(modifiers); };
    OpenParameterDialog.Filter = "*.*|*.*";
    parameterControls_ = {.params = {&lblParameters, &edtParameters},
                          .button = {&btnParameters},
                          .params2 = {&lblAdditionalParameters, &edtAdditionalParameters},
                          .keys = {&lblKeystrokeRules},
                          .capture = {&lblDelay, &edtDelay, &lblSeconds, &chkPointer},
                          .region = {&chkSameArea},
                          .label = &lblParameters,
                          .label2 = &lblAdditionalParameters,
                          .mnemonics = true};
    CanFinish = [this] { return GetFunc() != THotkeyAction::None; };
    btnCancel.OnClick = [this] {
        if (ConfirmCancel())
            SetModalResult(IDCANCEL);
    };
    CanClose = [this] { return ConfirmCancel(); }; // the close box
    btnNext.OnClick = [this] { OnNextClick(); };
    btnPrevious.OnClick = [this] { OnPreviousClick(); };
    cbAction.OnSelect = [this] { OnActionSelect(); };
    btnParameters.OnClick = [this] { OnParametersClick(); };
    btnParameters.SetAccessibleName([this] { return ParameterButtonName(GetFunc()); });
    edtKey.OnChange = [this] { UpdateCombinationStatus(); };
    for (gui::CheckBox* box : {&ShiftKeyWin, &ShiftKeyShift, &ShiftKeyCtrl, &ShiftKeyAlt})
        box->OnClick = [this] { UpdateCombinationStatus(); };
    Initialize();
}

NewHotkeyWizard::~NewHotkeyWizard() = default;

void NewHotkeyWizard::Initialize() {
    GoToPage(0);
    FillActionCombo(cbAction);
    UpdateParameterControls(parameterControls_, GetFunc()); // nothing chosen: all hidden
    OnShow = [this] { edtKey.SetFocus(); };
}

void NewHotkeyWizard::PageChanged() {
    UpdateWizardButtons();
    // The first box of the page to type in.
    if (pcClient.ActivePageIndex() == 0)
        edtKey.SetFocus();
    else
        cbAction.SetFocus();
}

void NewHotkeyWizard::OnNextClick() {
    if (!OnLastPage()) {
        if (ValidatePage(pcClient.ActivePageIndex() == 0 ? PageToCheck::Key : PageToCheck::Action)) {
            pcClient.SetActivePageIndex(pcClient.ActivePageIndex() + 1);
            PageChanged();
        }
        return;
    }
    if (!ValidatePage(PageToCheck::Both))
        return;
    WarnIfHeldElsewhere(hotkeys_, combinationStatus_, edtKey.Key(), GetShift());
    AddNewHotkey();
    SetModalResult(IDOK);
}

void NewHotkeyWizard::OnPreviousClick() {
    if (pcClient.ActivePageIndex() > 0) {
        pcClient.SetActivePageIndex(pcClient.ActivePageIndex() - 1);
        PageChanged();
    }
}

void NewHotkeyWizard::UpdateCombinationStatus() {
    combinationStatus_ = ShowCombinationStatus(hotkeys_, lblCombination, edtKey.Key(), GetShift(), 0);
}

bool NewHotkeyWizard::Fails(const char* message) {
    gui::MessageDlg(message, gui::DialogKind::Error, MB_OK);
    return false;
}

bool NewHotkeyWizard::ValidatePage(PageToCheck page) {
    if (page == PageToCheck::Key || page == PageToCheck::Both) {
        if (edtKey.Key() == 0)
            return Fails("You must select a key for your hotkey.");
        if (const auto refusal = RefusedCombination(edtKey.Key(), GetShift());
            refusal != CombinationRefusal::None)
            return Fails(CombinationRefusalText(refusal).c_str());
        if (hotkeys_.Document().ActiveWithCombination(edtKey.Key(), GetShift()))
            return Fails("The selected hotkey is already in use.");
    }
    if ((page == PageToCheck::Action || page == PageToCheck::Both) && cbAction.ItemIndex() < 0)
        return Fails("You must select an action for the hotkey.");
    if ((page == PageToCheck::Action || page == PageToCheck::Both) && edtDelay.Visible() &&
        !DelayFromInput(edtDelay.Text()))
        return Fails(DelayInputError);
    return true;
}

// A failed save changes nothing: Finish can simply be tried again.
void NewHotkeyWizard::AddNewHotkey() {
    THotkeyDraft draft = hotkeys_.Document().Draft();
    THotKeyData hotkey{true, edtKey.Key(), GetShift(), GetFunc(), GetParamsText(), GetParams2Text()};
    hotkey.Capture = GetCaptureOptions();
    draft.Entries.push_back({0, std::move(hotkey)});
    hotkeys_.Commit(std::move(draft));
}

std::int32_t NewHotkeyWizard::GetShift() const {
    return (ShiftKeyAlt.Checked() ? ModifierAlt : 0) | (ShiftKeyCtrl.Checked() ? ModifierCtrl : 0) |
           (ShiftKeyShift.Checked() ? ModifierShift : 0) | (ShiftKeyWin.Checked() ? ModifierWin : 0);
}

void NewHotkeyWizard::SetShift(unsigned modifiers) {
    ShiftKeyAlt.SetChecked(modifiers & MOD_ALT);
    ShiftKeyCtrl.SetChecked(modifiers & MOD_CONTROL);
    ShiftKeyShift.SetChecked(modifiers & MOD_SHIFT);
    ShiftKeyWin.SetChecked(modifiers & MOD_WIN);
}

THotkeyAction NewHotkeyWizard::GetFunc() const {
    const int index = cbAction.ItemIndex();
    return index < 0 ? THotkeyAction::None : static_cast<THotkeyAction>(cbAction.ItemData(index));
}

std::string NewHotkeyWizard::GetParamsText() const {
    return edtParameters.Visible() ? StoredParameter(edtParameters.Text()) : std::string();
}

std::string NewHotkeyWizard::GetParams2Text() const {
    return edtAdditionalParameters.Visible() ? StoredParameter(edtAdditionalParameters.Text())
                                             : std::string();
}

TCaptureOptions NewHotkeyWizard::GetCaptureOptions() const {
    TCaptureOptions options;
    options.Delay = edtDelay.Visible() ? DelayFromInput(edtDelay.Text()).value_or(0) : 0;
    options.Cursor = chkPointer.Visible() && chkPointer.Checked();
    options.SameArea = chkSameArea.Visible() && chkSameArea.Checked();
    return options;
}

void NewHotkeyWizard::OnActionSelect() {
    UpdateParameterControls(parameterControls_, GetFunc());
    UpdateWizardButtons();
}

bool NewHotkeyWizard::HasInput() const {
    return edtKey.Key() != 0 || GetShift() != 0 || GetFunc() != THotkeyAction::None ||
           !edtParameters.Text().empty() || !edtAdditionalParameters.Text().empty() ||
           !edtDelay.Text().empty() || chkSameArea.Checked();
}

// Cancel, Esc and the close box.
bool NewHotkeyWizard::ConfirmCancel() {
    return !HasInput() ||
           gui::MessageDlg("Discard the new hotkey?", gui::DialogKind::Confirmation, MB_YESNO) == IDYES;
}

void NewHotkeyWizard::OnParametersClick() {
    EditParameter(edtParameters, GetFunc(), Handle(), OpenParameterDialog);
}

} // namespace corvinade
