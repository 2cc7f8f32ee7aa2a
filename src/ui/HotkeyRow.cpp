// The hotkey row; see HotkeyRow.h.
#include "ui/HotkeyRow.h"

#include "app/ActionText.h"
#include "app/HotkeyService.h"
#include "core/CombinationCheck.h"
#include "core/Errors.h"
#include "core/Wide_win.h"
#include "gui/Application.h"
#include "gui/Contrast.h"
#include "gui/Dialogs.h"
#include "gui/Form.h"
#include "gui/Handles.h"

namespace corvinade {

namespace {

constexpr int FieldsLeft = 66;   // the Edit and Delete buttons are left of the fields
constexpr int FieldsWidth = 748; // as designed; it stretches with the row
constexpr int EditHeight = 97;
// The mark of a hotkey that is not registered: under the modifiers and the
// key, clear of the action's column.
constexpr int MarkLeft = 76, MarkTop = 62, MarkWidth = 220, MarkHeight = 16, MarkIcon = 16;
// The action list as wide as its longest name; the parameters after it, to
// the "..." button at the row's end.
constexpr int ActionWidth = 182, ParametersLeft = 497, DotsWidth = 21, Gap = 6;
constexpr int DotsLeft = FieldsWidth - Gap - DotsWidth;
constexpr int ParametersWidth = DotsLeft - Gap - ParametersLeft;
const COLORREF FailedColor = RGB(192, 0, 0);

using gui::akBottom;
using gui::akLeft;
using gui::akRight;
using gui::akTop;

gui::ControlArgs At(int left, int top, const std::string& caption = {}) {
    return {.left = left, .top = top, .caption = caption};
}

// A check box of the two rows of modifiers, 17 apart.
gui::ControlArgs Box(int left, int top, const std::string& caption) {
    return {.left = left, .top = top, .height = 16, .caption = caption};
}

// A button of the column left of the fields: Edit and Delete, or while the
// row is edited Save and Cancel in their place.
gui::ControlArgs RowButton(int top, const std::string& caption) {
    return {.left = 5, .top = top, .width = 55, .height = 25, .caption = caption};
}

gui::ControlArgs Stretched(int left, int top, int width, int height) {
    return {.left = left, .top = top, .width = width, .height = height, .anchors = akLeft | akTop | akRight};
}

} // namespace

// The edit panel, in its tab order; each label comes just before
// the control it names, as screen readers expect.
struct HotkeyRow::EditPanel {
    explicit EditPanel(HotkeyRow& row)
        : Pane(row, Stretched(FieldsLeft, 0, FieldsWidth, EditHeight)),
          LeftLine(Pane, {.width = 2, .height = EditHeight, .anchors = akLeft | akTop | akBottom}),
          BottomLine(Pane, Stretched(2, EditHeight - 2, FieldsWidth - 2, 2)), // after LeftLine
          chkActive(Pane, Box(6, 23, "Active")), lblShiftKey(Pane, At(76, 6, "Shift key:")),
          ShiftKeyAlt(Pane, Box(76, 23, "ALT")), ShiftKeyShift(Pane, Box(141, 23, "SHIFT")),
          ShiftKeyCtrl(Pane, Box(76, 40, "CTRL")), ShiftKeyWin(Pane, Box(141, 40, "WIN")),
          lblKey(Pane, At(206, 6, "Key:")), edtKey(Pane, {.left = 206, .top = 23, .width = 83, .height = 19}),
          lblCombination(Pane, {.left = 206, .top = 46, .width = 240, .height = 42},
                         {.wordWrap = true, .showAccelChar = false}),
          lblAction(Pane, At(305, 6, "Action:")),
          cbAction(Pane, {.left = 305, .top = 21, .width = ActionWidth}),
          lblParameters(Pane, At(ParametersLeft, 6, "Parameter:")),
          edtParameters(Pane, Stretched(ParametersLeft, 21, ParametersWidth, 21)),
          btnParameters(Pane, {.left = DotsLeft,
                               .top = 21,
                               .width = DotsWidth,
                               .height = 21,
                               .caption = "...",
                               .anchors = akTop | akRight}),
          lblAdditionalParameters(Pane, At(ParametersLeft, 44, Parameter2Label() + ":")),
          edtAdditionalParameters(Pane, Stretched(ParametersLeft, 61, ParametersWidth, 21)),
          lblKeystrokeRules(Pane, Stretched(ParametersLeft, 46, FieldsWidth - Gap - ParametersLeft, 46),
                            {.wordWrap = true, .showAccelChar = false}),
          lblDelay(Pane, At(ParametersLeft, 6, "Delay:")),
          edtDelay(Pane, {.left = ParametersLeft, .top = 21, .width = 40, .height = 21}),
          lblSeconds(Pane, At(ParametersLeft + 46, 24, "seconds")),
          chkPointer(Pane, Box(ParametersLeft, 48, PointerCaption)),
          chkSameArea(Pane, Box(ParametersLeft, 66, SameAreaCaption)), btnSave(row, RowButton(23, "Save")),
          btnCancel(row, RowButton(50, "Cancel")) {
        Pane.SetSystemColor(COLOR_WINDOW);
        lblKeystrokeRules.SetCaption(KeystrokeRules);
        // Enter in the row saves it, Esc cancels its changes.
        row.SetDefaultButton(&btnSave);
        row.SetCancelButton(&btnCancel);
        edtKey.KeyName = [&hotkeys = row.hotkeys_](std::uint16_t key) { return hotkeys.HotkeyText(key, 0); };
        edtKey.OnModifiers = [this](unsigned modifiers) {
            ShiftKeyAlt.SetChecked(modifiers & MOD_ALT);
            ShiftKeyCtrl.SetChecked(modifiers & MOD_CONTROL);
            ShiftKeyShift.SetChecked(modifiers & MOD_SHIFT);
            ShiftKeyWin.SetChecked(modifiers & MOD_WIN);
        };
        OpenParameterDialog.Filter = "*.*|*.*";
        FillActionCombo(cbAction);
        parameters = {.params = {&lblParameters, &edtParameters},
                      .button = {&btnParameters},
                      .params2 = {&lblAdditionalParameters, &edtAdditionalParameters},
                      .keys = {&lblKeystrokeRules},
                      .capture = {&lblDelay, &edtDelay, &lblSeconds, &chkPointer},
                      .region = {&chkSameArea},
                      .label = &lblParameters};
    }

