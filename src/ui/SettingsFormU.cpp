// The settings window; see SettingsFormU.h.
#include "ui/SettingsFormU.h"

#include <shellapi.h>

#include <exception>
#include <string>

#include "app/LogonStart.h"
#include "app/datau.h"
#include "core/Maker.h"
#include "core/RegistrationStatus.h"
#include "gui/Application.h"
#include "ui/UpdateFlow.h"
#include "ui/frmAddHotkeyU.h"

namespace corvinade {

TSettingsForm* SettingsForm = nullptr;

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
                 .exStyle = WS_EX_CONTROLPARENT,
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
    workingList_ = std::make_unique<THotkeyList>(unregistered_);
    BuildHotkeyRows();
    lblTitle.SetCaption(gui::App().Title() + " " + Data->VersionNumberToText(Data->RunningVersionNumber()));
}

void TSettingsForm::FormShow() {
    ::SetForegroundWindow(gui::App().Handle());
    ::BringWindowToTop(Handle());
    ::SetWindowPos(gui::App().Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ::SetWindowPos(Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ::SetForegroundWindow(Handle());
    gui::App().HideTaskbarButton();
}

// Every close destroys the window: a modal one when its caller frees it
// after the modal run, any other one at once (deferred to after this
// handler). SettingsForm is emptied either way.
void TSettingsForm::FormClose() {
    SettingsForm = nullptr;
    if (!Modal())
        Release();
}

void TSettingsForm::FormDestroy() {
    FreeHotkeyRows();
    deletedRows_.clear();
    workingList_.reset();
    if (gui::Application::Instance())
        gui::App().HideTaskbarButton();
}

void TSettingsForm::BuildHotkeyRows() {
    FreeHotkeyRows();
    Data->LoadAllHotkeys(*workingList_);
    // The file's last hotkey on top: rows are made from the last one up, so
    // their tab order also runs from top to bottom.
    gui::Panel& rows = HotKeyPlacement.Content();
    rows.DisableAlign();
    for (int i = workingList_->Count() - 1; i >= 0; --i) {
        auto row = std::make_unique<THotkeySetting>(rows, *workingList_, workingList_->Items(i));
        row->Name = "HotkeySetting" + std::to_string(i);
        row->Tag = i;
        row->OnDelete = [this](THotkeySetting& r) { HotkeySettingDelete(r); };
        row->OnSave = [this](THotkeySetting& r) { HotkeySettingSave(r); };
        hotkeyRows_.push_back(std::move(row));
    }
    rows.EnableAlign();
    ShowRegistrationFaults();
    chkStartAtWindowsStart.SetChecked(!ReadLogonStartEntry().empty());
}

// The working list holds what the file holds (it is saved before every
// reload), so each row is judged against the live list by its combination.
void TSettingsForm::ShowRegistrationFaults() {
    for (const auto& row : hotkeyRows_) {
        const int index = workingList_->IndexOf(row->HotkeyItem);
        const RegistrationFault fault = index < 0
                                            ? RegistrationFault::None
                                            : EditorItemFault(*workingList_, index, Data->ActiveHotkeys());
        std::string reason;
        if (fault != RegistrationFault::None) {
            const THotKeyData& d = row->HotkeyItem->Definition;
            const TGlobalHotKey* earlier = EarlierWithCombination(*workingList_, index);
            reason = FaultTooltip(
                fault,
                Data->HotkeyText(static_cast<std::uint16_t>(d.Key), static_cast<std::uint16_t>(d.Shift)),
                earlier ? earlier->Definition.Func : THotkeyAction::None);
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

void TSettingsForm::Button1Click() {
    TfrmAddHotkey wizard(Handle());
    if (wizard.ShowModal() == IDOK)
        BuildHotkeyRows();
}

void TSettingsForm::btnOKClick() {
    Close();
}

void TSettingsForm::btnCheckForUpdatesClick() {
    CheckForUpdatesFlow(Handle());
}

void TSettingsForm::lblWebClick() {
    ::ShellExecuteA(Handle(), "open", MakerWebSite, nullptr, nullptr, SW_SHOW);
}

void TSettingsForm::lblMailClick() {
    ::ShellExecuteA(Handle(), "open", (std::string("mailto:") + MakerMail).c_str(), nullptr, nullptr,
                    SW_SHOW);
}

void TSettingsForm::HotkeySettingSave(THotkeySetting& row) {
    THotKeyData& d = row.HotkeyItem->Definition;
    d.Active = row.GetActive();
    d.Shift = row.GetShift();
    d.Key = row.GetKey();
    d.Func = row.GetFunc();
    d.Params = row.ParamsText();
    d.Params2 = row.Params2Text();
    SaveSettings();
}

// The file is written without the hotkey first: when that fails, the list
// and the row stay as they were. The row is freed once its own click has
// returned.
void TSettingsForm::HotkeySettingDelete(THotkeySetting& row) {
    const int index = workingList_->IndexOf(row.HotkeyItem);
    THotkeyList rest(unregistered_);
    for (int i = 0; i < workingList_->Count(); ++i)
        if (i != index) {
            const THotKeyData& d = workingList_->Items(i)->Definition;
            rest.Add(d.Active, d.Key, d.Shift, d.Func, d.Params, d.Params2);
        }
    rest.SaveToFile(Data->GetPath(0));
    if (index >= 0)
        workingList_->Delete(index);
    for (auto it = hotkeyRows_.begin(); it != hotkeyRows_.end(); ++it)
        if (it->get() == &row) {
            row.SetVisible(false);
            deletedRows_.push_back(std::move(*it));
            hotkeyRows_.erase(it);
            break;
        }
    struct PostFree {
        HWND window;
        ~PostFree() { ::PostMessageA(window, FreeDeletedRowsMessage, 0, 0); }
    } postFree{Handle()};
    ApplySavedHotkeys();
}

void TSettingsForm::SaveSettings() {
    workingList_->SaveToFile(Data->GetPath(0));
    ApplySavedHotkeys();
}

// After the file: the log-on entry, then the live hotkeys. The hotkeys are
// registered again even when the log-on entry could not be written; that
// failure is reported after.
void TSettingsForm::ApplySavedHotkeys() {
    std::exception_ptr logonError;
    try {
        WriteLogonStartEntry(chkStartAtWindowsStart.Checked());
    } catch (...) {
        logonError = std::current_exception();
    }
    Data->ReloadHotkeys();
    ShowRegistrationFaults();
    if (logonError) {
        try {
            std::rethrow_exception(logonError);
        } catch (...) {
            gui::App().HandleException();
        }
    }
}

bool TSettingsForm::HandleMessage(UINT msg, WPARAM, LPARAM, LRESULT& result) {
    if (msg != FreeDeletedRowsMessage)
        return false;
    deletedRows_.clear();
    result = 0;
    return true;
}

} // namespace corvinade
