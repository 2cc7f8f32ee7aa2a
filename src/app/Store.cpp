// The hotkey file and the settings; see Store.h.
#include "app/Store.h"

#include <windows.h>

#include <shlobj.h>

#include "app/AppPaths.h"
#include "core/Errors.h"
#include "core/Wide_win.h"
#include "gui/Registry.h"

namespace corvinade {

namespace {

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

} // namespace

Store::Store()
    : programPath_(ModuleFileName()), portable_(FileExists(BesideProgram(programPath_, PortableMarkerName))) {
}

std::string Store::AppDataFolder() const {
    wchar_t buffer[MAX_PATH + 1] = {};
    if (!SHGetSpecialFolderPathW(nullptr, buffer, CSIDL_APPDATA, FALSE) || buffer[0] == L'\0')
        throw Error("Windows cannot tell where the folder " + std::to_string(CSIDL_APPDATA) +
                    " of this user is");
    return Utf8(buffer);
}

std::string Store::HotkeyFile() const {
    return portable_ ? BesideProgram(programPath_, "hotkeys.ini") : HotkeyFilePath(AppDataFolder());
}

bool Store::HotkeyFileExists() const {
    return FileExists(HotkeyFile());
}

std::string Store::SettingsLocation() const {
    return portable_ ? BesideProgram(programPath_, PortableSettingsName) : SettingsKeyPath;
}

void Store::MakeHotkeyFolder() const {
    if (!portable_)
        ForceDirectories(DirectoryOf(HotkeyFile()));
}

std::optional<std::string> Store::ReadSetting(const std::string& name) const {
    return portable_ ? ReadSettingsFileText(SettingsLocation(), name)
                     : gui::ReadUserText(SettingsLocation(), name);
}

void Store::WriteSetting(const std::string& name, const std::string& text) {
    if (portable_)
        WriteSettingsFileText(SettingsLocation(), name, text);
    else
        gui::WriteUserText(SettingsLocation(), name, text);
}

std::vector<THotKeyData> Store::ReadHotkeys() {
    const std::string file = HotkeyFile();
    THotkeyList list(unregistered_);
    try {
        list.LoadFromFile(file, false);
    } catch (...) {
        unreadFile_ = file;
        throw;
    }
    return list.Definitions();
}

void Store::WriteHotkeys(const std::vector<THotKeyData>& definitions) {
    const std::string file = HotkeyFile();
    if (file == unreadFile_)
        throw Error("The hotkeys are not saved: \"" + file +
                    "\" could not be read when Corvinade started, and saving would replace it");
    THotkeyList list(unregistered_);
    list.AddAll(definitions);
    list.SaveToFile(file);
}

bool Store::ReadFirstUse() const {
    return FlagFromText(ReadSetting(FirstUseValueName), true);
}

void Store::WriteFirstUseDone() {
    WriteSetting(FirstUseValueName, "0");
}

std::optional<std::string> Store::ReadSettingText(const std::string& name) const {
    try {
        return ReadSetting(name);
    } catch (const Error&) {
        return std::nullopt;
    }
}

MarkStyle Store::ReadMarkStyle() const {
    return StyleFromTexts(ReadSettingText(MarkColourSetting), ReadSettingText(MarkWidthSetting),
                          ReadSettingText(RedactColourSetting), ReadSettingText(HighlightColourSetting));
}

void Store::WriteMarkStyle(const MarkStyle& style, const MarkStyle& before) {
    if (style.colour != before.colour)
        WriteSetting(MarkColourSetting, ColourText(style.colour));
    if (style.width != before.width)
        WriteSetting(MarkWidthSetting, std::to_string(style.width));
    if (style.redactColour != before.redactColour)
        WriteSetting(RedactColourSetting, ColourText(style.redactColour));
    if (style.highlightColour != before.highlightColour)
        WriteSetting(HighlightColourSetting, ColourText(style.highlightColour));
}

} // namespace corvinade
