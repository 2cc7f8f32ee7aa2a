// How the program's UTF-8 texts meet the bytes of text files: hotkeys.ini and
// the files whose content goes to the clipboard. Files written by earlier
// versions hold the system's ANSI code page, which a port translates.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace corvinade {

// The system's ANSI code page (CP_ACP on Windows).
class AnsiCodePage {
public:
    virtual ~AnsiCodePage() = default;
    virtual std::string ToUtf8(std::string_view bytes) const = 0;
    // nullopt when a character of the text has no exact form in the code page.
    virtual std::optional<std::string> FromUtf8(std::string_view utf8) const = 0;
};

// Windows-1252, the code page of western Windows: the native build's system
// code page, and a known one for tests.
class Windows1252 : public AnsiCodePage {
public:
    std::string ToUtf8(std::string_view bytes) const override;
    std::optional<std::string> FromUtf8(std::string_view utf8) const override;
};

// The system's code page: CP_ACP on Windows, Windows1252 elsewhere.
const AnsiCodePage& SystemCodePage();

// A file's bytes as UTF-8: a UTF-8 byte-order mark means UTF-8, a UTF-16 one
// (LE or BE) UTF-16; without a mark, bytes that are valid UTF-8 are UTF-8 and
// anything else is the ANSI code page. Invalid sequences become U+FFFD.
std::string DecodeFileText(std::string_view bytes, const AnsiCodePage& ansi);

// The bytes that hold the text: the ANSI code page when it can hold every
// character (what earlier versions wrote, byte for byte), else UTF-8 behind
// its byte-order mark. ASCII stays as it is.
std::string EncodeFileText(std::string_view utf8, const AnsiCodePage& ansi);

} // namespace corvinade
