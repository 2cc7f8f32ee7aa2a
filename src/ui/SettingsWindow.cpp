// The settings window; see SettingsWindow.h.
#include "ui/SettingsWindow.h"

#include <shellapi.h>

#include <algorithm>
#include <string>

#include "app/HotkeyService.h"
#include "app/LogonStart.h"
#include "core/HotkeyFilter.h"
#include "core/Maker.h"
#include "core/RegistrationStatus.h"
#include "core/Wide_win.h"
#include "gui/Application.h"
#include "gui/Dialogs.h"
#include "ui/ImportExport.h"
#include "ui/NewHotkeyWizard.h"
#include "ui/UpdateFlow.h"
#include "update/UpdateCheck.h"

namespace corvinade {

namespace {

constexpr int ClientWidth = 812, ClientHeight = 466;
// On a small screen the list of rows gives up its room: it scrolls the rows
// sideways below their least width, and lower than this the window scrolls.
constexpr int MinClientWidth = 600, MinClientHeight = 300, RowMinimumWidth = 700;
// The strip above the rows: the button, the help lines and the filter.
constexpr int StripHeight = 86, FilterTop = 59;

using gui::akBottom;
using gui::akLeft;
using gui::akRight;
using gui::akTop;

gui::ControlArgs TopRight(int left, int top, const std::string& caption) {
    return {.left = left, .top = top, .caption = caption, .anchors = akTop | akRight};
}

// The window that takes input for this one: the shown window it owns (a
// message box, the wizard, a file dialog), and that one's in turn; tool tips
// and menus aside. The system's last active popup misses a box that
// came up while another window was in front: it was never active.
struct OwnedSearch {
    HWND owner, found;
};

BOOL CALLBACK FindOwned(HWND window, LPARAM param) {
    auto& search = *reinterpret_cast<OwnedSearch*>(param);
    if (::GetWindow(window, GW_OWNER) == search.owner && ::IsWindowVisible(window) &&
        !(::GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST))
        search.found = window;
    return search.found ? FALSE : TRUE;
}

HWND InputWindowOf(HWND window) {
    for (;;) {
        OwnedSearch search{window, nullptr};
        ::EnumThreadWindows(::GetCurrentThreadId(), FindOwned, reinterpret_cast<LPARAM>(&search));
        if (!search.found)
            return window;
        window = search.found;
    }
}

gui::ControlArgs BottomLeft(int left, const std::string& caption) {
    return {.left = left,
            .top = 433,
            .width = 75,
            .height = 25,
            .caption = caption,
            .anchors = akLeft | akBottom};
}

} // namespace

SettingsWindow::SettingsWindow(HWND owner, HotkeyService& hotkeys, UpdateCheckFlow& updateCheck)
    : gui::Form({.clientWidth = ClientWidth,
                 .clientHeight = ClientHeight,
                 .caption = "Settings",
                 .style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                 // A taskbar button while it is open, though the hidden
                 // application window owns it.
                 .exStyle = WS_EX_CONTROLPARENT | WS_EX_APPWINDOW,
                 .owner = owner,
                 .position = gui::Position::ScreenCenter,
                 .minClientWidth = MinClientWidth,
                 .minClientHeight = MinClientHeight}),
      pcClient(
          *this,
          {.left = 4, .top = 4, .width = 804, .height = 423, .anchors = akLeft | akTop | akRight | akBottom},
          true),
      tsHotkeys(pcClient.AddPage("Hotkeys")),
      pnlHeader(tsHotkeys,
                {.width = tsHotkeys.DesignClientSize().cx, .height = StripHeight, .align = gui::Align::Top}),
      btnNewHotkey(pnlHeader, {.left = 8, .top = 10, .width = 75, .height = 25, .caption = "&New hotkey"}),
      lblManageHelp(pnlHeader,
                    {.left = 105,
                     .top = 8,
                     .caption =
                         "Use this window to manage your hotkeys. Click the \"New Hotkey\" button to add a "
                         "new hotkey."}),
      // Two lines where the window is narrow.
      lblEditHelp(pnlHeader,
                  {.left = 105,
                   .top = 27,
                   .width = tsHotkeys.DesignClientSize().cx - 105 - 8,
                   .height = 28,
                   .caption =
                       "To edit existing hotkeys click the \"Edit\" button to the left of the hotkey you "
                       "would like to edit. Click \"Save\" when done.",
                   .anchors = akLeft | akTop | akRight},
                  {.wordWrap = true}),
      lblFilter(pnlHeader, {.left = 8, .top = FilterTop + 3, .caption = "&Filter"}),
      edtFilter(pnlHeader, {.left = 105, .top = FilterTop, .width = 250, .height = 21}),
      lstHotkeys(tsHotkeys,
                 {.width = tsHotkeys.DesignClientSize().cx,
                  .height = tsHotkeys.DesignClientSize().cy - StripHeight,
                  .align = gui::Align::Client},
                 HotkeyRow::RowHeight),
      lblNoMatch(lstHotkeys, {.left = 8, .top = 8, .caption = "No hotkey matches the filter."}),
      tsOtherSettings(pcClient.AddPage("Other settings")),
      chkStartAtWindowsStart(tsOtherSettings,
                             {.left = 16, .top = 25, .caption = "&Start when you log on Windows"}),
      lblLogonTurnedOff(tsOtherSettings,
                        {.left = 32, // under the box's caption
                         .top = 44,
                         .caption = "Windows has turned this off. Turn it on in Settings > Apps > Startup."}),
      chkPauseFullScreen(tsOtherSettings,
                         {.left = 16, .top = 68, .caption = "&Pause while a program runs full screen"}),
      btnCheckForUpdates(
          tsOtherSettings,
          {.left = 16, .top = 100, .width = 121, .height = 25, .caption = "Check for &updates"}),
      lblTitle(tsOtherSettings, TopRight(590, 29, "")),
      lblAuthor(tsOtherSettings, TopRight(590, 48, MakerName)),
      lblWeb(tsOtherSettings, TopRight(590, 80, MakerWebSite)),
      lblMail(tsOtherSettings, TopRight(590, 99, MakerMail)), btnImport(*this, BottomLeft(4, "&Import...")),
      btnExport(*this, BottomLeft(85, "E&xport...")), btnClose(*this, {.left = 729,
                                                                       .top = 433,
                                                                       .width = 75,
                                                                       .height = 25,
                                                                       .caption = "Close",
                                                                       .anchors = akRight | akBottom}),
      hotkeys_(hotkeys), updateCheck_(updateCheck) {
    SetDefaultButton(&btnClose);
    SetCancelButton(&btnClose);
    btnNewHotkey.OnClick = [this] { OnNewHotkeyClick(); };
    btnClose.OnClick = [this] { OnCloseClick(); };
    chkStartAtWindowsStart.OnClick = [this] { OnStartAtWindowsStartClick(); };
    chkPauseFullScreen.OnClick = [this] { OnPauseFullScreenClick(); };
    btnCheckForUpdates.OnClick = [this] { OnCheckForUpdatesClick(); };
    lblWeb.OnClick = [this] { OnWebClick(); };
    lblMail.OnClick = [this] { OnMailClick(); };
    edtFilter.OnChange = [this] { OnFilterChange(); };
    lstHotkeys.MakeRow = [this](gui::VirtualList&) { return MakeRow(); };
    lstHotkeys.BindRow = [this](gui::Control& row, std::uint32_t entryId) {
        ShowRow(static_cast<HotkeyRow&>(row), entryId);
    };
    lstHotkeys.KeepsRow = [](const gui::Control& row) {
        return static_cast<const HotkeyRow&>(row).Editing();
    };
    OnShortcutKey = [this](WPARAM key) { return ShortcutKey(key); };
    btnImport.OnClick = [this] { OnImportClick(); };
    btnExport.OnClick = [this] { OnExportClick(); };
    OnShow = [this] { Shown(); };
    CanClose = [this] { return KeepOrDropEdits(); };
    OnClose = [this] { Closed(); };
    Initialize();
}

SettingsWindow::~SettingsWindow() {
    hotkeys_.Document().Unsubscribe(documentSubscription_);
    if (gui::Application::Instance())
        gui::App().HideTaskbarButton();
}

void SettingsWindow::Initialize() {
    lstHotkeys.SetRowMinimumWidth(RowMinimumWidth);
    pcClient.SetActivePageIndex(0);
    gui::App().HideTaskbarButton();
    lblNoMatch.SetVisible(false);
    SyncHotkeyRows();
    chkPauseFullScreen.SetChecked(hotkeys_.PauseForFullScreen());
    documentSubscription_ = hotkeys_.Document().Subscribe([this] { SyncHotkeyRows(); });
    lblTitle.SetCaption(gui::App().Title() + " " + VersionText(RunningVersion()));
}

void SettingsWindow::Shown() {
    BringUp();
    gui::App().HideTaskbarButton();
}

void SettingsWindow::BringUp() {
    if (::IsIconic(Handle()))
        ::ShowWindow(Handle(), SW_RESTORE);
    ::SetForegroundWindow(gui::App().Handle());
    ::BringWindowToTop(Handle());
    ::SetWindowPos(gui::App().Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ::SetWindowPos(Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    // While a modal window of its own runs, that one comes up above it and
    // takes input: Wine may leave it below its owner.
    const HWND input = InputWindowOf(Handle());
    if (input != Handle())
        ::SetWindowPos(input, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ::SetForegroundWindow(input);
}

// As a program asks for unsaved work: each row edited with changes, Yes
// saves it (refused or failed, the window stays), No drops it, Cancel keeps
// the window open.
bool SettingsWindow::KeepOrDropEdits() {
    for (;;) {
        const std::vector<HotkeyRow*> rows = HotkeyRows();
        auto changed = std::ranges::find_if(rows, [](HotkeyRow* row) { return row->HasChanges(); });
        if (changed == rows.end())
            return true;
        HotkeyRow& row = **changed;
        lstHotkeys.ShowRow(row.EntryId());
        switch (gui::MessageDlg("Save the changes to " + row.CombinationText() + "?",
                                gui::DialogKind::Confirmation, MB_YESNOCANCEL)) {
        case IDYES:
            if (!row.Save())
                return false;
            break;
        case IDNO:
            row.Drop();
            break;
        default:
            return false;
        }
    }
}

// Every close ends the window's life: its owner frees it (a modal one after
// the modal run).
void SettingsWindow::Closed() {
    if (OnClosed)
        OnClosed();
}

// Ctrl+F to the filter, unless a key field takes it as a combination.
bool SettingsWindow::ShortcutKey(WPARAM key) {
    if (key != 'F' || ::GetKeyState(VK_CONTROL) >= 0 || ::GetKeyState(VK_MENU) < 0 ||
        ::GetKeyState(VK_SHIFT) < 0)
        return false;
    if (HWND focus = ::GetFocus(); focus && (::SendMessageW(focus, WM_GETDLGCODE, 0, 0) & DLGC_WANTALLKEYS))
        return false;
    pcClient.SetActivePageIndex(0);
    edtFilter.SetFocus();
    ::SendMessageW(edtFilter.Handle(), EM_SETSEL, 0, -1);
    return true;
}

std::unique_ptr<gui::Control> SettingsWindow::MakeRow() {
    auto row = std::make_unique<HotkeyRow>(lstHotkeys, hotkeys_);
    row->OnDelete = [this](HotkeyRow& r) { DeleteRow(r); };
    row->OnSave = [this](HotkeyRow& r) { SaveRow(r); };
    return row;
}

void SettingsWindow::SyncHotkeyRows() {
    ShowFilteredRows();
    ShowLogonStart();
}

void SettingsWindow::ShowLogonStart() {
    const LogonStartState state = ReadLogonStart();
    chkStartAtWindowsStart.SetChecked(state.On);
    lblLogonTurnedOff.SetVisible(state.TurnedOffByWindows);
}

// The entry follows the box at once; a failure is shown (by the
// application, as the error leaves) with the box as the entry is.
void SettingsWindow::OnStartAtWindowsStartClick() {
    try {
        TurnLogonStart(chkStartAtWindowsStart.Checked());
    } catch (...) {
        ShowLogonStart();
        throw;
    }
    ShowLogonStart();
}

// Written at once, as the log-on box; a failure is shown with the box as
// the setting is.
void SettingsWindow::OnPauseFullScreenClick() {
    try {
        hotkeys_.SetPauseForFullScreen(chkPauseFullScreen.Checked());
    } catch (...) {
        chkPauseFullScreen.SetChecked(hotkeys_.PauseForFullScreen());
        throw;
    }
}

void SettingsWindow::ShowFilteredRows() {
    const std::string filter = edtFilter.Text();
    std::vector<std::uint32_t> editing;
    for (HotkeyRow* row : HotkeyRows())
        if (row->Editing())
            editing.push_back(row->EntryId());
    const THotkeyEntries& entries = hotkeys_.Document().Entries();
    std::vector<std::uint32_t> shown;
    shown.reserve(entries.size());
    for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry) {
        const THotKeyData& d = entry->Definition;
        if (filter.empty() || std::ranges::find(editing, entry->Id) != editing.end() ||
            HotkeyMatchesFilter(
                d,
                hotkeys_.HotkeyText(static_cast<std::uint16_t>(d.Key), static_cast<std::uint16_t>(d.Shift)),
                filter))
            shown.push_back(entry->Id);
    }
    lstHotkeys.SetRows(std::move(shown));
    lblNoMatch.SetCaption(filter.empty() ? "No hotkeys yet. Click New hotkey to add one."
                                         : "No hotkey matches the filter.");
    lblNoMatch.SetVisible(lstHotkeys.Rows().empty());
}

std::vector<HotkeyRow*> SettingsWindow::HotkeyRows() const {
    std::vector<HotkeyRow*> rows;
    for (gui::Control* row : lstHotkeys.BoundRows())
        rows.push_back(static_cast<HotkeyRow*>(row));
    return rows;
}

// A row given an entry, or its entry changed: the entry's texts, and its
// mark when it did not register (judged by the document and the live list).
void SettingsWindow::ShowRow(HotkeyRow& row, std::uint32_t entryId) {
    row.ShowEntry(entryId);
    row.SetRegistrationFault(RegistrationFaultOf(entryId));
}

std::string SettingsWindow::RegistrationFaultOf(std::uint32_t entryId) const {
    const THotkeyEntry* entry = hotkeys_.Document().Find(entryId);
    if (!entry || !entry->Definition.Active)
        return {};
    const std::vector<THotKeyData> definitions = hotkeys_.Document().Definitions();
    const int index = hotkeys_.Document().IndexOf(entryId);
    const RegistrationFault fault = EditorItemFault(definitions, index, hotkeys_.ActiveHotkeys());
    if (fault == RegistrationFault::None)
        return {};
    const THotKeyData& d = entry->Definition;
    const THotKeyData* earlier = EarlierWithCombination(definitions, index);
    return FaultTooltip(
        fault, hotkeys_.HotkeyText(static_cast<std::uint16_t>(d.Key), static_cast<std::uint16_t>(d.Shift)),
        earlier ? earlier->Func : THotkeyAction::None);
}

void SettingsWindow::EditEntry(std::uint32_t entryId) {
    if (!hotkeys_.Document().Find(entryId))
        return;
    pcClient.SetActivePageIndex(0);
    if (std::ranges::find(lstHotkeys.Rows(), entryId) == lstHotkeys.Rows().end()) {
        edtFilter.SetText({});
        ShowFilteredRows();
    }
    if (gui::Control* row = lstHotkeys.ShowRow(entryId))
        static_cast<HotkeyRow*>(row)->OnEditClick();
}

// The filter's findings from the top.
void SettingsWindow::OnFilterChange() {
    ShowFilteredRows();
    lstHotkeys.ScrollTo(0);
}

// The new hotkey's row comes with the document's change.
void SettingsWindow::OnNewHotkeyClick() {
    NewHotkeyWizard wizard(Handle(), hotkeys_);
    wizard.ShowModal();
}

void SettingsWindow::OnCloseClick() {
    Close();
}

void SettingsWindow::OnCheckForUpdatesClick() {
    updateCheck_.Check(Handle());
}

void SettingsWindow::OnWebClick() {
    ::ShellExecuteW(Handle(), L"open", Wide(MakerWebSite).c_str(), nullptr, nullptr, SW_SHOW);
}

void SettingsWindow::OnMailClick() {
    ::ShellExecuteW(Handle(), L"open", Wide(std::string("mailto:") + MakerMail).c_str(), nullptr, nullptr,
                    SW_SHOW);
}

void SettingsWindow::OnImportClick() {
    ImportHotkeys(Handle(), hotkeys_);
}

void SettingsWindow::OnExportClick() {
    ExportHotkeys(Handle(), hotkeys_);
}

void SettingsWindow::SaveRow(HotkeyRow& row) {
    THotkeyDraft draft = hotkeys_.Document().Draft();
    for (THotkeyEntry& e : draft.Entries)
        if (e.Id == row.EntryId())
            e.Definition = row.Definition();
    hotkeys_.Commit(std::move(draft));
}

void SettingsWindow::DeleteRow(HotkeyRow& row) {
    THotkeyDraft draft = hotkeys_.Document().Draft();
    std::erase_if(draft.Entries, [&](const THotkeyEntry& e) { return e.Id == row.EntryId(); });
    hotkeys_.Commit(std::move(draft));
}

} // namespace corvinade
