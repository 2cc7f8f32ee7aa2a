// End-to-end tests of the clipboard actions: the hotkeys place a text or a
// file's content, and the test reads the clipboard from its own process.
#include "ActionTest.h"

#include <fstream>

namespace corvinade::test {
namespace {

// The test's temporary folder, where it writes the files to place.
std::string TempFile(const std::string& name) {
    char folder[MAX_PATH + 1] = {};
    GetTempPathA(sizeof folder, folder);
    return std::string(folder) + name;
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.flush()) << "cannot write " << path;
}

std::string CurrentFolder() {
    char folder[MAX_PATH + 1] = {};
    GetCurrentDirectoryA(sizeof folder, folder);
    return folder;
}

// Where two long texts part, for a failure message that does not print them whole.
std::string FirstDifference(const std::string& actual, const std::string& expected) {
    size_t at = 0;
    while (at < actual.size() && at < expected.size() && actual[at] == expected[at])
        ++at;
    return "sizes " + std::to_string(actual.size()) + " and " + std::to_string(expected.size()) +
           ", first difference at " + std::to_string(at) + ": " +
           ::testing::PrintToString(actual.substr(at, 20)) + " instead of " +
           ::testing::PrintToString(expected.substr(at, 20));
}

class ActionsClipboardTest : public ActionTest {
protected:
    static constexpr const char* Before = "before the action";

    // Puts Before in the clipboard, presses the hotkey and returns the text
    // the clipboard holds once it has changed.
    static std::optional<std::string> PlaceWith(UINT key, UINT shift) {
        SetClipboardText(Before);
        return PressAndReadClipboard(key, shift);
    }
};

// The text goes as stored, its markers as the line breaks its editor wrote
// them for, and an empty parameter gives an empty text, not an empty
// clipboard. The file is in the ANSI code page (1252 here), as earlier
// versions wrote it: 0xE9 is "é".
TEST_F(ActionsClipboardTest, PlacesTheTextAsStored) {
    struct Case {
        UINT key;
        std::string params;
        std::string text;
    };
    const Case cases[] = {{'A', "a<?CR?><?LF?>b  c<?LF?> {ENTER} caf\xE9", "a\r\nb  c\n {ENTER} caf\xC3\xA9"},
                          {'B', "", ""}};
    std::vector<HotkeyEntry> entries;
    for (const Case& c : cases)
        entries.push_back(Hotkey(c.key, ModWin, "placeinclipboard", c.params));
    ASSERT_NO_FATAL_FAILURE(StartCorvinade(entries));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.params);
        EXPECT_EQ(PlaceWith(c.key, ModWin), c.text);
    }
}

// A hotkeys.ini in UTF-8 holds texts no code page has; the clipboard gets
// them whole as Unicode text.
TEST_F(ActionsClipboardTest, PlacesAnyTextOfAUtf8File) {
    const std::string text =
        "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82 \xE4\xB8\xAD\xE6\x96\x87 caf\xC3\xA9 "
        "\xE2\x9C\x93 \xF0\x9F\x98\x80";
    ASSERT_NO_FATAL_FAILURE(StartCorvinade({Hotkey('U', ModWin, "placeinclipboard", text)}));
    EXPECT_EQ(PlaceWith('U', ModWin), text);
}

// The user's application-data folder is named outside the code page:
// hotkeys.ini lives under it and loads whole.
TEST_F(ActionsClipboardTest, HotkeysFileUnderAProfileNamedOutsideTheCodePage) {
    const std::string appData = MakeUnicodeFolder();
    SetUserShellFolder("AppData", appData);
    ASSERT_EQ(HotkeysIniPath().rfind(appData, 0), 0u) << HotkeysIniPath();
    const std::string text = "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82 \xE4\xB8\xAD\xE6\x96\x87";
    ASSERT_NO_FATAL_FAILURE(StartCorvinade({Hotkey('U', ModWin, "placeinclipboard", text)}));
    EXPECT_EQ(PlaceWith('U', ModWin), text);
}

// Line ends of every kind become CR LF, the last line gets one, a zero byte
// ends the text, an empty file gives an empty text. The file is read as
// hotkeys.ini is: byte-order marks, then UTF-8, then the ANSI code page.
TEST_F(ActionsClipboardTest, PlacesFileContentWithCrLfLineEnds) {
    struct Case {
        UINT key;
        std::string file;
        std::string bytes;
        std::string expected;
    };
    const Case cases[] = {
        {'A', "lf.txt", "one\ntwo\n", "one\r\ntwo\r\n"},
        {'B', "mixed.txt", "a\rb\r\nc\n\nd", "a\r\nb\r\nc\r\n\r\nd\r\n"},
        {'C', "zero.txt", std::string("keep\nthis\0dropped\nmore\n", 23), "keep\r\nthis\r\n"},
        {'D', "empty.txt", "", ""},
        {'F', "cr-end.txt", "caf\xE9\r\r\n\xFF", "caf\xC3\xA9\r\n\r\n\xC3\xBF\r\n"},
        {'G', "utf8.txt", "\xE4\xB8\xAD\n\xF0\x9F\x98\x80", "\xE4\xB8\xAD\r\n\xF0\x9F\x98\x80\r\n"},
        {'H', "utf16.txt", std::string("\xFF\xFE\x1F\x04\n\0\x2D\x4E\x3D\xD8\0\xDE", 12),
         "\xD0\x9F\r\n\xE4\xB8\xAD\xF0\x9F\x98\x80\r\n"},
    };
    std::vector<HotkeyEntry> entries;
    for (const Case& c : cases) {
        ASSERT_NO_FATAL_FAILURE(WriteFile(TempFile(c.file), c.bytes));
        entries.push_back(Hotkey(c.key, ModWin, "placefilecontentinclipboard", TempFile(c.file)));
    }
    ASSERT_NO_FATAL_FAILURE(StartCorvinade(entries));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        EXPECT_EQ(PlaceWith(c.key, ModWin), c.expected);
    }
}

