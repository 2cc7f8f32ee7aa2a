// The settings window; see SettingsFormU.h.
#include "ui/SettingsFormU.h"

#include <shellapi.h>

#include <algorithm>
#include <string>

#include "app/LogonStart.h"
#include "app/datau.h"
#include "core/Maker.h"
#include "core/RegistrationStatus.h"
#include "core/Wide_win.h"
#include "gui/Application.h"
#include "ui/UpdateFlow.h"
#include "ui/frmAddHotkeyU.h"

namespace corvinade {

namespace {

constexpr int ClientWidth = 812, ClientHeight = 466;
constexpr UINT FreeDeletedRowsMessage = WM_APP + 1;

using gui::akBottom;
using gui::akLeft;
using gui::akRight;
using gui::akTop;

gui::ControlArgs TopRight(int left, int top, const std::string& caption) {
    return {.left = left, .top = top, .caption = caption, .anchors = akTop | akRight};
}

} // namespace

TSettingsForm::TSettingsForm(HWND owner)
    : gui::Form({.clientWidth = ClientWidth,
                 .clientHeight = ClientHeight,
                 .caption = "Settings",
                 .style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                 // A taskbar button while it is open, though the hidden
                 // application window owns it.
                 .exStyle = WS_EX_CONTROLPARENT | WS_EX_APPWINDOW,
                 .owner = owner,
                 .position = gui::Position::ScreenCenter}),
      pcClient(
          *this,
          {.left = 4, .top = 4, .width = 804, .height = 423, .anchors = akLeft | akTop | akRight | akBottom},
          true),
      tsHotkeys(pcClient.AddPage("Hotkeys")),
      Panel1(tsHotkeys, {.width = tsHotkeys.DesignClientSize().cx, .height = 60, .align = gui::Align::Top}),
      Button1(Panel1, {.left = 8, .top = 10, .width = 75, .height = 25, .caption = "&New hotkey"}),
      Label1(Panel1,
             {.left = 105,
              .top = 8,
              .caption = "Use this window to manage your hotkeys. Click the \"New Hotkey\" button to add a "
                         "new hotkey."}),
      Label2(Panel1,
             {.left = 105,
              .top = 27,
              .caption = "To edit existing hotkeys click the \"Edit\" button to the left of the hotkey you "
                         "would like to edit. Click \"Save\" when done."}),
      HotKeyPlacement(tsHotkeys, {.width = tsHotkeys.DesignClientSize().cx,
                                  .height = tsHotkeys.DesignClientSize().cy - 60,
                                  .align = gui::Align::Client}),
      tsOtherSettings(pcClient.AddPage("Other settings")),
      chkStartAtWindowsStart(tsOtherSettings,
                             {.left = 16, .top = 25, .caption = "&Start when you log on Windows"}),
      btnCheckForUpdates(tsOtherSettings,
                         {.left = 16, .top = 64, .width = 121, .height = 25, .caption = "Check for updates"}),
      lblTitle(tsOtherSettings, TopRight(590, 29, "")),
      lblAuthor(tsOtherSettings, TopRight(590, 48, MakerName)),
      lblWeb(tsOtherSettings, TopRight(590, 80, MakerWebSite)),
      lblMail(tsOtherSettings, TopRight(590, 99, MakerMail)), btnOK(*this, {.left = 729,
                                                                            .top = 433,
                                                                            .width = 75,
                                                                            .height = 25,
                                                                            .caption = "Close",
                                                                            .anchors = akRight | akBottom}) {
    SetDefaultButton(&btnOK);
    SetCancelButton(&btnOK);
    Button1.OnClick = [this] { Button1Click(); };
    btnOK.OnClick = [this] { btnOKClick(); };
    btnCheckForUpdates.OnClick = [this] { btnCheckForUpdatesClick(); };
    lblWeb.OnClick = [this] { lblWebClick(); };
    lblMail.OnClick = [this] { lblMailClick(); };
    OnShow = [this] { FormShow(); };
    OnClose = [this] { FormClose(); };
    FormCreate();
}

TSettingsForm::~TSettingsForm() {
    FormDestroy();
}

void TSettingsForm::FormCreate() {
    pcClient.SetActivePageIndex(0);
    gui::App().HideTaskbarButton();
    SyncHotkeyRows();
    documentSubscription_ = Data->Document().Subscribe([this] { SyncHotkeyRows(); });
    lblTitle.SetCaption(gui::App().Title() + " " + Data->VersionNumberToText(Data->RunningVersionNumber()));
}

void TSettingsForm::FormShow() {
    BringUp();
    gui::App().HideTaskbarButton();
}

void TSettingsForm::BringUp() {
    ::SetForegroundWindow(gui::App().Handle());
    ::BringWindowToTop(Handle());
    ::SetWindowPos(gui::App().Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ::SetWindowPos(Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ::SetForegroundWindow(Handle());
}

void TSettingsForm::EditEntry(std::uint32_t entryId) {
    for (const auto& row : hotkeyRows_) {
        if (row->EntryId != entryId)
            continue;
        pcClient.SetActivePageIndex(0);
        HotKeyPlacement.ScrollIntoView(row->Handle());
        row->btnEditClick();
        return;
    }
}

// Every close ends the window's life: its owner frees it (a modal one after
// the modal run).
void TSettingsForm::FormClose() {
    if (OnClosed)
        OnClosed();
}

void TSettingsForm::FormDestroy() {
    if (Data)
        Data->Document().Unsubscribe(documentSubscription_);
    FreeHotkeyRows();
    deletedRows_.clear();
    if (gui::Application::Instance())
        gui::App().HideTaskbarButton();
}

std::unique_ptr<THotkeySetting> TSettingsForm::MakeRow(std::uint32_t entryId) {
    auto row = std::make_unique<THotkeySetting>(HotKeyPlacement.Content(), Data->Document(), entryId);
    row->OnDelete = [this](THotkeySetting& r) { HotkeySettingDelete(r); };
    row->OnSave = [this](THotkeySetting& r) { HotkeySettingSave(r); };
    return row;
}

void TSettingsForm::SyncHotkeyRows() {
    const THotkeyEntries& entries = Data->Document().Entries();
    std::vector<std::unique_ptr<THotkeySetting>> rows;
    gui::Panel& content = HotKeyPlacement.Content();
    content.DisableAlign();
    for (int i = static_cast<int>(entries.size()) - 1; i >= 0; --i) {
        const std::uint32_t id = entries[static_cast<std::size_t>(i)].Id;
        auto kept = std::find_if(hotkeyRows_.begin(), hotkeyRows_.end(),
                                 [&](const auto& row) { return row && row->EntryId == id; });
        std::unique_ptr<THotkeySetting> row = kept != hotkeyRows_.end() ? std::move(*kept) : MakeRow(id);
        row->LoadFromDefinition();
        rows.push_back(std::move(row));
    }
    // Rows of deleted entries; the row whose click deleted it may still be
    // in its handler, so they go once that has returned.
    for (auto& gone : hotkeyRows_)
        if (gone) {
            gone->SetVisible(false);
            deletedRows_.push_back(std::move(gone));
        }
    hotkeyRows_ = std::move(rows);
    std::vector<gui::Control*> order;
    for (const auto& row : hotkeyRows_)
        order.push_back(row.get());
    content.SetChildOrder(order);
    content.EnableAlign();
    if (!deletedRows_.empty()) // dropped with the window, should it go first
        ::PostMessageW(Handle(), FreeDeletedRowsMessage, 0, 0);
    ShowRegistrationFaults();
    chkStartAtWindowsStart.SetChecked(Data->Document().LogonStart());
}

// Each row is judged by the document's definitions and the live list.
void TSettingsForm::ShowRegistrationFaults() {
    const std::vector<THotKeyData> definitions = Data->Document().Definitions();
    for (const auto& row : hotkeyRows_) {
        const int index = Data->Document().IndexOf(row->EntryId);
        const RegistrationFault fault =
            index < 0 ? RegistrationFault::None : EditorItemFault(definitions, index, Data->ActiveHotkeys());
        std::string reason;
        if (fault != RegistrationFault::None) {
            const THotKeyData& d = definitions[static_cast<std::size_t>(index)];
            const THotKeyData* earlier = EarlierWithCombination(definitions, index);
            reason = FaultTooltip(
                fault,
                Data->HotkeyText(static_cast<std::uint16_t>(d.Key), static_cast<std::uint16_t>(d.Shift)),
                earlier ? earlier->Func : THotkeyAction::None);
        }
        row->SetRegistrationFault(reason);
    }
}

void TSettingsForm::FreeHotkeyRows() {
    gui::Panel& rows = HotKeyPlacement.Content();
    rows.DisableAlign();
    hotkeyRows_.clear();
    rows.EnableAlign();
}

// The new hotkey's row comes with the document's change.
void TSettingsForm::Button1Click() {
    TfrmAddHotkey wizard(Handle());
    wizard.ShowModal();
}

void TSettingsForm::btnOKClick() {
    Close();
}

void TSettingsForm::btnCheckForUpdatesClick() {
    UpdateCheck->Check(Handle());
}

void TSettingsForm::lblWebClick() {
    ::ShellExecuteW(Handle(), L"open", Wide(MakerWebSite).c_str(), nullptr, nullptr, SW_SHOW);
}

void TSettingsForm::lblMailClick() {
    ::ShellExecuteW(Handle(), L"open", Wide(std::string("mailto:") + MakerMail).c_str(), nullptr, nullptr,
                    SW_SHOW);
}

void TSettingsForm::HotkeySettingSave(THotkeySetting& row) {
    THotkeyDraft draft = Data->Document().Draft();
    for (THotkeyEntry& e : draft.Entries)
        if (e.Id == row.EntryId)
            e.Definition = row.Definition();
    SaveSettings(std::move(draft));
}

void TSettingsForm::HotkeySettingDelete(THotkeySetting& row) {
    THotkeyDraft draft = Data->Document().Draft();
    std::erase_if(draft.Entries, [&](const THotkeyEntry& e) { return e.Id == row.EntryId; });
    SaveSettings(std::move(draft));
}

// With the log-on choice as the box shows it.
void TSettingsForm::SaveSettings(THotkeyDraft draft) {
    draft.LogonStart = chkStartAtWindowsStart.Checked();
    Data->Commit(std::move(draft));
}

bool TSettingsForm::HandleMessage(UINT msg, WPARAM, LPARAM, LRESULT& result) {
    if (msg != FreeDeletedRowsMessage)
        return false;
    deletedRows_.clear();
    result = 0;
    return true;
}

} // namespace corvinade
