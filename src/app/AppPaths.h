// Where Corvinade keeps its hotkey file and settings, and how a stored
// setting text reads as a flag. Portable.
#pragma once

#include <optional>
#include <string>

#include "core/Maker.h" // SettingsKeyPath
#include "core/Paths.h" // DirectoryOf

namespace corvinade {

constexpr const char* HotkeyFileTail = "Pelmorra\\Corvinade\\Data\\hotkeys.ini";
constexpr const char* FirstUseValueName = "FirstUse";
// "1" pauses the hotkeys while a program in front covers its monitor.
constexpr const char* PauseFullScreenValueName = "PauseFullScreen";

// A file of this name (any content) beside the program makes the copy
// portable: its hotkeys and settings live in the program's folder, and it
// writes nothing to the registry but the log-on entry the user asks for.
constexpr const char* PortableMarkerName = "portable";
constexpr const char* PortableSettingsName = "settings.ini";
constexpr const char* PortableSettingsSection = "Corvinade";

// The hotkey file under the application-data folder, with exactly one
// delimiter between the folder and "Pelmorra".
std::string HotkeyFilePath(const std::string& appDataFolder);
// A file of the program's folder (the marker, hotkeys.ini, the settings).
std::string BesideProgram(const std::string& programPath, const std::string& name);

// A value of a portable copy's settings file; nothing when the file or the
// value is missing. Throws Error when the file exists but cannot be read.
std::optional<std::string> ReadSettingsFileText(const std::string& file, const std::string& name);
// Sets the value, keeping the file's others, and replaces the file in one
// step; throws Error ("Cannot create file ...") and leaves the old file.
void WriteSettingsFileText(const std::string& file, const std::string& name, const std::string& text);

// A flag stored as text: an integer, non-zero true; a missing value or a text
// that is not an integer gives `missingValue`.
bool FlagFromText(const std::optional<std::string>& text, bool missingValue);

} // namespace corvinade
