// Where the hotkeys and the settings live, and their reading and writing:
// hotkeys.ini in the user's application-data folder and "FirstUse" under the
// user's settings key, or, for a portable copy (a file named "portable"
// beside the program), both beside the program. Decided once, at start.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "capture/MarkTools.h"
#include "core/Hotkeys.h"

namespace corvinade {

class Store {
public:
    Store();
    Store(const Store&) = delete;
    Store& operator=(const Store&) = delete;

    // The hotkeys and "FirstUse" live beside the program, and the registry
    // is left alone but for the log-on entry the user asks for.
    bool Portable() const { return portable_; }
    // The hotkey file. Throws Error when the system cannot tell the user's
    // application-data folder.
    std::string HotkeyFile() const;
    bool HotkeyFileExists() const;
    // The settings key under HKEY_CURRENT_USER, or a portable copy's
    // settings file.
    std::string SettingsLocation() const;

    // Makes the hotkey file's folder with every missing parent (a portable
    // copy's is the program's own); a failure shows at the first save.
    void MakeHotkeyFolder() const;
    // Every definition of the file, active or not. A file that exists but
    // cannot be read throws, and is left alone by every later save.
    std::vector<THotKeyData> ReadHotkeys();
    // Replaces the file in one step; throws Error and changes nothing when
    // it cannot, or when the file could not be read at start.
    void WriteHotkeys(const std::vector<THotKeyData>& definitions);
    // A missing value means the first use is not over; a value of the
    // wrong type is an error.
    bool ReadFirstUse() const;
    void WriteFirstUseDone();
    // The colour and width the capture windows' marks are made with. A value
    // that is no colour or width (another type, a text of a later version)
    // reads as the default and stays as it is until the user picks another.
    MarkStyle ReadMarkStyle() const;
    // Writes the values that differ from `before`, and only those.
    void WriteMarkStyle(const MarkStyle& style, const MarkStyle& before);

private:
    std::string AppDataFolder() const;
    std::optional<std::string> ReadSetting(const std::string& name) const;
    // The text, nothing when the value is missing or is not a text.
    std::optional<std::string> ReadSettingText(const std::string& name) const;
    void WriteSetting(const std::string& name, const std::string& text);

    const std::string programPath_;
    const bool portable_;
    std::string unreadFile_;
    UnregisteredPort unregistered_; // the lists that read and write the file
};

} // namespace corvinade
