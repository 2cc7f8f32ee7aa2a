// HotkeyRow: one row of the settings window. It shows one hotkey of the
// hotkey document read-only and, after "Edit", lets the user change it in
// place and save it, cancel, or delete the hotkey. It never writes files: it
// tells its owner through OnSave and OnDelete. The settings window reuses a
// row for another hotkey as its list scrolls (ShowEntry).
//
// A row in view mode is one window with its two buttons; its texts and its
// read-only check boxes are drawn, in the system's colours in high contrast.
// A double click on it edits it. The edit controls are made when the row
// first enters edit mode; Save and Cancel then stand in for Edit and Delete. An active
// hotkey that failed to register is marked by a warning sign and "Not
// registered", with the reason in a tooltip. The row's window text says
// what it shows, for screen readers.
#pragma once

#include <windows.h>

#include <functional>
#include <initializer_list>
#include <memory>
#include <string>

#include "core/CombinationCheck.h"
#include "core/HotkeyDocument.h"
#include "core/Hotkeys.h"
#include "gui/Button.h"
#include "gui/FileDialog.h"
#include "gui/KeyField.h"
#include "gui/Panel.h"
#include "gui/ToolTip.h"
#include "ui/ParameterEditing.h"

namespace corvinade {

class HotkeyService;

class HotkeyRow : public gui::Panel {
public:
    static constexpr int RowHeight = 100;
    static constexpr int DesignWidth = 814; // the buttons (66) and the fields (748)

    HotkeyRow(gui::Container& parent, HotkeyService& hotkeys);
    ~HotkeyRow() override;

    // Shows this entry of the document (given another one, the row leaves
    // edit mode, its input dropped).
    void ShowEntry(std::uint32_t entryId);
    // The document's entry the row shows (0 for none yet).
    std::uint32_t EntryId() const { return entryId_; }
    bool Editing() const { return editing_; }

    std::function<void(HotkeyRow&)> OnSave, OnDelete;

    gui::Button btnEdit, btnDelete;

    // The edit controls, made when the row first enters edit mode.
    struct EditPanel;
    EditPanel* Editor() const { return editor_.get(); }

    void SetEditing(bool editing);
    // The entry as the document holds it now, into the view (and into the
    // edit controls unless the row is being edited: the user's input stays).
    void LoadFromDefinition();
    // What the controls say now.
    THotKeyData Definition() const;
    void SetActive(bool active);
    bool GetActive() const;
    void SetShift(std::int32_t shift);
    std::int32_t GetShift() const;
    void SetKey(std::int32_t key);
    std::uint16_t GetKey() const;
    void SetFunc(THotkeyAction func);
    THotkeyAction GetFunc() const;
    void SetParams(const std::string& params);
    void SetParams2(const std::string& params2);
    void SetCaptureOptions(const TCaptureOptions& options);
    TCaptureOptions GetCaptureOptions() const;
    // The parameter boxes' texts as the file keeps them.
    std::string ParamsText() const;
    std::string Params2Text() const;
    // The stored hotkey's combination, as the user knows it ("WIN + F5").
    std::string CombinationText() const;
    // Being edited, with input that differs from the stored hotkey.
    bool HasChanges() const;
    // Saves the input as Save does; false when it was refused or the save
    // failed (said in a message), the row still in edit mode.
    bool Save();
    // Leaves edit mode, the input dropped.
    void Drop();

    // Marks the row as not registered, `reason` in the mark's tooltip; an
    // empty reason takes the mark away.
    void SetRegistrationFault(const std::string& reason);
    const std::string& RegistrationFault() const { return faultReason_; }

    // Into edit mode (unless it is), the focus on its first field.
    void OnEditClick();
    void OnDeleteClick();
    void OnSaveClick();
    void OnCancelClick();
    void OnActiveClick();
    void OnActionSelect();
    void OnParametersClick();

protected:
    void DpiChanged() override;
    bool ControlMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void NameButtons(std::initializer_list<gui::Button*> buttons);
    bool ValidateInput();
    void MakeEditPanel();
    void LoadIntoControls();
    void PaintView(HDC dc, const RECT& client);
    void PaintFaultMark(HDC dc);
    RECT FaultMarkRect() const;
    void UpdateSummary();
    // The shown definition's options that its action takes.
    TCaptureOptions ShownCaptureOptions() const;
    void UpdateCombinationStatus();

    HotkeyService& hotkeys_;
    const THotkeyDocument& document_;
    std::uint32_t entryId_ = 0;
    bool editing_ = false;
    // What the view shows: the definition as last loaded.
    THotKeyData shown_;
    std::string keyName_;
    std::unique_ptr<EditPanel> editor_;
    TCombinationStatus combinationStatus_; // of the combination being edited
    std::string faultReason_;
    std::unique_ptr<gui::ToolTip> faultTip_; // while the row is marked
};

} // namespace corvinade
