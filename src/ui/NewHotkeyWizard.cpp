// The new-hotkey wizard; see NewHotkeyWizard.h.
#include "ui/NewHotkeyWizard.h"

#include "app/datau.h"
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
NewHotkeyWizard::NewHotkeyWizard(HWND owner)
    : gui::WizardForm("New hotkey", owner, gui::Position::OwnerCenter), tsKey(AddPage("Key")),
      Label1(tsKey, Text(32, 24, "Choose a key")),
      Label4(tsKey,
             Help(49, 1,
                  "Type a \"Key\" in the key edit box and select one or more shift keys in the checkboxes "
                  "below."),
             Wrapped),
      Label5(tsKey, Help(65, 1, "Shift keys are the keys which is held down while pressing the key."),
             Wrapped),
      Label3(tsKey, Text(32, 136, "Shift key:")), ShiftKeyWin(tsKey, Text(106, 135, "&WIN")),
      ShiftKeyALt(tsKey, Text(106, 157, "&ALT")), ShiftKeyCTRL(tsKey, Text(106, 180, "&CTRL")),
      ShiftKeyShift(tsKey, Text(106, 203, "&SHIFT")), Label2(tsKey, Text(32, 98, "&Key:")),
      HotKey1(tsKey, {.left = 106, .top = 98, .width = 191, .height = 19}),
      lblCombination(tsKey, {.left = 305, .top = 96, .width = 250, .height = 28},
                     {.wordWrap = true, .showAccelChar = false}),
      tsAction(AddPage("Action")), Label6(tsAction, Text(32, 24, "Choose an action")),
      Label7(tsAction,
             Help(49, 1, "Select the action to be executed when the hotkey is pressed in the box below."),
             Wrapped),
      Label8(tsAction,
             Help(65, 2,
                  "Some actions need additional parameters to run. You can type those in the box called "
                  "parameters below."),
             Wrapped),
      Label9(tsAction, Text(32, 98, "&Action:")), cbAction(tsAction, {.left = 116, .top = 95, .width = 191}),
      Label10(tsAction, Text(32, 136, "Pa&rameters:")), // P is "&Previous"'s
      edtParameters(tsAction, {.left = 116,
                               .top = 133,
                               .width = ParametersWidth,
                               .height = 21,
                               .anchors = gui::akLeft | gui::akTop | gui::akRight}),
      btnParameters(tsAction, {.left = 313, .top = 133, .width = 21, .height = 21, .caption = "..."}),
      lblAdditionalParameters(
          tsAction, {.left = 32, .top = 170, .width = 78, .height = 28, .caption = "Additional paramters:"},
          {.wordWrap = true}),
      edtAdditionalParameters(tsAction, {.left = 116, .top = 171, .width = 193, .height = 21}) {
    MakeHeading(Label1);
    MakeHeading(Label6);
    HotKey1.KeyName = [](std::uint16_t key) { return Data->HotkeyText(key, 0); };
    HotKey1.Combination = [this] { return HotKey1.Key() ? Data->HotkeyText(HotKey1.Key(), GetShift()) : ""; };
    HotKey1.OnModifiers = [this](unsigned modifiers) { SetShift(modifiers); };
    OpenDialog1.Filter = "*.*|*.*";
    parameterControls_ = {
        {&Label10, &edtParameters}, {&btnParameters}, {&lblAdditionalParameters, &edtAdditionalParameters}};
    btnCancel.ModalResult = IDCANCEL;
    btnNext.OnClick = [this] { btnNextClick(); };
    btnPrevious.OnClick = [this] { btnPreviousClick(); };
    cbAction.OnSelect = [this] { cbActionSelect(); };
    btnParameters.OnClick = [this] { btnParametersClick(); };
    btnParameters.SetAccessibleName([this] { return ParameterButtonName(GetFunc()); });
    HotKey1.OnChange = [this] { UpdateCombinationStatus(); };
    for (gui::CheckBox* box : {&ShiftKeyWin, &ShiftKeyShift, &ShiftKeyCTRL, &ShiftKeyALt})
        box->OnClick = [this] { UpdateCombinationStatus(); };
    FormCreate();
}

