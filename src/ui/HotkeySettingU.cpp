// The hotkey row; see HotkeySettingU.h.
#include "ui/HotkeySettingU.h"

#include "app/datau.h"
#include "core/Errors.h"
#include "core/Wide_win.h"
#include "gui/Dialogs.h"
#include "gui/Form.h"
#include "gui/Handles.h"

namespace corvinade {

namespace {

constexpr int Panel1Left = 66;   // the buttons' strip (Panel2) is left of it
constexpr int Panel1Width = 748; // as designed; it stretches with the row
constexpr int EditHeight = 97, SaveWidth = 82;
// The mark of a hotkey that is not registered: under the key's name.
constexpr int MarkLeft = 206, MarkTop = 40, MarkWidth = 110, MarkHeight = 16, MarkIcon = 16;
const COLORREF FailedColor = RGB(192, 0, 0);

using gui::akBottom;
using gui::akLeft;
using gui::akRight;
using gui::akTop;

gui::ControlArgs At(int left, int top, const std::string& caption = {}) {
    return {.left = left, .top = top, .caption = caption};
}

} // namespace

// The edit panel (Panel5), in its tab order; each label comes just before
// the control it names, as screen readers expect.
struct THotkeySetting::EditPanel {
    explicit EditPanel(THotkeySetting& row)
        : Panel5(row, {.left = Panel1Left,
                       .width = Panel1Width,
                       .height = EditHeight,
                       .anchors = akLeft | akTop | akRight}),
          Bevel2(Panel5, {.width = 2, .height = EditHeight, .anchors = akLeft | akTop | akBottom}),
          Bevel3(Panel5, {.top = EditHeight - 2,
                          .width = Panel1Width,
                          .height = 2,
                          .anchors = akLeft | akTop | akRight}),
          ckbActive(Panel5, At(6, 23, "Active")), Label6(Panel5, At(76, 6, "Shift key:")),
          ShiftKeyAlt(Panel5, At(76, 23, "ALT")), ShiftKeyShift(Panel5, At(141, 23, "SHIFT")),
          ShiftKeyCtrl(Panel5, At(76, 40, "CTRL")), ShiftKeyWin(Panel5, At(141, 40, "WIN")),
          Label5(Panel5, At(206, 6, "Key:")),
          HotKey1(Panel5, {.left = 206, .top = 23, .width = 83, .height = 19}),
          Label7(Panel5, At(305, 6, "Action:")), cbAction(Panel5, {.left = 305, .top = 21, .width = 137}),
          Label8(Panel5, At(456, 6, "Parameters:")),
          edtParameters(
              Panel5,
              {.left = 456, .top = 21, .width = 177, .height = 21, .anchors = akLeft | akTop | akRight}),
          btnParameters(Panel5, {.left = 639,
                                 .top = 21,
                                 .width = 21,
                                 .height = 21,
                                 .caption = "...",
                                 .anchors = akTop | akRight}),
          lblAdditionalParameters(Panel5, At(456, 48, "Additional parameters:")),
          edtAdditionalParameters(
              Panel5,
              {.left = 456, .top = 61, .width = 177, .height = 21, .anchors = akLeft | akTop | akRight}),
          Panel6(Panel5, {.width = SaveWidth, .height = EditHeight, .align = gui::Align::Right}),
          Button2(Panel6, {.left = 0, .top = 19, .width = 75, .height = 25, .caption = "Save"}),
          Button3(Panel6, {.left = 0, .top = 49, .width = 75, .height = 25, .caption = "Cancel"}) {
        Panel5.SetSystemColor(COLOR_WINDOW);
        // Enter in the panel saves the row, Esc cancels its changes.
        Panel5.SetDefaultButton(&Button2);
        Panel5.SetCancelButton(&Button3);
        HotKey1.KeyName = [](std::uint16_t key) { return Data->HotkeyText(key, 0); };
        OpenDialog1.Filter = "*.*|*.*";
        FillActionCombo(cbAction);
        parameters = {{&Label8, &edtParameters},
                      {&btnParameters},
                      {&lblAdditionalParameters, &edtAdditionalParameters}};
    }

    // The controls Active greys out: all but the Active box and Save/Cancel.
    std::vector<gui::Control*> Greyed() {
        return {&Label6,
                &ShiftKeyAlt,
                &ShiftKeyShift,
                &ShiftKeyCtrl,
                &ShiftKeyWin,
                &Label5,
                &HotKey1,
                &Label7,
                &cbAction,
                &Label8,
                &edtParameters,
                &btnParameters,
                &lblAdditionalParameters,
                &edtAdditionalParameters};
    }

