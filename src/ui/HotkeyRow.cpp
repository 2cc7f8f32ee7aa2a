// The hotkey row; see HotkeyRow.h.
#include "ui/HotkeyRow.h"

#include "app/HotkeyService.h"
#include "core/Errors.h"
#include "core/Wide_win.h"
#include "gui/Contrast.h"
#include "gui/Dialogs.h"
#include "gui/Form.h"
#include "gui/Handles.h"

namespace corvinade {

namespace {

constexpr int FieldsLeft = 66;   // the Edit and Delete buttons are left of the fields
constexpr int FieldsWidth = 748; // as designed; it stretches with the row
constexpr int EditHeight = 97, SaveWidth = 82;
// The mark of a hotkey that is not registered: under the modifiers and the
// key, clear of the action's column.
constexpr int MarkLeft = 76, MarkTop = 62, MarkWidth = 220, MarkHeight = 16, MarkIcon = 16;
// The action list as wide as its longest name; the parameters after it.
constexpr int ActionWidth = 182, ParametersLeft = 497, ParametersWidth = 136;
const COLORREF FailedColor = RGB(192, 0, 0), BoxColor = RGB(255, 255, 255), MarkColor = RGB(0, 0, 0);

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

} // namespace

// The edit panel, in its tab order; each label comes just before
// the control it names, as screen readers expect.
struct HotkeyRow::EditPanel {
    explicit EditPanel(HotkeyRow& row)
        : Pane(row, {.left = FieldsLeft,
                     .width = FieldsWidth,
                     .height = EditHeight,
                     .anchors = akLeft | akTop | akRight}),
          LeftLine(Pane, {.width = 2, .height = EditHeight, .anchors = akLeft | akTop | akBottom}),
          BottomLine(Pane, {.left = 2, // after LeftLine
                            .top = EditHeight - 2,
                            .width = FieldsWidth - 2,
                            .height = 2,
                            .anchors = akLeft | akTop | akRight}),
          chkActive(Pane, Box(6, 23, "Active")), lblShiftKey(Pane, At(76, 6, "Shift key:")),
          ShiftKeyAlt(Pane, Box(76, 23, "ALT")), ShiftKeyShift(Pane, Box(141, 23, "SHIFT")),
          ShiftKeyCtrl(Pane, Box(76, 40, "CTRL")), ShiftKeyWin(Pane, Box(141, 40, "WIN")),
          lblKey(Pane, At(206, 6, "Key:")), edtKey(Pane, {.left = 206, .top = 23, .width = 83, .height = 19}),
          lblCombination(Pane, {.left = 206, .top = 46, .width = 240, .height = 42},
                         {.wordWrap = true, .showAccelChar = false}),
          lblAction(Pane, At(305, 6, "Action:")),
          cbAction(Pane, {.left = 305, .top = 21, .width = ActionWidth}),
          lblParameters(Pane, At(ParametersLeft, 6, "Parameters:")),
          edtParameters(Pane, {.left = ParametersLeft,
                               .top = 21,
                               .width = ParametersWidth,
                               .height = 21,
                               .anchors = akLeft | akTop | akRight}),
          btnParameters(Pane, {.left = 639,
                               .top = 21,
                               .width = 21,
                               .height = 21,
                               .caption = "...",
                               .anchors = akTop | akRight}),
          lblAdditionalParameters(Pane, At(ParametersLeft, 44, "Additional parameters:")),
          edtAdditionalParameters(Pane, {.left = ParametersLeft,
                                         .top = 61,
                                         .width = ParametersWidth,
                                         .height = 21,
                                         .anchors = akLeft | akTop | akRight}),
          // Above the bottom line, which runs on under it.
          pnlSaveCancel(Pane, {.left = FieldsWidth - SaveWidth,
                               .width = SaveWidth,
                               .height = EditHeight - 2,
                               .anchors = akTop | akRight}),
          btnSave(pnlSaveCancel, {.left = 0, .top = 19, .width = 75, .height = 25, .caption = "Save"}),
          btnCancel(pnlSaveCancel, {.left = 0, .top = 49, .width = 75, .height = 25, .caption = "Cancel"}) {
        Pane.SetSystemColor(COLOR_WINDOW);
        // Enter in the panel saves the row, Esc cancels its changes.
        Pane.SetDefaultButton(&btnSave);
        Pane.SetCancelButton(&btnCancel);
        edtKey.KeyName = [&hotkeys = row.hotkeys_](std::uint16_t key) { return hotkeys.HotkeyText(key, 0); };
        edtKey.OnModifiers = [this](unsigned modifiers) {
            ShiftKeyAlt.SetChecked(modifiers & MOD_ALT);
            ShiftKeyCtrl.SetChecked(modifiers & MOD_CONTROL);
            ShiftKeyShift.SetChecked(modifiers & MOD_SHIFT);
            ShiftKeyWin.SetChecked(modifiers & MOD_WIN);
        };
        OpenParameterDialog.Filter = "*.*|*.*";
        FillActionCombo(cbAction);
        parameters = {{&lblParameters, &edtParameters},
                      {&btnParameters},
                      {&lblAdditionalParameters, &edtAdditionalParameters}};
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
                &edtAdditionalParameters};
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
    gui::Panel pnlSaveCancel;
    gui::Button btnSave, btnCancel;
    gui::OpenDialog OpenParameterDialog;
    ParameterControls parameters;
};

HotkeyRow::HotkeyRow(gui::Container& parent, HotkeyService& hotkeys)
    : gui::Panel(parent, {.width = DesignWidth, .height = RowHeight}),
      btnEdit(*this, {.left = 5, .top = 23, .width = 55, .height = 25, .caption = "&Edit"}),
      btnDelete(*this, {.left = 5, .top = 50, .width = 55, .height = 25, .caption = "&Delete"}),
      hotkeys_(hotkeys), document_(hotkeys.Document()) {
    OnPaint = [this](HDC dc, const RECT& client) { PaintView(dc, client); };
    btnEdit.OnClick = [this] { OnEditClick(); };
    btnDelete.OnClick = [this] { OnDeleteClick(); };
    // The focus walks the buttons: a screen reader says whose they are.
    for (gui::Button* button : {&btnEdit, &btnDelete})
        button->SetAccessibleName([this, button] { return button->PlainCaption() + ", " + Caption(); });
    SetEditing(false);
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
    e.edtKey.OnChange = [this] { UpdateCombinationStatus(); };
    for (gui::CheckBox* box : {&e.ShiftKeyAlt, &e.ShiftKeyShift, &e.ShiftKeyCtrl, &e.ShiftKeyWin})
        box->OnClick = [this] { UpdateCombinationStatus(); };
    LoadIntoControls();
}

void HotkeyRow::SetEditing(bool editing) {
    editing_ = editing;
    if (editing)
        MakeEditPanel();
    btnEdit.SetEnabled(!editing);
    btnDelete.SetEnabled(!editing);
    if (editor_)
        editor_->Pane.SetVisible(editing);
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
    UpdateSummary();
}

THotKeyData HotkeyRow::Definition() const {
    return {GetActive(), GetKey(), GetShift(), GetFunc(), ParamsText(), Params2Text()};
}

// The drawn view, said in words for screen readers: the row's name.
void HotkeyRow::UpdateSummary() {
    std::string summary = hotkeys_.HotkeyText(static_cast<std::uint16_t>(shown_.Key),
                                              static_cast<std::uint16_t>(shown_.Shift)) +
                          ", " + ActionDisplayName(shown_.Func);
    if (ActionHasParams(shown_.Func) && !shown_.Params.empty())
        summary += ", " + shown_.Params;
    if (ActionHasParams2(shown_.Func) && !shown_.Params2.empty())
        summary += ", " + shown_.Params2;
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

void HotkeyRow::OnDeleteClick() {
    if (!OnDelete)
        return;
    if (gui::MessageDlg("Are you sure you want to delete this global hotkey?", gui::DialogKind::Confirmation,
                        MB_YESNO) == IDYES)
        OnDelete(*this);
}

bool HotkeyRow::ValidateInput() {
    if (document_.ActiveWithCombination(GetKey(), GetShift(), entryId_)) {
        gui::MessageDlg("The selected hotkey is already in use.", gui::DialogKind::Error, MB_OK);
        return false;
    }
    if (GetFunc() == THotkeyAction::None) {
        gui::MessageDlg("You must select an action for your hotkey.", gui::DialogKind::Error, MB_OK);
        return false;
    }
    return true;
}

// Save. When the owner's save fails, nothing was stored and the row stays
// in edit mode with the user's input, to try again.
void HotkeyRow::OnSaveClick() {
    if (!OnSave || !ValidateInput())
        return;
    if (GetActive())
        WarnIfHeldElsewhere(hotkeys_, combinationStatus_, GetKey(), GetShift());
    OnSave(*this);
    SetEditing(false);
    LoadFromDefinition();
    btnEdit.SetFocus();
}

void HotkeyRow::OnCancelClick() {
    SetEditing(false);
    LoadFromDefinition();
    btnEdit.SetFocus();
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
    // The imitated check boxes: a white box, black frame and mark, or the
    // system's window colours in high contrast.
    const COLORREF ink = gui::ContrastColor(MarkColor, COLOR_WINDOWTEXT);
    gui::GdiObject<HPEN> pen(::CreatePen(PS_SOLID, 1, ink));
    gui::GdiObject<HBRUSH> boxBrush(::CreateSolidBrush(gui::ContrastColor(BoxColor, COLOR_WINDOW)));
    gui::GdiObject<HBRUSH> markBrush(::CreateSolidBrush(ink));
    auto box = [&](int left, int top, bool checked, const char* caption) {
        const int x = Scale(FieldsLeft + left), y = Scale(top), size = Scale(13);
        gui::ScopedSelect selectPen(dc, pen.Get());
        gui::ScopedSelect selectBrush(dc, boxBrush.Get());
        ::Rectangle(dc, x, y, x + size, y + size);
        if (checked) {
            RECT mark = {x + Scale(3), y + Scale(3), x + Scale(3) + Scale(7), y + Scale(3) + Scale(7)};
            ::FillRect(dc, &mark, markBrush.Get());
        }
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
    text(305, 24, ActionWidth, ActionDisplayName(shown_.Func));
    const int parametersWidth = FieldsWidth - 3 - ParametersLeft; // stretches (over 200)
    if (ActionHasParams(shown_.Func)) {
        text(ParametersLeft, 8, parametersWidth, "Parameters:");
        text(ParametersLeft, 24, parametersWidth, shown_.Params);
    }
    if (ActionHasParams2(shown_.Func)) {
        text(ParametersLeft, 48, parametersWidth, "Additional parameters:");
        text(ParametersLeft, 64, parametersWidth, shown_.Params2);
    }
    if (!faultReason_.empty())
        PaintFaultMark(dc);
}

} // namespace corvinade
