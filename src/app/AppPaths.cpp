// Where the hotkey file and the settings live; see AppPaths.h.
#include "app/AppPaths.h"

#include "core/IniImage.h"
#include "core/TextEncoding.h"
#include "core/TextFile.h"

namespace corvinade {

namespace {

IniImage ReadSettingsFile(const std::string& file) {
    const std::optional<std::string> bytes = ReadTextFile(file);
    return bytes ? IniImage::Parse(DecodeFileText(*bytes, SystemCodePage())) : IniImage();
}

} // namespace

std::string HotkeyFilePath(const std::string& appDataFolder) {
    std::string path = appDataFolder;
    if (path.empty() || path.back() != '\\')
        path += '\\';
    return path + HotkeyFileTail;
}

std::string BesideProgram(const std::string& programPath, const std::string& name) {
    std::string folder = DirectoryOf(programPath);
    if (folder.back() != '\\' && folder.back() != '/')
        folder += '\\';
    return folder + name;
}

std::optional<std::string> ReadSettingsFileText(const std::string& file, const std::string& name) {
    return ReadSettingsFile(file).Read(PortableSettingsSection, name);
}

void WriteSettingsFileText(const std::string& file, const std::string& name, const std::string& text) {
    IniImage settings = ReadSettingsFile(file);
    settings.WriteString(PortableSettingsSection, name, text);
    ReplaceTextFile(file, EncodeFileText(settings.ToText(), SystemCodePage()));
}

bool FlagFromText(const std::optional<std::string>& text, bool missingValue) {
    if (!text)
        return missingValue;
    return ParseIniInteger(*text, missingValue ? 1 : 0) != 0;
}

} // namespace corvinade