    gui::Panel Panel5;
    gui::Bevel Bevel2, Bevel3;
    gui::CheckBox ckbActive;
    gui::Label Label6;
    gui::CheckBox ShiftKeyAlt, ShiftKeyShift, ShiftKeyCtrl, ShiftKeyWin;
    gui::Label Label5;
    gui::KeyField HotKey1;
    gui::Label Label7;
    gui::ComboBox cbAction;
    gui::Label Label8;
    gui::Edit edtParameters;
    gui::Button btnParameters;
    gui::Label lblAdditionalParameters;
    gui::Edit edtAdditionalParameters;
    gui::Panel Panel6;
    gui::Button Button2, Button3;
    gui::OpenDialog OpenDialog1;
    ParameterControls parameters;
};

THotkeySetting::THotkeySetting(gui::Container& parent, const THotkeyDocument& document, std::uint32_t entryId)
    : gui::Panel(parent, {.width = DesignWidth, .height = RowHeight, .align = gui::Align::Top}),
      EntryId(entryId), btnEdit(*this, {.left = 5, .top = 23, .width = 55, .height = 25, .caption = "Edit"}),
      btnDelete(*this, {.left = 5, .top = 50, .width = 55, .height = 25, .caption = "Delete"}),
      document_(document) {
    OnPaint = [this](HDC dc, const RECT& client) { PaintView(dc, client); };
    btnEdit.OnClick = [this] { btnEditClick(); };
    btnDelete.OnClick = [this] { btnDeleteClick(); };
    SetEditing(false);
    LoadFromDefinition();
}

THotkeySetting::~THotkeySetting() = default;

void THotkeySetting::MakeEditPanel() {
    if (editor_)
        return;
    editor_ = std::make_unique<EditPanel>(*this);
    EditPanel& e = *editor_;
    e.ckbActive.OnClick = [this] { ckbActiveClick(); };
    e.cbAction.OnSelect = [this] { comboboxActionSelect(); };
    e.btnParameters.OnClick = [this] { buttonParametersClick(); };
    e.Button2.OnClick = [this] { Button2Click(); };
    e.Button3.OnClick = [this] { Button3Click(); };
    LoadIntoControls();
}

void THotkeySetting::SetEditing(bool editing) {
    editing_ = editing;
    if (editing)
        MakeEditPanel();
    btnEdit.SetEnabled(!editing);
    btnDelete.SetEnabled(!editing);
    if (editor_)
        editor_->Panel5.SetVisible(editing);
    ::InvalidateRect(Handle(), nullptr, TRUE);
}

void THotkeySetting::LoadFromDefinition() {
    if (editing_)
        return;
    LoadIntoControls();
}

void THotkeySetting::LoadIntoControls() {
    const THotkeyEntry* entry = document_.Find(EntryId);
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

THotKeyData THotkeySetting::Definition() const {
    return {GetActive(), GetKey(), GetShift(), GetFunc(), ParamsText(), Params2Text()};
}

// The drawn view, said in words for screen readers: the row's name.
void THotkeySetting::UpdateSummary() {
    std::string summary =
        Data->HotkeyText(static_cast<std::uint16_t>(shown_.Key), static_cast<std::uint16_t>(shown_.Shift)) +
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

void THotkeySetting::SetRegistrationFault(const std::string& reason) {
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

RECT THotkeySetting::FaultMarkRect() const {
    return {Scale(Panel1Left + MarkLeft), Scale(MarkTop), Scale(Panel1Left + MarkLeft + MarkWidth),
            Scale(MarkTop + MarkHeight)};
}

void THotkeySetting::DpiChanged() {
    gui::Panel::DpiChanged();
    if (faultTip_)
        faultTip_->SetArea(FaultMarkRect());
}

// The system's warning sign and "Not registered" in red.
void THotkeySetting::PaintFaultMark(HDC dc) {
    const RECT mark = FaultMarkRect();
    const int icon = Scale(MarkIcon);
    ::DrawIconEx(dc, mark.left, mark.top, ::LoadIconW(nullptr, ResourceId(IDI_WARNING)), icon, icon, 0,
                 nullptr, DI_NORMAL);
    RECT text = {mark.left + icon + Scale(4), mark.top + Scale(2), mark.right, mark.bottom};
    gui::ScopedSelect font(dc, gui::Font({.style = gui::FontBold}, Dpi()));
    ::SetTextColor(dc, FailedColor);
    ::DrawTextW(dc, L"Not registered", -1, &text, DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
}

void THotkeySetting::SetActive(bool active) {
    shown_.Active = active;
    if (editor_) {
        editor_->ckbActive.SetChecked(active);
        for (gui::Control* control : editor_->Greyed())
            control->SetEnabled(active);
        UpdateParameterControls(editor_->parameters, GetFunc());
    }
    ::InvalidateRect(Handle(), nullptr, TRUE);
}

bool THotkeySetting::GetActive() const {
    return editor_ ? editor_->ckbActive.Checked() : shown_.Active;
}

void THotkeySetting::SetShift(std::int32_t shift) {
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

std::int32_t THotkeySetting::GetShift() const {
    if (!editor_)
        return shown_.Shift;
    return (editor_->ShiftKeyAlt.Checked() ? ModifierAlt : 0) |
           (editor_->ShiftKeyCtrl.Checked() ? ModifierCtrl : 0) |
           (editor_->ShiftKeyShift.Checked() ? ModifierShift : 0) |
           (editor_->ShiftKeyWin.Checked() ? ModifierWin : 0);
}

void THotkeySetting::SetKey(std::int32_t key) {
    shown_.Key = key;
    if (editor_)
        editor_->HotKey1.SetKey(static_cast<std::uint16_t>(key));
    keyName_ = key ? Data->HotkeyText(static_cast<std::uint16_t>(key), 0) : std::string();
    ::InvalidateRect(Handle(), nullptr, TRUE);
}

std::uint16_t THotkeySetting::GetKey() const {
    return editor_ ? editor_->HotKey1.Key() : static_cast<std::uint16_t>(shown_.Key);
}

void THotkeySetting::SetFunc(THotkeyAction func) {
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

THotkeyAction THotkeySetting::GetFunc() const {
    if (!editor_)
        return shown_.Func;
    const int index = editor_->cbAction.ItemIndex();
    return index < 0 ? THotkeyAction::None : static_cast<THotkeyAction>(editor_->cbAction.ItemData(index));
}

void THotkeySetting::SetParams(const std::string& params) {
    shown_.Params = params;
    if (editor_)
        editor_->edtParameters.SetText(params);
    ::InvalidateRect(Handle(), nullptr, TRUE);
}

void THotkeySetting::SetParams2(const std::string& params2) {
    shown_.Params2 = params2;
    if (editor_)
        editor_->edtAdditionalParameters.SetText(params2);
    ::InvalidateRect(Handle(), nullptr, TRUE);
}

std::string THotkeySetting::ParamsText() const {
    return StoredParameter(editor_ ? editor_->edtParameters.Text() : shown_.Params);
}

std::string THotkeySetting::Params2Text() const {
    return StoredParameter(editor_ ? editor_->edtAdditionalParameters.Text() : shown_.Params2);
}

void THotkeySetting::btnEditClick() {
    SetEditing(true);
    editor_->ckbActive.SetFocus();
}

void THotkeySetting::btnDeleteClick() {
    if (!OnDelete)
        return;
    if (gui::MessageDlg("Are you sure you want to delete this global hotkey?", gui::DialogKind::Confirmation,
                        MB_YESNO) == IDYES)
        OnDelete(*this);
}

bool THotkeySetting::ValidateInput() {
    if (document_.ActiveWithCombination(GetKey(), GetShift(), EntryId)) {
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
void THotkeySetting::Button2Click() {
    if (!OnSave || !ValidateInput())
        return;
    OnSave(*this);
    SetEditing(false);
    LoadFromDefinition();
    btnEdit.SetFocus();
}

void THotkeySetting::Button3Click() {
    SetEditing(false);
    LoadFromDefinition();
    btnEdit.SetFocus();
}

void THotkeySetting::ckbActiveClick() {
    SetActive(editor_->ckbActive.Checked());
}

void THotkeySetting::comboboxActionSelect() {
    UpdateParameterControls(editor_->parameters, GetFunc());
}

void THotkeySetting::buttonParametersClick() {
    EditParameter(editor_->edtParameters, GetFunc(), RootForm()->Handle(), editor_->OpenDialog1);
}

// The view (Panel4): read-only texts and imitated check boxes, drawn on the
// row, and the line along its bottom (Bevel1).
void THotkeySetting::PaintView(HDC dc, const RECT& client) {
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
        RECT r = {Scale(Panel1Left + left), Scale(top),
                  Scale(Panel1Left + left + width) + (width > 200 ? stretch : 0), Scale(top + 13)};
        ::DrawTextW(dc, Wide(s).c_str(), -1, &r, DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    };
    gui::GdiObject<HPEN> pen(::CreatePen(PS_SOLID, 1, RGB(0, 0, 0)));
    auto box = [&](int left, int top, bool checked, const char* caption) {
        const int x = Scale(Panel1Left + left), y = Scale(top), size = Scale(13);
        gui::ScopedSelect selectPen(dc, pen.Get());
        gui::ScopedSelect selectBrush(dc, ::GetStockObject(WHITE_BRUSH));
        ::Rectangle(dc, x, y, x + size, y + size);
        if (checked) {
            RECT mark = {x + Scale(3), y + Scale(3), x + Scale(3) + Scale(7), y + Scale(3) + Scale(7)};
            ::FillRect(dc, &mark, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
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
    text(305, 8, 137, "Action:");
    text(305, 24, 137, ActionDisplayName(shown_.Func));
    if (ActionHasParams(shown_.Func)) {
        text(456, 8, 289, "Parameters:");
        text(456, 24, 289, shown_.Params);
    }
    if (ActionHasParams2(shown_.Func)) {
        text(456, 48, 289, "Additional parameters:");
        text(456, 64, 289, shown_.Params2);
    }
    if (!faultReason_.empty())
        PaintFaultMark(dc);
}

} // namespace corvinade