// Tens of megabytes arrive whole, line ends converted.
TEST_F(ActionsClipboardTest, PlacesALargeFileWhole) {
    constexpr size_t Lines = 2'400'000; // 13 bytes each: about 31 MB
    std::string bytes;
    std::string expected;
    bytes.reserve(Lines * 13);
    expected.reserve(Lines * 14);
    char line[32];
    for (size_t i = 0; i < Lines; ++i) {
        const int length = snprintf(line, sizeof line, "line %07u", static_cast<unsigned>(i));
        bytes.append(line, length).push_back('\n');
        expected.append(line, length).append("\r\n");
    }
    ASSERT_NO_FATAL_FAILURE(WriteFile(TempFile("large.txt"), bytes));
    ASSERT_NO_FATAL_FAILURE(
        StartCorvinade({Hotkey('L', ModWin, "placefilecontentinclipboard", TempFile("large.txt"))}));

    const std::optional<std::string> text = PlaceWith('L', ModWin);
    ASSERT_TRUE(text.has_value()) << "no text in the clipboard";
    EXPECT_TRUE(*text == expected) << FirstDifference(*text, expected);
}

// A missing file, named relative to the program's folder, is reported with
// its full path and the system's text; the clipboard stays as it was.
TEST_F(ActionsClipboardTest, MissingFileShowsTheErrorAndLeavesTheClipboard) {
    const std::string name = "no-such-file.txt";
    RecorderLog log;
    ASSERT_NO_FATAL_FAILURE(StartCorvinade(
        {Hotkey('M', ModWin, "placefilecontentinclipboard", name),
         {true, 'R', static_cast<int>(ModWin), "openfile", TestProgram("recorder.exe"), "after"}}));
    SetClipboardText(Before);
    const DWORD sequence = GetClipboardSequenceNumber();

    PressHotkey('M', ModWin);
    const HWND box = WaitForErrorBox();
    ASSERT_NE(box, nullptr) << "no error box";
    const std::string fullPath = CurrentFolder() + "\\" + name;
    EXPECT_EQ(MessageBoxText(box), ErrorDisplayText("Cannot open file \"" + fullPath + "\". " +
                                                    SystemMessage(ERROR_FILE_NOT_FOUND)));
    ASSERT_TRUE(ClickButton(box, "OK"));
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(box); })) << "OK did not close the box";
    // The program handles its hotkeys one after the other: once the next one
    // has started its program, the failed action is wholly over.
    PressHotkey('R', ModWin);
    ASSERT_TRUE(log.WaitForRuns(1));
    EXPECT_EQ(GetClipboardSequenceNumber(), sequence) << "the clipboard was changed";
    EXPECT_EQ(ClipboardText(), Before);
    ASSERT_NO_FATAL_FAILURE(ProveHotkeysWork());
}

// While another program holds the clipboard open, both actions report
// "Cannot open clipboard" and change nothing; once it lets go they work.
TEST_F(ActionsClipboardTest, BusyClipboardShowsTheErrorAndStaysUnchanged) {
    ASSERT_NO_FATAL_FAILURE(WriteFile(TempFile("some.txt"), "some\n"));
    const UINT keys[] = {'T', 'F'};
    ASSERT_NO_FATAL_FAILURE(
        StartCorvinade({Hotkey(keys[0], ModWin, "placeinclipboard", "text"),
                        Hotkey(keys[1], ModWin, "placefilecontentinclipboard", TempFile("some.txt"))}));
    TestWindow owner(WS_OVERLAPPEDWINDOW, "Clipboard holder");
    for (const UINT key : keys) {
        SCOPED_TRACE(HotkeyAtomName(key, ModWin));
        SetClipboardText(Before);
        const DWORD sequence = GetClipboardSequenceNumber();
        ClipboardHolder holder(owner.Handle());
        ASSERT_TRUE(holder.Holds());

        PressHotkey(key, ModWin);
        const HWND box = WaitForErrorBox();
        ASSERT_NE(box, nullptr) << "no error box";
        EXPECT_EQ(MessageBoxText(box), "Cannot open clipboard.");
        ASSERT_TRUE(ClickButton(box, "OK"));
        ASSERT_TRUE(WaitFor([&] { return !IsWindow(box); })) << "OK did not close the box";
        holder.Release();
        EXPECT_EQ(GetClipboardSequenceNumber(), sequence) << "the clipboard was changed";
        EXPECT_EQ(ClipboardText(), Before);
    }
    EXPECT_EQ(PlaceWith(keys[0], ModWin), "text");
    EXPECT_EQ(PlaceWith(keys[1], ModWin), "some\r\n");
}

} // namespace
} // namespace corvinade::test
