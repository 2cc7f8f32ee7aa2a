// The text work of the keystroke, web-site, clipboard and open-file actions,
// apart from the window system.
#pragma once

#include <string>
#include <string_view>

namespace corvinade {

class AnsiCodePage;

// "<?CR?>" becomes a carriage return, then "<?LF?>" a line feed; both exact
// and case-sensitive.
std::string DecodeLineBreakMarkers(std::string text);
// The other way, for the editors: every carriage return becomes "<?CR?>",
// then every line feed "<?LF?>", so a multi-line text fits on one line.
std::string EncodeLineBreakMarkers(const std::string& text);
// A text with markers as one line to read: each line break (CR LF, or
// either alone, in markers or as it is) shows as one space.
std::string LineBreaksAsSpaces(const std::string& text);

// The address with "http://" in front unless it begins with "http://" or
// "https://" in any letter case.
std::string WebsiteAddress(const std::string& address);

// A file's bytes as clipboard text: decoded by DecodeFileText, up to the
// first zero character, every line (ended by CR, LF or CR LF) followed by
// CR LF, the last one included.
std::string ClipboardTextFromFileBytes(std::string_view bytes, const AnsiCodePage& ansi);

// A 32-bit program on 64-bit Windows that names System32 gets SysWOW64,
// where many programs (osk.exe) do not exist. The same path through the
// "Sysnative" alias, which 32-bit programs see as the real System32, for a
// program (.exe, .com) in or under `windowsFolder`\System32, also written
// with %windir% or %SystemRoot%, in any letter case; any other path is
// returned as it is. Only for 32-bit programs on 64-bit Windows: other
// programs have no "Sysnative".
std::string SysnativePath(const std::string& path, const std::string& windowsFolder);

} // namespace corvinade
