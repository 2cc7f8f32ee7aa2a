// The maker's addresses, in one place. The reserved domain "example" never
// reaches a stranger's server.
#pragma once

namespace corvinade {

inline constexpr const char* MakerName = "Pelmorra Software";
inline constexpr const char* MakerWebSite = "http://www.pelmorra.example/";
inline constexpr const char* MakerSoftwareSite = "http://www.pelmorra.example/software/";
inline constexpr const char* MakerMail = "support@pelmorra.example";
// The settings under HKEY_CURRENT_USER.
inline constexpr const char* SettingsKeyPath = "Software\\Pelmorra\\Corvinade\\";
// The update endpoint used when the settings name none.
inline constexpr const char* MakerUpdateBase = "https://corvinade.example";

} // namespace corvinade