NewHotkeyWizard::~NewHotkeyWizard() = default;

void NewHotkeyWizard::FormCreate() {
    GoToPage(0);
    FillActionCombo(cbAction);
    UpdateParameterControls(parameterControls_, GetFunc()); // nothing chosen: all hidden
    OnShow = [this] { HotKey1.SetFocus(); };
}

void NewHotkeyWizard::pcClientChange() {
    UpdateWizardButtons();
    // The first box of the page to type in.
    if (pcClient.ActivePageIndex() == 0)
        HotKey1.SetFocus();
    else
        cbAction.SetFocus();
}

void NewHotkeyWizard::btnNextClick() {
    if (!OnLastPage()) {
        if (ValidatePage(pcClient.ActivePageIndex() == 0 ? TPage::tsKey : TPage::tsAction)) {
            pcClient.SetActivePageIndex(pcClient.ActivePageIndex() + 1);
            pcClientChange();
        }
        return;
    }
    if (!ValidatePage(TPage::None))
        return;
    WarnIfHeldElsewhere(combinationStatus_, HotKey1.Key(), GetShift());
    AddNewHotkey();
    SetModalResult(IDOK);
}

void NewHotkeyWizard::btnPreviousClick() {
    if (pcClient.ActivePageIndex() > 0) {
        pcClient.SetActivePageIndex(pcClient.ActivePageIndex() - 1);
        pcClientChange();
    }
}

void NewHotkeyWizard::UpdateCombinationStatus() {
    combinationStatus_ = ShowCombinationStatus(lblCombination, HotKey1.Key(), GetShift(), 0);
}

bool NewHotkeyWizard::Fails(const char* message) {
    gui::MessageDlg(message, gui::DialogKind::Error, MB_OK);
    return false;
}

bool NewHotkeyWizard::ValidatePage(TPage page) {
    if (page == TPage::tsKey || page == TPage::None) {
        if (HotKey1.Key() == 0)
            return Fails("You must select a key for your hotkey.");
        if (GetShift() == 0)
            return Fails("You must select a shift key for your hotkey.");
        if (Data->Document().ActiveWithCombination(HotKey1.Key(), GetShift()))
            return Fails("The selected hotkey is already in use.");
    }
    if ((page == TPage::tsAction || page == TPage::None) && cbAction.ItemIndex() < 0)
        return Fails("You must select an action for the hotkey.");
    return true;
}

// A failed save changes nothing: Finish can simply be tried again.
void NewHotkeyWizard::AddNewHotkey() {
    THotkeyDraft draft = Data->Document().Draft();
    draft.Entries.push_back(
        {0, {true, HotKey1.Key(), GetShift(), GetFunc(), GetParamsText(), GetParams2Text()}});
    Data->Commit(std::move(draft));
}

std::int32_t NewHotkeyWizard::GetShift() const {
    return (ShiftKeyALt.Checked() ? ModifierAlt : 0) | (ShiftKeyCTRL.Checked() ? ModifierCtrl : 0) |
           (ShiftKeyShift.Checked() ? ModifierShift : 0) | (ShiftKeyWin.Checked() ? ModifierWin : 0);
}

void NewHotkeyWizard::SetShift(unsigned modifiers) {
    ShiftKeyALt.SetChecked(modifiers & MOD_ALT);
    ShiftKeyCTRL.SetChecked(modifiers & MOD_CONTROL);
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

void NewHotkeyWizard::cbActionSelect() {
    UpdateParameterControls(parameterControls_, GetFunc());
}

void NewHotkeyWizard::btnParametersClick() {
    EditParameter(edtParameters, GetFunc(), Handle(), OpenDialog1);
}

} // namespace corvinade
