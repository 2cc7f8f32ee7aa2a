// The data module: start-up, the hotkey document and its commits; see datau.h.
#include "app/datau.h"

#include <shellapi.h>
#include <shlobj.h>
#include <wtsapi32.h>

#include <optional>

#include "app/ActionText.h"
#include "app/AppPaths.h"
#include "app/LogonStart.h"
#include "capture/CaptureTarget_win.h"
#include "capture/CaptureWindow.h"
#include "core/Errors.h"
#include "core/Wide_win.h"
#include "gui/Application.h"
#include "gui/Handles.h"
#include "gui/Registry.h"
#include "gui/SystemLibrary.h"

namespace corvinade {

TData* Data = nullptr;

namespace {

// The Windows folder, where this 32-bit program runs on 64-bit Windows; else
// empty.
std::string WindowsFolderUnderWow64() {
    BOOL wow64 = FALSE;
    if (!IsWow64Process(GetCurrentProcess(), &wow64) || !wow64)
        return {};
    wchar_t folder[MAX_PATH + 1] = {};
    const UINT length = GetWindowsDirectoryW(folder, MAX_PATH + 1);
    if (length == 0 || length > MAX_PATH)
        return {};
    return Utf8(folder, static_cast<int>(length));
}

class Win32Shell : public ShellPort {
public:
    void Execute(const char* verb, const char* file, const char* parameters, const char* directory,
                 int showCommand) override {
        // A missing text stays a null pointer, as the shell tells "none" from "empty".
        auto wide = [](const char* text) {
            return text ? std::optional<std::wstring>(Wide(text)) : std::nullopt;
        };
        auto pointer = [](const std::optional<std::wstring>& text) { return text ? text->c_str() : nullptr; };
        // A program in System32 would be looked for in SysWOW64.
        const std::string program =
            file && !windowsFolder_.empty() ? SysnativePath(file, windowsFolder_) : "";
        const auto v = wide(verb), f = wide(program.empty() ? file : program.c_str()), p = wide(parameters),
                   d = wide(directory);
        ShellExecuteW(nullptr, pointer(v), pointer(f), pointer(p), pointer(d), showCommand);
    }

private:
    const std::string windowsFolder_ = WindowsFolderUnderWow64();
};

bool FileExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(Wide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// Creates `folder` with every missing parent; failures show later, when a save fails.
void ForceDirectories(const std::string& folder) {
    for (std::size_t end = folder.find('\\');; end = folder.find('\\', end + 1)) {
        const std::string part = folder.substr(0, end);
        if (!part.empty() && part.back() != ':')
            CreateDirectoryW(Wide(part).c_str(), nullptr);
        if (end == std::string::npos)
            break;
    }
}

// Session changes (lock, unlock) reach the application window once asked for.
bool RegisterSessionNotification(HWND window) {
    using Register = BOOL(WINAPI*)(HWND, DWORD);
    return gui::SystemFunction<Register>("wtsapi32.dll", "WTSRegisterSessionNotification")(
               window, NOTIFY_FOR_THIS_SESSION) != FALSE;
}

void UnregisterSessionNotification(HWND window) {
    using Unregister = BOOL(WINAPI*)(HWND);
    gui::SystemFunction<Unregister>("wtsapi32.dll", "WTSUnRegisterSessionNotification")(window);
}

} // namespace

TData::TData(FirstRunPort* firstRun, TrayBalloonPort* tray, std::unique_ptr<TargetWindowPort> targetWindows)
    : programPath_(ModuleFileName()), portable_(FileExists(BesideProgram(programPath_, PortableMarkerName))),
      firstRun_(firstRun), tray_(tray), registrar_(gui::App().Handle()), probe_(gui::App().Handle()),
      shell_(std::make_unique<Win32Shell>()),
      targetWindows_(targetWindows ? std::move(targetWindows) : MakeTargetWindowPort()) {
    Data = this;
    gui::App().OnHotkey = [this](unsigned modifiers, unsigned key) { HandleHotkey(modifiers, key); };
    sessionHook_ = gui::App().AddMessageHook(
        [this](UINT msg, WPARAM wParam, LPARAM, LRESULT&) { return SessionMessage(msg, wParam); });
    try {
        sessionNotifications_ = RegisterSessionNotification(gui::App().Handle());
    } catch (const Error&) {
        // Without wtsapi32 an unlock goes unnoticed; a resume still counts.
    }
    try {
        Start();
    } catch (...) {
        gui::App().HandleException();
    }
}

TData::~TData() {
    if (sessionNotifications_)
        UnregisterSessionNotification(gui::App().Handle());
    gui::App().RemoveMessageHook(sessionHook_);
    Stop();
    gui::App().OnHotkey = nullptr;
    Data = nullptr;
}

void TData::Start() {
    activeHotkeys_ = std::make_unique<THotkeyList>(registrar_);
    if (firstRun_) // once the loop runs, whatever fails below
        gui::App().Post([] {
            if (Data)
                Data->RunFirstStart();
        });
    if (!portable_) // a portable copy's folder is the program's own
        ForceDirectories(DirectoryOf(HotkeyFile()));
    LoadDocument();
    RegisterHotkeys(document_.Definitions());
}

void TData::Stop() {
    UnregisterAll();
    activeHotkeys_.reset();
}

std::string TData::AppDataFolder() const {
    wchar_t buffer[MAX_PATH + 1] = {};
    if (!SHGetSpecialFolderPathW(nullptr, buffer, CSIDL_APPDATA, FALSE) || buffer[0] == L'\0')
        throw Error("Windows cannot tell where the folder " + std::to_string(CSIDL_APPDATA) +
                    " of this user is");
    return Utf8(buffer);
}

std::string TData::HotkeyFile() const {
    return portable_ ? BesideProgram(programPath_, "hotkeys.ini") : HotkeyFilePath(AppDataFolder());
}

std::string TData::SettingsLocation() const {
    return portable_ ? BesideProgram(programPath_, PortableSettingsName) : SettingsKeyPath;
}

std::optional<std::string> TData::ReadSetting(const std::string& name) const {
    return portable_ ? ReadSettingsFileText(SettingsLocation(), name)
                     : gui::ReadUserText(SettingsLocation(), name);
}

void TData::WriteSetting(const std::string& name, const std::string& text) {
    if (portable_)
        WriteSettingsFileText(SettingsLocation(), name, text);
    else
        gui::WriteUserText(SettingsLocation(), name, text);
}

void TData::UnregisterAll() {
    if (activeHotkeys_)
        activeHotkeys_->Clear();
}

// Every definition of the file, active or not, and the log-on choice. A
// file that exists but cannot be read is left alone by every later save.
void TData::LoadDocument() {
    const std::string file = HotkeyFile();
    THotkeyList list(unregistered_);
    try {
        list.LoadFromFile(file, false);
    } catch (...) {
        unreadFile_ = file;
        throw;
    }
    document_.Load(list.Definitions(), !ReadLogonStartEntry().empty());
}

// The guide while the first use is not over; then, when still no file
// exists, the settings window. An unreadable "FirstUse" ends it here.
void TData::RunFirstStart() {
    ShowFirstUseWizardIfDue();
    if (!FileExists(HotkeyFile()))
        firstRun_->ShowSettingsForFirstRun();
}

void TData::ShowFirstUseWizardIfDue() {
    if (firstRun_ && !firstRun_->FirstUseWizardShown() && ReadFirstUse())
        firstRun_->ShowFirstUseWizard();
}

void TData::PostFirstUseCheck() {
    if (!firstRun_ || firstUseCheckPosted_)
        return;
    firstUseCheckPosted_ = true;
    gui::App().Post([] {
        if (!Data)
            return;
        Data->firstUseCheckPosted_ = false;
        Data->ShowFirstUseWizardIfDue();
    });
}

void TData::Commit(THotkeyDraft draft) {
    const std::vector<std::string> failures = document_.Commit(std::move(draft));
    if (!failures.empty()) {
        std::string text = "The hotkeys were saved, but not all of it went through:";
        for (const std::string& line : failures)
            text += "\n" + line;
        gui::App().Post([text] { gui::App().ShowException(text); });
    }
    PostFirstUseCheck();
}

void TData::WriteHotkeys(const std::vector<THotKeyData>& definitions) {
    const std::string file = HotkeyFile();
    if (file == unreadFile_)
        throw Error("The hotkeys are not saved: \"" + file +
                    "\" could not be read when Corvinade started, and saving would replace it");
    THotkeyList list(unregistered_);
    list.AddAll(definitions);
    list.SaveToFile(file);
}

// A portable copy writes the entry only to turn it on or off, as the
// document reads it: a save with the box as it was leaves the registry alone.
void TData::WriteLogonStart(bool enabled) {
    if (portable_ && !ReadLogonStartEntry().empty() == enabled)
        return;
    WriteLogonStartEntry(enabled);
}

void TData::WriteFirstUseDone() {
    WriteSetting(FirstUseValueName, "0");
}

// A failed hotkey is tried again; those that newly failed are announced.
void TData::RegisterHotkeys(const std::vector<THotKeyData>& definitions) {
    UnregisterAll();
    for (const THotKeyData& d : definitions)
        if (d.Active)
            activeHotkeys_->Add(d.Active, d.Key, d.Shift, d.Func, d.Params, d.Params2);
    activeHotkeys_->RegisterAll();
    AnnounceNewFailures();
}

void TData::AnnounceNewFailures() {
    if (tray_)
        registrationNotice_.Reloaded(*activeHotkeys_, keyNames_, *tray_);
}

// A missing key or value means the first use is not over; a value of the
// wrong type is an error.
bool TData::ReadFirstUse() const {
    return FlagFromText(ReadSetting(FirstUseValueName), true);
}

bool TData::SessionMessage(UINT msg, WPARAM wParam) {
    const bool unlocked = msg == WM_WTSSESSION_CHANGE && wParam == WTS_SESSION_UNLOCK;
    const bool resumed =
        msg == WM_POWERBROADCAST && (wParam == PBT_APMRESUMEAUTOMATIC || wParam == PBT_APMRESUMESUSPEND);
    if (unlocked || resumed)
        gui::App().Post([] {
            if (Data)
                Data->RegisterFailedAgain();
        });
    return false; // the default answers stand
}

// A registration the system holds stays; one that failed (another program
// held the combination, maybe one of a session now gone) is tried again
// the way a reload tries it, and the windows show the outcome.
void TData::RegisterFailedAgain() {
    if (!activeHotkeys_)
        return;
    for (int i = 0; i < activeHotkeys_->Count(); ++i)
        if (activeHotkeys_->Items(i)->Failed()) {
            document_.RegisterAgain();
            return;
        }
}

void TData::HandleHotkey(unsigned modifiers, unsigned key) {
    if (!activeHotkeys_)
        return;
    DispatchHotkeyMessage(WM_HOTKEY, MAKELONG(modifiers, key), *activeHotkeys_, *this, *shell_);
}

std::string TData::HotkeyText(std::uint16_t key, std::uint16_t shift) const {
    return corvinade::HotkeyText(key, shift, keyNames_);
}

TCombinationStatus TData::CheckCombination(std::int32_t key, std::int32_t shift, std::uint32_t except) {
    return corvinade::CheckCombination(key, shift, document_.Entries(), except, *activeHotkeys_, probe_);
}

std::string TData::CombinationStatusText(const TCombinationStatus& status) const {
    return corvinade::CombinationStatusText(status, keyNames_);
}

void TData::HeldElsewhereTold(std::int32_t key, std::int32_t shift) {
    registrationNotice_.Told(key, shift);
}

std::optional<std::int32_t>
TData::OfferedModifiers(std::int32_t key, std::int32_t shift,
                        const std::function<bool(const THotKeyData&)>& isSuggestion) {
    return corvinade::OfferedModifiers(key, shift, document_.Entries(), isSuggestion, *activeHotkeys_,
                                       probe_);
}

// The grab comes first, so the capture window is never part of its own image.
void TData::CaptureScreen(bool activeWindowOnly) {
    if (!captureWindows_)
        captureWindows_ = std::make_unique<CaptureWindowList>();
    corvinade::CaptureScreen(activeWindowOnly, *captureWindows_, tray_);
}

} // namespace corvinade
