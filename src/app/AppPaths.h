// Where Corvinade keeps its hotkey file and settings, and how a stored
// setting text reads as a flag. Portable.
#pragma once

#include <optional>
#include <string>

#include "core/Maker.h" // SettingsKeyPath
#include "core/Paths.h" // DirectoryOf

namespace corvinade {

constexpr int CSIDL_APPDATA_FOLDER = 26;
constexpr const char* HotkeyFileTail = "Pelmorra\\Corvinade\\Data\\hotkeys.ini";
constexpr const char* FirstUseValueName = "FirstUse";

// The hotkey file under the application-data folder, with exactly one
// delimiter between the folder and "Pelmorra".
std::string HotkeyFilePath(const std::string& appDataFolder);

// A flag stored as text: an integer, non-zero true; a missing value or a text
// that is not an integer gives `missingValue`.
bool FlagFromText(const std::optional<std::string>& text, bool missingValue);

} // namespace corvinade
