// Import and export of hotkeys: files read and written by the rules of
// hotkeys.ini, an import added to or replacing the user's draft; and a
// portable copy's settings file.
#include "core/HotkeyTransfer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "app/AppPaths.h"
#include "core/Errors.h"

namespace corvinade {
namespace {

namespace fs = std::filesystem;
using A = THotkeyAction;
using ::testing::ElementsAre;
using ::testing::Field;

const THotKeyData Notepad{true, 'N', 8, A::OpenFile, "notepad.exe", ""};
const THotKeyData Capture{true, 'S', 8, A::CaptureScreen, "", ""};
const THotKeyData Site{true, 'K', 8, A::OpenWebsite, "example.org", ""};

std::vector<THotKeyData> Definitions(const THotkeyDraft& draft) {
    std::vector<THotKeyData> out;
    for (const THotkeyEntry& e : draft.Entries)
        out.push_back(e.Definition);
    return out;
}

// A definition whose action this version does not know, as a newer file holds it.
THotKeyData Later() {
    THotKeyData d{true, 'L', 8, A::None, "", ""};
    d.UnknownAction = "x-later-action";
    d.Lines = {{"func", "x-later-action"}, {"active", "1"}, {"key", "76"}, {"shift", "8"}};
    return d;
}

// Adding: what the list has (active or not) and what the file repeats is
// skipped; the rest goes to the end as new entries, an unknown action
// among them, the list's own keep their identities.
TEST(HotkeyImport, AddingSkipsWhatTheListHoldsAndAppendsTheRest) {
    THotkeyDraft draft{{{7, Notepad}, {9, Capture}}, std::nullopt, false};
    THotKeyData inactiveNotepad = Notepad;
    inactiveNotepad.Active = false;
    THotKeyData otherParameter = Notepad;
    otherParameter.Params = "notepad.exe x.txt";
    THotKeyData laterDelayed = Later();
    laterDelayed.Lines.push_back({"zoom", "2"}); // a value this version does not read
    const TImportCount count =
        MergeImport(draft, {{inactiveNotepad, Site, otherParameter, Site, Later(), laterDelayed, Later()}},
                    TImportMode::Add);

    EXPECT_EQ(count.Added, 4);
    EXPECT_EQ(count.Skipped, 3);
    EXPECT_THAT(Definitions(draft),
                ElementsAre(Notepad, Capture, Site, otherParameter, Later(), laterDelayed));
    EXPECT_THAT(draft.Entries, ElementsAre(Field(&THotkeyEntry::Id, 7), Field(&THotkeyEntry::Id, 9),
                                           Field(&THotkeyEntry::Id, 0), Field(&THotkeyEntry::Id, 0),
                                           Field(&THotkeyEntry::Id, 0), Field(&THotkeyEntry::Id, 0)));
    EXPECT_FALSE(draft.LogonStart) << "an import leaves the log-on entry alone";
}

TEST(HotkeyImport, ReplacingTakesTheFileAsItIs) {
    THotkeyDraft draft{{{7, Notepad}, {9, Capture}}, std::nullopt, false};
    const TImportCount count = MergeImport(draft, {{Site, Notepad, Site}}, TImportMode::Replace);
    EXPECT_EQ(count.Added, 3);
    EXPECT_EQ(count.Skipped, 0);
    EXPECT_THAT(Definitions(draft), ElementsAre(Site, Notepad, Site));
    EXPECT_THAT(draft.Entries, testing::Each(Field(&THotkeyEntry::Id, 0)));
}

// The preview says of each hotkey of the file what adding does with it:
// new, already in the list (or earlier in the file), or not allowed (no
// key, or a combination the wizard refuses: no modifier, SHIFT alone with
// a character key); a section whose action this version does not know comes
// as it is. What is allowed is what an import brings in. Its lines and the
// result say so plainly.
TEST(HotkeyImport, PreviewSortsTheFileAndSaysPlainlyWhatAnImportDoes) {
    const THotkeyEntries held{{7, Notepad}, {9, Capture}};
    THotKeyData inactiveNotepad = Notepad;
    inactiveNotepad.Active = false;
    const THotKeyData bare{true, 'K', 0, A::OpenWebsite, "example.org", ""};
    const THotKeyData shifted{true, 'K', ModifierShift, A::OpenWebsite, "example.org", ""};
    const THotKeyData noKey{true, 0, ModifierWin, A::OpenWebsite, "example.org", ""};
    const THotKeyData shiftedF5{true, 0x74, ModifierShift, A::Close, "", ""};
    THotKeyData laterBare = Later();
    laterBare.Shift = 0;
    const TImportPreview preview =
        PreviewImport(held, {{inactiveNotepad, Site, bare, Site, shifted, noKey, shiftedF5, laterBare}});
    using F = TImportFate;
    std::vector<F> fates;
    for (const TImportItem& item : preview.Items)
        fates.push_back(item.Fate);
    EXPECT_THAT(fates, ElementsAre(F::AlreadyInList, F::New, F::NotAllowed, F::AlreadyInList, F::NotAllowed,
                                   F::NotAllowed, F::New, F::New));
    EXPECT_EQ(ImportRefusal(bare), "Not allowed: no ALT, CTRL, SHIFT or WIN");
    EXPECT_EQ(ImportRefusal(shifted), "Not allowed: SHIFT alone with a character key");
    EXPECT_EQ(ImportRefusal(noKey), "Not allowed: no key");
    EXPECT_THAT(preview.Allowed().Definitions,
                ElementsAre(inactiveNotepad, Site, Site, shiftedF5, laterBare));
    EXPECT_EQ(ImportPreviewText(preview),
              "3 are new (1 with an action this version does not know, kept but not run); 2 are already in "
              "your list; 3 are not allowed and stay out.");
    EXPECT_EQ(ImportResultText(preview, TImportMode::Add),
              "Added 3 hotkeys (1 with an action this version does not know, kept but not run); 2 were "
              "already in your list; 3 were not allowed.");
    EXPECT_EQ(ImportResultText(preview, TImportMode::Replace),
              "Replaced your hotkeys with the 5 hotkeys of the file (1 with an action this version does not "
              "know, kept but not run); 3 were not allowed.");

    struct Case {
        std::vector<THotKeyData> file;
        const char* added;
    };
    const Case cases[] = {
        {{Notepad, Capture, inactiveNotepad, Capture}, "All 4 hotkeys in the file are already in your list."},
        {{Capture}, "The hotkey in the file is already in your list."},
        {{Site, Notepad}, "Added 1 hotkey; 1 was already in your list."},
        {{Site}, "Added 1 hotkey."},
        {{bare, Notepad}, "No hotkey was added; 1 was already in your list; 1 was not allowed."},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ImportResultText(PreviewImport(held, {c.file}), TImportMode::Add), c.added);
}

class TransferFile : public testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "corvinade-transfer-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::string Path(const std::string& name) const { return (dir_ / name).string(); }
    void Write(const std::string& name, const std::string& content) const {
        std::ofstream(Path(name), std::ios::binary) << content;
    }
    std::string Read(const std::string& name) const {
        std::ifstream in(Path(name), std::ios::binary);
        std::ostringstream out;
        out << in.rdbuf();
        return out.str();
    }