    // The controls Active greys out: all but the Active box and Save/Cancel.
    std::vector<gui::Control*> Greyed() {
        return {&lblShiftKey,
                &ShiftKeyAlt,
                &ShiftKeyShift,
                &ShiftKeyCtrl,
                &ShiftKeyWin,
                &lblKey,
                &edtKey,
                &lblCombination,
                &lblAction,
                &cbAction,
                &lblParameters,
                &edtParameters,
                &btnParameters,
                &lblAdditionalParameters,
                &edtAdditionalParameters,
                &lblKeystrokeRules,
                &lblDelay,
                &edtDelay,
                &lblSeconds,
                &chkPointer,
                &chkSameArea};
    }

    gui::Panel Pane;
    gui::Bevel LeftLine, BottomLine;
    gui::CheckBox chkActive;
    gui::Label lblShiftKey;
    gui::CheckBox ShiftKeyAlt, ShiftKeyShift, ShiftKeyCtrl, ShiftKeyWin;
    gui::Label lblKey;
    gui::KeyField edtKey;
    gui::Label lblCombination; // whether the combination can be had
    gui::Label lblAction;
    gui::ComboBox cbAction;
    gui::Label lblParameters;
    gui::Edit edtParameters;
    gui::Button btnParameters;
    gui::Label lblAdditionalParameters;
    gui::Edit edtAdditionalParameters;
    gui::Label lblKeystrokeRules;
    gui::Label lblDelay;
    gui::Edit edtDelay;
    gui::Label lblSeconds;
    gui::CheckBox chkPointer;
    gui::CheckBox chkSameArea;
    gui::Button btnSave, btnCancel;
    gui::OpenDialog OpenParameterDialog;
    ParameterControls parameters;
};

HotkeyRow::HotkeyRow(gui::Container& parent, HotkeyService& hotkeys)
    : gui::Panel(parent, {.width = DesignWidth, .height = RowHeight}), btnEdit(*this, RowButton(23, "&Edit")),
      btnDelete(*this, RowButton(50, "&Delete")), hotkeys_(hotkeys), document_(hotkeys.Document()) {
    OnPaint = [this](HDC dc, const RECT& client) { PaintView(dc, client); };
    btnEdit.OnClick = [this] { OnEditClick(); };
    btnDelete.OnClick = [this] { OnDeleteClick(); };
    NameButtons({&btnEdit, &btnDelete});
    SetEditing(false);
}

// The focus walks the buttons: a screen reader says whose they are.
void HotkeyRow::NameButtons(std::initializer_list<gui::Button*> buttons) {
    for (gui::Button* button : buttons)
        button->SetAccessibleName([this, button] { return button->PlainCaption() + ", " + Caption(); });
}

HotkeyRow::~HotkeyRow() = default;

void HotkeyRow::MakeEditPanel() {
    if (editor_)
        return;
    editor_ = std::make_unique<EditPanel>(*this);
    EditPanel& e = *editor_;
    e.chkActive.OnClick = [this] { OnActiveClick(); };
    e.cbAction.OnSelect = [this] { OnActionSelect(); };
    e.btnParameters.OnClick = [this] { OnParametersClick(); };
    e.btnSave.OnClick = [this] { OnSaveClick(); };
    e.btnCancel.OnClick = [this] { OnCancelClick(); };
    NameButtons({&e.btnSave, &e.btnCancel});
    e.edtKey.OnChange = [this] { UpdateCombinationStatus(); };
    // Screen readers hear the whole combination, with the ticked modifiers.
    e.edtKey.Combination = [this] {
        return GetKey() ? hotkeys_.HotkeyText(GetKey(), static_cast<std::uint16_t>(GetShift())) : "";
    };
    for (gui::CheckBox* box : {&e.ShiftKeyAlt, &e.ShiftKeyShift, &e.ShiftKeyCtrl, &e.ShiftKeyWin})
        box->OnClick = [this] { UpdateCombinationStatus(); };
    LoadIntoControls();
}

// Save and Cancel take the place of Edit and Delete: what is shown comes
// first, so that the focus never lands on a hidden button.
void HotkeyRow::SetEditing(bool editing) {
    editing_ = editing;
    if (editing)
        MakeEditPanel();
    std::vector<gui::Control*> view = {&btnEdit, &btnDelete}, edit;
    if (editor_)
        edit = {&editor_->Pane, &editor_->btnSave, &editor_->btnCancel};
    for (gui::Control* control : editing ? edit : view)
        control->SetVisible(true);
    for (gui::Control* control : editing ? view : edit)
        control->SetVisible(false);
    ::InvalidateRect(Handle(), nullptr, TRUE);
}

void HotkeyRow::ShowEntry(std::uint32_t entryId) {
    if (entryId != entryId_) {
        entryId_ = entryId;
        if (editing_)
            SetEditing(false);
    }
    LoadFromDefinition();
}

void HotkeyRow::LoadFromDefinition() {
    if (editing_)
        return;
    LoadIntoControls();
}

void HotkeyRow::LoadIntoControls() {
    const THotkeyEntry* entry = document_.Find(entryId_);
    if (!entry)
        return; // deleted: the settings window takes the row away
    const THotKeyData& d = entry->Definition;
    SetActive(d.Active);
    SetShift(d.Shift);
    SetKey(d.Key);
    SetFunc(d.Func);
    SetParams(d.Params);
    SetParams2(d.Params2);
    SetCaptureOptions(d.Capture);
    UpdateSummary();
}

THotKeyData HotkeyRow::Definition() const {
    THotKeyData d{GetActive(), GetKey(), GetShift(), GetFunc(), ParamsText(), Params2Text()};
    d.Capture = GetCaptureOptions();
    return d;
}

std::string HotkeyRow::CombinationText() const {
    const THotkeyEntry* entry = document_.Find(entryId_);
    const THotKeyData& d = entry ? entry->Definition : shown_;
    return hotkeys_.HotkeyText(static_cast<std::uint16_t>(d.Key), static_cast<std::uint16_t>(d.Shift));
}

bool HotkeyRow::HasChanges() const {
    const THotkeyEntry* entry = document_.Find(entryId_);
    return editing_ && entry && Definition() != entry->Definition;
}

// The drawn view, said in words for screen readers: the row's name. Line
// breaks read as spaces, as the tray panel shows them.
void HotkeyRow::UpdateSummary() {
    std::string summary = hotkeys_.HotkeyText(static_cast<std::uint16_t>(shown_.Key),
                                              static_cast<std::uint16_t>(shown_.Shift)) +
                          ", " + ActionDisplayName(shown_);
    if (ActionHasParams(shown_.Func) && !shown_.Params.empty())
        summary += ", " + LineBreaksAsSpaces(shown_.Params);
    if (ActionHasParams2(shown_.Func) && !shown_.Params2.empty())
        summary += ", " + LineBreaksAsSpaces(shown_.Params2);
    if (const std::string options = CaptureOptionsText(ShownCaptureOptions()); !options.empty())
        summary += ", " + options;
    summary += shown_.Active ? ", active" : ", inactive";
    if (!faultReason_.empty())
        summary += ", not registered: " + faultReason_;
    SetCaption(summary);
}

void HotkeyRow::SetRegistrationFault(const std::string& reason) {
    if (reason == faultReason_)
        return;
    faultReason_ = reason;
    if (reason.empty())
        faultTip_.reset();
    else if (faultTip_)
        faultTip_->SetText(reason);
    else
        faultTip_ = std::make_unique<gui::ToolTip>(Handle(), FaultMarkRect(), reason);
    UpdateSummary();
    ::InvalidateRect(Handle(), nullptr, TRUE);
}

RECT HotkeyRow::FaultMarkRect() const {
    return {Scale(FieldsLeft + MarkLeft), Scale(MarkTop), Scale(FieldsLeft + MarkLeft + MarkWidth),
            Scale(MarkTop + MarkHeight)};
}

void HotkeyRow::DpiChanged() {
    gui::Panel::DpiChanged();
    if (faultTip_)
        faultTip_->SetArea(FaultMarkRect());
}

// The system's warning sign and "Not registered" in red.
void HotkeyRow::PaintFaultMark(HDC dc) {
    const RECT mark = FaultMarkRect();
    const int icon = Scale(MarkIcon);
    ::DrawIconEx(dc, mark.left, mark.top, ::LoadIconW(nullptr, ResourceId(IDI_WARNING)), icon, icon, 0,
                 nullptr, DI_NORMAL);
    RECT text = {mark.left + icon + Scale(4), mark.top + Scale(2), mark.right, mark.bottom};
    gui::ScopedSelect font(dc, gui::Font({.style = gui::FontBold}, Dpi()));
    ::SetTextColor(dc, gui::ContrastColor(FailedColor, COLOR_BTNTEXT));
    ::DrawTextW(dc, L"Not registered", -1, &text, DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
}

void HotkeyRow::SetActive(bool active) {
    shown_.Active = active;
    if (editor_) {
        editor_->chkActive.SetChecked(active);
        for (gui::Control* control : editor_->Greyed())
            control->SetEnabled(active);
        UpdateParameterControls(editor_->parameters, GetFunc());
    }
    ::InvalidateRect(Handle(), nullptr, TRUE);
}

bool HotkeyRow::GetActive() const {
    return editor_ ? editor_->chkActive.Checked() : shown_.Active;
}

void HotkeyRow::SetShift(std::int32_t shift) {
    shown_.Shift = shift;
    if (editor_) {
        editor_->ShiftKeyAlt.SetChecked(shift & ModifierAlt);
        editor_->ShiftKeyCtrl.SetChecked(shift & ModifierCtrl);
        editor_->ShiftKeyShift.SetChecked(shift & ModifierShift);
        editor_->ShiftKeyWin.SetChecked(shift & ModifierWin);
        shown_.Shift = GetShift(); // the marks show the boxes
    }
    ::InvalidateRect(Handle(), nullptr, TRUE);
}

std::int32_t HotkeyRow::GetShift() const {
    if (!editor_)
        return shown_.Shift;
    return (editor_->ShiftKeyAlt.Checked() ? ModifierAlt : 0) |
           (editor_->ShiftKeyCtrl.Checked() ? ModifierCtrl : 0) |
           (editor_->ShiftKeyShift.Checked() ? ModifierShift : 0) |
           (editor_->ShiftKeyWin.Checked() ? ModifierWin : 0);
}

void HotkeyRow::SetKey(std::int32_t key) {
    shown_.Key = key;
    if (editor_)
        editor_->edtKey.SetKey(static_cast<std::uint16_t>(key));
    keyName_ = key ? hotkeys_.HotkeyText(static_cast<std::uint16_t>(key), 0) : std::string();
    ::InvalidateRect(Handle(), nullptr, TRUE);
}

std::uint16_t HotkeyRow::GetKey() const {
    return editor_ ? editor_->edtKey.Key() : static_cast<std::uint16_t>(shown_.Key);
}

void HotkeyRow::SetFunc(THotkeyAction func) {
    shown_.Func = THotkeyAction::None;
    if (editor_) {
        gui::ComboBox& combo = editor_->cbAction;
        combo.SetItemIndex(-1);
        for (int i = 0; i < combo.Count(); ++i)
            if (combo.ItemData(i) == static_cast<std::intptr_t>(func)) {
                combo.SetItemIndex(i);
                break;
            }
        UpdateParameterControls(editor_->parameters, GetFunc());
        shown_.Func = GetFunc();
    } else {
        for (THotkeyAction a : ActionComboOrder)
            if (a == func)
                shown_.Func = func;
    }
    ::InvalidateRect(Handle(), nullptr, TRUE);
}

THotkeyAction HotkeyRow::GetFunc() const {
    if (!editor_)
        return shown_.Func;
    const int index = editor_->cbAction.ItemIndex();
    return index < 0 ? THotkeyAction::None : static_cast<THotkeyAction>(editor_->cbAction.ItemData(index));
}

void HotkeyRow::SetParams(const std::string& params) {
    shown_.Params = params;
    if (editor_)
        editor_->edtParameters.SetText(params);
    ::InvalidateRect(Handle(), nullptr, TRUE);
}

void HotkeyRow::SetParams2(const std::string& params2) {
    shown_.Params2 = params2;
    if (editor_)
        editor_->edtAdditionalParameters.SetText(params2);
    ::InvalidateRect(Handle(), nullptr, TRUE);
}

void HotkeyRow::SetCaptureOptions(const TCaptureOptions& options) {
    shown_.Capture = options;
    if (editor_) {
        editor_->edtDelay.SetText(options.Delay > 0 ? std::to_string(options.Delay) : "");
        editor_->chkPointer.SetChecked(options.Cursor);
        editor_->chkSameArea.SetChecked(options.SameArea);
    }
    ::InvalidateRect(Handle(), nullptr, TRUE);
}

// The options the chosen action takes from the boxes; the others as the
// stored hotkey has them.
TCaptureOptions HotkeyRow::GetCaptureOptions() const {
    const THotkeyEntry* entry = document_.Find(entryId_);
    const TCaptureOptions& stored = entry ? entry->Definition.Capture : shown_.Capture;
    if (!editor_)
        return stored;
    TCaptureOptions shown;
    shown.Delay = DelayFromInput(editor_->edtDelay.Text()).value_or(0);
    shown.Cursor = editor_->chkPointer.Checked();
    shown.SameArea = editor_->chkSameArea.Checked();
    return CaptureOptionsOf(GetFunc(), shown, stored);
}

TCaptureOptions HotkeyRow::ShownCaptureOptions() const {
    TCaptureOptions options;
    if (ActionHasCaptureOptions(shown_.Func)) {
        options.Delay = shown_.Capture.Delay;
        options.Cursor = shown_.Capture.Cursor;
    }
    if (shown_.Func == THotkeyAction::CaptureRegion)
        options.SameArea = shown_.Capture.SameArea;
    return options;
}

std::string HotkeyRow::ParamsText() const {
    return StoredParameter(editor_ ? editor_->edtParameters.Text() : shown_.Params);
}

std::string HotkeyRow::Params2Text() const {
    return StoredParameter(editor_ ? editor_->edtAdditionalParameters.Text() : shown_.Params2);
}

void HotkeyRow::UpdateCombinationStatus() {
    combinationStatus_ =
        ShowCombinationStatus(hotkeys_, editor_->lblCombination, GetKey(), GetShift(), entryId_);
}

void HotkeyRow::OnEditClick() {
    if (!editing_) {
        SetEditing(true);
        UpdateCombinationStatus();
    }
    editor_->chkActive.SetFocus();
}

// The question names the hotkey it is about, on a line of its own.
void HotkeyRow::OnDeleteClick() {
    if (!OnDelete)
        return;
    if (gui::MessageDlg("Are you sure you want to delete this global hotkey?\n\n" + CombinationText() + ", " +
                            ActionDisplayName(shown_.Func),
                        gui::DialogKind::Confirmation, MB_YESNO) == IDYES)
        OnDelete(*this);
}

bool HotkeyRow::ValidateInput() {
    if (const auto refusal = RefusedCombination(GetKey(), GetShift()); refusal != CombinationRefusal::None) {
        gui::MessageDlg(CombinationRefusalText(refusal), gui::DialogKind::Error, MB_OK);
        return false;
    }
    if (document_.ActiveWithCombination(GetKey(), GetShift(), entryId_)) {
        gui::MessageDlg("The selected hotkey is already in use.", gui::DialogKind::Error, MB_OK);
        return false;
    }
    if (GetFunc() == THotkeyAction::None) {
        gui::MessageDlg("You must select an action for your hotkey.", gui::DialogKind::Error, MB_OK);
        return false;
    }
    if (ActionHasCaptureOptions(GetFunc()) && !DelayFromInput(editor_->edtDelay.Text())) {
        gui::MessageDlg(DelayInputError, gui::DialogKind::Error, MB_OK);
        return false;
    }
    return true;
}

// When the input is refused or the owner's save fails (shown), nothing was
// stored and the row stays in edit mode with the user's input, to try again.
bool HotkeyRow::Save() {
    if (!OnSave || !ValidateInput())
        return false;
    if (GetActive())
        WarnIfHeldElsewhere(hotkeys_, combinationStatus_, GetKey(), GetShift());
    try {
        OnSave(*this);
    } catch (...) {
        gui::App().HandleException();
        return false;
    }
    SetEditing(false);
    LoadFromDefinition();
    return true;
}

void HotkeyRow::OnSaveClick() {
    if (Save())
        btnEdit.SetFocus();
}

void HotkeyRow::Drop() {
    SetEditing(false);
    LoadFromDefinition();
}

void HotkeyRow::OnCancelClick() {
    Drop();
    btnEdit.SetFocus();
}

// A click on the row picks it (Enter then edits it), a double click edits it.
bool HotkeyRow::ControlMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if ((msg == WM_LBUTTONDOWN || msg == WM_LBUTTONDBLCLK) && !editing_) {
        if (msg == WM_LBUTTONDBLCLK)
            OnEditClick();
        else
            btnEdit.SetFocus();
        result = 0;
        return true;
    }
    return gui::Panel::ControlMessage(msg, wParam, lParam, result);
}

void HotkeyRow::OnActiveClick() {
    SetActive(editor_->chkActive.Checked());
}

void HotkeyRow::OnActionSelect() {
    UpdateParameterControls(editor_->parameters, GetFunc());
}

void HotkeyRow::OnParametersClick() {
    EditParameter(editor_->edtParameters, GetFunc(), RootForm()->Handle(), editor_->OpenParameterDialog);
}

// The view: read-only texts and imitated check boxes, drawn on the
// row, and the line along its bottom.
void HotkeyRow::PaintView(HDC dc, const RECT& client) {
    ::FillRect(dc, &client, Brush());
    RECT line = {client.left, client.bottom - Scale(2), client.right, client.bottom};
    ::DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
    if (editing_)
        return;
    gui::ScopedSelect font(dc, gui::Font({}, Dpi()));
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ::GetSysColor(COLOR_BTNTEXT));
    const int stretch = (client.right - client.left) - Scale(DesignWidth);
    auto text = [&](int left, int top, int width, const std::string& s) {
        RECT r = {Scale(FieldsLeft + left), Scale(top),
                  Scale(FieldsLeft + left + width) + (width > 200 ? stretch : 0), Scale(top + 13)};
        ::DrawTextW(dc, Wide(s).c_str(), -1, &r, DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    };
    // The check boxes as the system draws disabled ones: the row is read only.
    auto box = [&](int left, int top, bool checked, const char* caption) {
        const int x = Scale(FieldsLeft + left), y = Scale(top), size = Scale(13);
        gui::DrawCheckBox(Handle(), dc, {x, y, x + size, y + size}, checked, false);
        text(left + 17, top, 45, caption);
    };
    box(6, 25, shown_.Active, "Active");
    text(76, 8, 120, "Shift key:");
    box(76, 25, shown_.Shift & ModifierAlt, "ALT");
    box(76, 42, shown_.Shift & ModifierCtrl, "CTRL");
    box(141, 25, shown_.Shift & ModifierShift, "SHIFT");
    box(141, 42, shown_.Shift & ModifierWin, "WIN");
    text(206, 8, 83, "Key:");
    text(206, 24, 83, keyName_);
    text(305, 8, ActionWidth, "Action:");
    text(305, 24, ActionWidth, ActionDisplayName(shown_));
    const int parametersWidth = FieldsWidth - 3 - ParametersLeft; // stretches (over 200)
    if (ActionHasParams(shown_.Func)) {
        text(ParametersLeft, 8, parametersWidth, ParameterLabel(shown_.Func) + ":");
        text(ParametersLeft, 24, parametersWidth, LineBreaksAsSpaces(shown_.Params));
    }
    if (ActionHasParams2(shown_.Func)) {
        text(ParametersLeft, 48, parametersWidth, Parameter2Label() + ":");
        text(ParametersLeft, 64, parametersWidth, LineBreaksAsSpaces(shown_.Params2));
    }
    // The options' boxes as the system draws disabled ones.
    auto option = [&](int top, bool checked, const char* caption) {
        const int x = Scale(FieldsLeft + ParametersLeft), y = Scale(top), size = Scale(13);
        gui::DrawCheckBox(Handle(), dc, {x, y, x + size, y + size}, checked, false);
        text(ParametersLeft + 17, top, parametersWidth - 17, caption);
    };
    if (ActionHasCaptureOptions(shown_.Func)) {
        text(ParametersLeft, 8, parametersWidth, "Delay:");
        text(ParametersLeft, 24, parametersWidth,
             shown_.Capture.Delay > 0 ? SecondsText(shown_.Capture.Delay) : "None");
        option(50, shown_.Capture.Cursor, PointerCaption);
    }
    if (shown_.Func == THotkeyAction::CaptureRegion)
        option(68, shown_.Capture.SameArea, SameAreaCaption);
    if (!faultReason_.empty())
        PaintFaultMark(dc);
}

} // namespace corvinade
