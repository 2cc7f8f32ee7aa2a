#include "app/datau.h"

#include <shellapi.h>
#include <shlobj.h>

#include <optional>

#include "app/AppPaths.h"
#include "capture/CaptureTarget_win.h"
#include "capture/SaveCaptureU.h"
#include "core/Errors.h"
#include "gui/Application.h"
#include "gui/Handles.h"

namespace corvinade {

TData* Data = nullptr;

namespace {

class Win32Shell : public ShellPort {
public:
    void Execute(const char* verb, const char* file, const char* parameters, const char* directory,
                 int showCommand) override {
        ShellExecuteA(nullptr, verb, file, parameters, directory, showCommand);
    }
};

bool FileExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// Creates `folder` with every missing parent; failures show later, when a save fails.
void ForceDirectories(const std::string& folder) {
    for (std::size_t end = folder.find('\\');; end = folder.find('\\', end + 1)) {
        const std::string part = folder.substr(0, end);
        if (!part.empty() && part.back() != ':')
            CreateDirectoryA(part.c_str(), nullptr);
        if (end == std::string::npos)
            break;
    }
}

// A text value of a key, or nothing when the value is missing; a value of
// another type is an error.
std::optional<std::string> ReadRegistryText(HKEY key, const char* name) {
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return std::nullopt;
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        throw Error(std::string("Invalid data type for '") + name + "'");
    std::string text(size, '\0');
    if (size > 0 && RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(text.data()),
                                     &size) != ERROR_SUCCESS)
        return std::nullopt;
    text.resize(std::min<std::size_t>(size, text.size()));
    if (const auto nul = text.find('\0'); nul != std::string::npos)
        text.resize(nul);
    return text;
}

} // namespace

TData::TData(FirstRunPort* firstRun, TrayBalloonPort* tray)
    : firstRun_(firstRun), tray_(tray), registrar_(gui::App().Handle()),
      shell_(std::make_unique<Win32Shell>()) {
    Data = this;
    gui::App().OnMessage = [this](MSG& msg, bool& handled) { ApplicationEvents1Message(msg, handled); };
    try {
        DataModuleCreate();
    } catch (...) {
        gui::App().HandleException();
    }
}

TData::~TData() {
    DataModuleDestroy();
    gui::App().OnMessage = nullptr;
    Data = nullptr;
}

void TData::DataModuleCreate() {
    activeHotkeys_ = std::make_unique<THotkeyList>(registrar_);
    ForceDirectories(DirectoryOf(GetPath(0)));
    ReloadHotkeys();
    // No file yet: the first-use wizard was left without finishing.
    if (!FileExists(GetPath(0)) && firstRun_)
        firstRun_->ShowSettingsForFirstRun();
}

void TData::DataModuleDestroy() {
    UnregisterAll();
    activeHotkeys_.reset();
}

std::string TData::GetSpecialFolder(int csidl) const {
    char buffer[MAX_PATH + 1] = {};
    SHGetSpecialFolderPathA(nullptr, buffer, csidl, FALSE);
    return buffer;
}

std::string TData::GetPath(int kind) const {
    if (kind == 0)
        return HotkeyFilePath(GetSpecialFolder(CSIDL_APPDATA_FOLDER));
    return SettingsKeyPath;
}

void TData::UnregisterAll() {
    if (activeHotkeys_)
        activeHotkeys_->Clear();
}

void TData::LoadAllHotkeys(THotkeyList& list) const {
    const std::string file = GetPath(0);
    if (FileExists(file))
        list.LoadFromFile(file, false);
    else
        list.Clear();
}

void TData::LoadAndRegister() {
    UnregisterAll();
    const std::string file = GetPath(0);
    if (FileExists(file)) {
        activeHotkeys_->LoadFromFile(file, true);
        activeHotkeys_->RegisterAll();
    }
}

// The first-use wizard comes with every reload until it is finished (a
// value of the wrong type is an error here). When it ends with OK, the
// hotkeys it wrote are registered at once, not at the next reload. New
// failures are announced once, after all of it, whatever happened.
void TData::ReloadHotkeys() {
    LoadAndRegister();
    bool wizardWroteHotkeys = false;
    try {
        wizardWroteHotkeys = ReadFirstUse() && firstRun_ && !firstRun_->FirstUseWizardShown() &&
                             firstRun_->ShowFirstUseWizard();
    } catch (...) {
        AnnounceNewFailures();
        throw;
    }
    if (wizardWroteHotkeys)
        LoadAndRegister();
    AnnounceNewFailures();
}

void TData::AnnounceNewFailures() {
    if (tray_)
        registrationNotice_.Reloaded(*activeHotkeys_, keyNames_, *tray_);
}

bool TData::ReadFirstUse() const {
    HKEY raw = nullptr;
    const LONG status = RegCreateKeyExA(HKEY_CURRENT_USER, GetPath(1).c_str(), 0, nullptr,
                                        REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &raw, nullptr);
    if (status != ERROR_SUCCESS)
        throw Error("Failed to open the settings key \"" + GetPath(1) + "\"");
    gui::RegistryKey key(raw);
    return FlagFromText(ReadRegistryText(key.Get(), FirstUseValueName), true);
}

void TData::ApplicationEvents1Message(MSG& msg, bool& /*handled*/) {
    if (!activeHotkeys_)
        return;
    DispatchHotkeyMessage(msg.message, static_cast<std::uint32_t>(msg.lParam), *activeHotkeys_, *this,
                          *shell_);
}

std::string TData::HotkeyText(std::uint16_t key, std::uint16_t shift) const {
    return corvinade::HotkeyText(key, shift, keyNames_);
}

void TData::CaptureScreen(bool activeWindowOnly) {
    if (!captureWindows_)
        captureWindows_ = std::make_unique<CaptureWindowList>();
    corvinade::CaptureScreen(activeWindowOnly, *captureWindows_, tray_);
}

} // namespace corvinade