    fs::path dir_;
};

// Sections without a known action come as they are, as hotkeys.ini keeps
// them; inactive ones come along; an export reads back as it was.
TEST_F(TransferFile, ReadsByTheRulesOfHotkeysIniAndExportsReadBack) {
    Write("in.ini",
          "; mine\n[a]\nactive=0\nkey=0x4B\nshift=8\nfunc=openwebsite\nparams= example.org \n"
          "[b]\nactive=1\nfunc=Maximize\n[c]\nkey=3\n[d]\nactive=1\nkey=83\nshift=8\nfunc=capturescreen\n");
    const THotkeyFileContent content = ReadHotkeyFile(Path("in.ini"));
    THotKeyData inactiveSite = Site;
    inactiveSite.Active = false;
    ASSERT_EQ(content.Definitions.size(), 4u);
    EXPECT_EQ(content.Definitions[0], inactiveSite);
    EXPECT_EQ(ActionDisplayName(content.Definitions[1]), "Unknown action: Maximize");
    EXPECT_EQ(ActionDisplayName(content.Definitions[2]), "Unknown action");
    EXPECT_EQ(content.Definitions[3], Capture);

    WriteHotkeyFile(Path("out.ini"), {Notepad, inactiveSite});
    EXPECT_THAT(ReadHotkeyFile(Path("out.ini")).Definitions, ElementsAre(Notepad, inactiveSite));
    EXPECT_THAT(Read("out.ini"),
                testing::StartsWith("[key0]\r\nactive=1\r\nkey=78\r\nshift=8\r\nfunc=openfile\r\n"));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 2)
        << "no temporary file is left";
}

// A file larger than any hotkey file is refused before it is read.
TEST_F(TransferFile, AFileOverFourMegabytesIsRefused) {
    Write("big.ini", "[a]\nfunc=close\n" + std::string(HotkeyFileSizeLimit, ';'));
    try {
        ReadHotkeyFile(Path("big.ini"));
        ADD_FAILURE() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()),
                  "\"" + Path("big.ini") + "\" is too large to be a hotkey file (5 MB; at most 4 MB).");
    }
    Write("big.ini", "[a]\nfunc=close\n" + std::string(HotkeyFileSizeLimit - 16, ';'));
    EXPECT_EQ(ReadHotkeyFile(Path("big.ini")).Definitions.size(), 1u) << "exactly 4 MB is read";
}

// A portable copy's "FirstUse": missing until written, written beside what
// else the file holds.
TEST_F(TransferFile, PortableSettingsKeepTheirOtherValues) {
    EXPECT_EQ(ReadSettingsFileText(Path("settings.ini"), FirstUseValueName), std::nullopt);
    Write("settings.ini", "[Corvinade]\r\nMine=x\r\n");
    WriteSettingsFileText(Path("settings.ini"), FirstUseValueName, "0");
    EXPECT_EQ(Read("settings.ini"), "[Corvinade]\r\nMine=x\r\nFirstUse=0\r\n\r\n");
    EXPECT_EQ(ReadSettingsFileText(Path("settings.ini"), "firstuse"), "0");
    EXPECT_EQ(BesideProgram("D:\\Tools\\Corvinade\\corvinade.exe", "portable"),
              "D:\\Tools\\Corvinade\\portable");
    EXPECT_EQ(BesideProgram("D:\\corvinade.exe", "hotkeys.ini"), "D:\\hotkeys.ini");
}

} // namespace
} // namespace corvinade
