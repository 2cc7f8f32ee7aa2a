// The text work of the keystroke, web-site and clipboard actions, apart from
// the window system.
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

// The address with "http://" in front unless it begins with "http://" or
// "https://" in any letter case.
std::string WebsiteAddress(const std::string& address);

// A file's bytes as clipboard text: decoded by DecodeFileText, up to the
// first zero character, every line (ended by CR, LF or CR LF) followed by
// CR LF, the last one included.
std::string ClipboardTextFromFileBytes(std::string_view bytes, const AnsiCodePage& ansi);

} // namespace corvinade
