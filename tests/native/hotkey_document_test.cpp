// The hotkey document's commit: what it writes in which order, what a failed
// step leaves, the identities windows keep, and who is told.
#include "core/HotkeyDocument.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "core/Errors.h"

namespace corvinade {
namespace {

using ::testing::ElementsAre;

// Records the commit's steps; each can be made to fail.
class RecordingStore : public HotkeyStorePort {
public:
    void WriteHotkeys(const std::vector<THotKeyData>& definitions) override {
        Step("file", failFile);
        file = definitions;
    }
    void WriteLogonStart(bool enabled) override { Step(enabled ? "logon on" : "logon off", failLogon); }
    void WriteFirstUseDone() override { Step("first use", failFirstUse); }
    void RegisterHotkeys(const std::vector<THotKeyData>& definitions) override {
        Step("register", false);
        registered = definitions;
    }

    std::vector<std::string> steps;
    std::vector<THotKeyData> file, registered;
    bool failFile = false, failLogon = false, failFirstUse = false;

private:
    void Step(const std::string& name, bool fail) {
        steps.push_back(name);
        if (fail)
            throw Error("refused");
    }
};

const THotKeyData Notepad{true, 'N', 8, THotkeyAction::OpenFile, "notepad.exe", ""};
const THotKeyData Capture{true, 'S', 8, THotkeyAction::CaptureScreen, "", ""};
const THotKeyData Close{false, 'Q', 2, THotkeyAction::Close, "", ""};

class HotkeyDocumentTest : public ::testing::Test {
protected:
    HotkeyDocumentTest() {
        document.Load({Notepad, Capture});
        document.Subscribe([this] { told.push_back(document.Definitions()); });
    }
    RecordingStore store;
    THotkeyDocument document{store};
    std::vector<std::vector<THotKeyData>> told; // what subscribers saw, per commit
};

// The guide's commit with the log-on box ticked: the file, the entry, the
// registrations, then the windows, each seeing the new content.
TEST_F(HotkeyDocumentTest, CommitWritesThenRegistersThenTells) {
    THotkeyDraft draft = document.Draft();
    draft.Entries[1].Definition = Close;
    draft.LogonStart = true;
    EXPECT_TRUE(document.Commit(draft).empty());
    EXPECT_THAT(store.steps, ElementsAre("file", "logon on", "register"));
    EXPECT_THAT(store.file, ElementsAre(Notepad, Close));
    EXPECT_EQ(store.registered, store.file);
    EXPECT_THAT(told, ElementsAre(ElementsAre(Notepad, Close)));
}

// Only what the draft asks for is written: a wizard's new hotkey (or a
// row's save) leaves the log-on entry and the first use alone; the guide
// writes both.
TEST_F(HotkeyDocumentTest, LogonAndFirstUseAreWrittenOnlyWhenAsked) {
    THotkeyDraft added = document.Draft();
    added.Entries.push_back({0, Close});
    document.Commit(added);
    EXPECT_THAT(store.steps, ElementsAre("file", "register"));

    store.steps.clear();
    THotkeyDraft guide = document.Draft();
    guide.LogonStart = false;
    guide.FirstUseDone = true;
    document.Commit(guide);
    EXPECT_THAT(store.steps, ElementsAre("file", "logon off", "first use", "register"));
}

// A file that cannot be written: nothing else happens and nothing changes.
TEST_F(HotkeyDocumentTest, FailedFileChangesNothing) {
    store.failFile = true;
    THotkeyDraft draft = document.Draft();
    draft.Entries.clear();
    draft.LogonStart = true;
    EXPECT_THROW(document.Commit(draft), Error);
    EXPECT_THAT(store.steps, ElementsAre("file"));
    EXPECT_THAT(document.Definitions(), ElementsAre(Notepad, Capture));
    EXPECT_TRUE(told.empty());
}

// A step after the file fails: the saved hotkeys stay saved, registered and
// shown, and the failures are named.
TEST_F(HotkeyDocumentTest, FailureAfterTheFileKeepsWhatWasSaved) {
    store.failLogon = store.failFirstUse = true;
    THotkeyDraft draft = document.Draft();
    draft.Entries.push_back({0, Close});
    draft.LogonStart = true;
    draft.FirstUseDone = true;
    const std::vector<std::string> failures = document.Commit(draft);
    EXPECT_THAT(failures, ElementsAre("Start at log-on was not turned on: refused",
                                      "The end of the setup guide was not recorded: refused"));
    EXPECT_THAT(store.steps, ElementsAre("file", "logon on", "first use", "register"));
    EXPECT_THAT(document.Definitions(), ElementsAre(Notepad, Capture, Close));
    EXPECT_THAT(store.registered, ElementsAre(Notepad, Capture, Close));
    EXPECT_EQ(told.size(), 1u);
}

// Identities: kept across commits and moves, new ones for new entries,
// never reused; a stale or doubled identity becomes a new entry.
TEST_F(HotkeyDocumentTest, EntriesKeepTheirIdentity) {
    const std::uint32_t notepad = document.Entries()[0].Id, capture = document.Entries()[1].Id;
    EXPECT_NE(notepad, capture);
    THotkeyDraft draft = document.Draft();
    std::swap(draft.Entries[0], draft.Entries[1]); // moved to the end, as the guide does
    draft.Entries.push_back({0, Close});
    document.Commit(draft);
    EXPECT_EQ(document.IndexOf(notepad), 1);
    EXPECT_EQ(document.IndexOf(capture), 0);
    const std::uint32_t close = document.Entries()[2].Id;
    EXPECT_NE(close, 0u);
    EXPECT_NE(close, notepad);

    THotkeyDraft removed = document.Draft();
    removed.Entries.erase(removed.Entries.begin()); // capture deleted
    document.Commit(removed);
    EXPECT_EQ(document.Find(capture), nullptr);

    THotkeyDraft stale = document.Draft();
    stale.Entries.push_back({capture, Capture}); // a window still holding the deleted one
    stale.Entries.push_back({notepad, Notepad}); // and one used twice
    document.Commit(stale);
    const THotkeyEntries& e = document.Entries();
    ASSERT_EQ(e.size(), 4u);
    EXPECT_EQ(e[0].Id, notepad);
    EXPECT_NE(e[2].Id, capture);
    EXPECT_NE(e[3].Id, notepad);
    EXPECT_NE(e[2].Id, e[3].Id);
}

// A subscriber that unsubscribes another while being told (a window that
// closes one): the other is not called.
TEST_F(HotkeyDocumentTest, UnsubscribedDuringNotificationIsNotTold) {
    int second = 0, calls = 0;
    document.Subscribe([&] { document.Unsubscribe(second); });
    second = document.Subscribe([&] { ++calls; });
    document.Commit(document.Draft());
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(told.size(), 1u);
}

TEST_F(HotkeyDocumentTest, ActiveCombinationLookupSkipsInactiveAndSelf) {
    THotkeyDraft draft = document.Draft();
    draft.Entries.push_back({0, Close});
    document.Commit(draft);
    const std::uint32_t notepad = document.Entries()[0].Id;
    EXPECT_EQ(document.ActiveWithCombination('N', 8)->Id, notepad);
    EXPECT_EQ(document.ActiveWithCombination('N', 8, notepad), nullptr);
    EXPECT_EQ(document.ActiveWithCombination('Q', 2), nullptr) << "inactive";
}

// The live hotkeys (the panel's rows) are the active entries in file order.
TEST_F(HotkeyDocumentTest, ActiveEntryIdCountsActiveEntriesOnly) {
    document.Load({Close, Notepad, Close, Capture});
    EXPECT_EQ(document.ActiveEntryId(0), document.Entries()[1].Id);
    EXPECT_EQ(document.ActiveEntryId(1), document.Entries()[3].Id);
    EXPECT_EQ(document.ActiveEntryId(2), 0u);
    EXPECT_EQ(document.ActiveEntryId(-1), 0u);
}

// What a newer version wrote, or a hand edit: a section with an action this
// version does not know between two it knows, and values it does not read
// in one of them. The file is written back byte for byte; commits of other
// entries, and of that one edited as a row edits it (afresh, with the
// values it shows), keep every such line in place.
class KeptSectionsTest : public ::testing::Test {
protected:
    // Writes the file as hotkeys.ini would.
    class TextStore : public RecordingStore {
    public:
        void WriteHotkeys(const std::vector<THotKeyData>& definitions) override {
            UnregisteredPort port;
            THotkeyList list(port);
            list.AddAll(definitions);
            text = list.ToText();
        }
        std::string text;
    };
    static std::string Section(int n, const std::string& lines) {
        return "[key" + std::to_string(n) + "]\r\n" + lines + "\r\n";
    }
    void SetUp() override {
        UnregisteredPort port;
        THotkeyList list(port);
        list.LoadFromText(file, false);
        ASSERT_EQ(list.ToText(), file);
        document.Load(list.Definitions());
    }
    void Edit(std::size_t index, const THotKeyData& edited) {
        THotkeyDraft draft = document.Draft();
        draft.Entries[index].Definition = edited;
        EXPECT_TRUE(document.Commit(draft).empty());
    }

    const std::string later = "func=x-later-action\r\nactive=1\r\nkey=0x4B\r\nshift=8\r\nwhen=idle\r\n";
    const std::string file =
        Section(0, "active=1\r\nmonitor=2\r\nkey=78\r\nshift=8\r\nfunc=openfile\r\nparams=notepad.exe\r\n"
                   "params2=\r\ndelay=3\r\n") +
        Section(1, later) +
        Section(2, "active=1\r\nkey=83\r\nshift=8\r\nfunc=capturescreen\r\nparams=\r\nparams2=\r\n");
    TextStore store;
    THotkeyDocument document{store};
};

TEST_F(KeptSectionsTest, WhatThisVersionDoesNotKnowStaysInPlace) {
    const THotKeyData& unknown = document.Entries()[1].Definition;
    EXPECT_EQ(ActionDisplayName(unknown), "Unknown action: x-later-action");
    EXPECT_FALSE(IsLive(unknown)) << "never registered or run";
    EXPECT_EQ(document.ActiveEntryId(1), document.Entries()[2].Id);
    EXPECT_EQ(document.ActiveWithCombination('K', 8), nullptr);

    THotKeyData capture = document.Entries()[2].Definition;
    capture.Key = 'T';
    Edit(2, capture);
    EXPECT_EQ(store.text,
              file.substr(0, file.find("key=83")) + "key=84" + file.substr(file.find("key=83") + 6));

    Edit(0, {true, 'M', 8, THotkeyAction::OpenFile, "notepad.exe", "x.txt"});
    EXPECT_EQ(store.text, Section(0, "active=1\r\nmonitor=2\r\nkey=77\r\nshift=8\r\nfunc=openfile\r\n"
                                     "params=notepad.exe\r\nparams2=x.txt\r\ndelay=3\r\n") +
                              Section(1, later) + store.text.substr(store.text.find("[key2]")));

    // An action chosen for it: its lines stay, with the values it now has.
    Edit(1, {true, 'K', 8, THotkeyAction::Close, "", ""});
    EXPECT_THAT(store.text, testing::HasSubstr(Section(
                                1, "func=close\r\nactive=1\r\nkey=0x4B\r\nshift=8\r\nwhen=idle\r\n")));
    EXPECT_TRUE(IsLive(document.Entries()[1].Definition));
}

// hotkeys.ini changed behind the program: what was read is registered and
// told; an entry read unchanged keeps the identity a window holds, a changed
// or new one gets a new one, and nothing is written.
TEST_F(HotkeyDocumentTest, ReloadKeepsTheIdentitiesOfWhatDidNotChange) {
    const std::uint32_t notepad = document.Entries()[0].Id, capture = document.Entries()[1].Id;
    THotKeyData edited = Notepad;
    edited.Params = "wordpad.exe";
    document.Reload({Close, edited, Capture});
    ASSERT_EQ(document.Entries().size(), 3u);
    EXPECT_EQ(document.Entries()[2].Id, capture);
    for (int i : {0, 1}) {
        EXPECT_NE(document.Entries()[static_cast<std::size_t>(i)].Id, 0u);
        EXPECT_NE(document.Entries()[static_cast<std::size_t>(i)].Id, notepad);
        EXPECT_NE(document.Entries()[static_cast<std::size_t>(i)].Id, capture);
    }
    EXPECT_NE(document.Entries()[0].Id, document.Entries()[1].Id);
    EXPECT_THAT(store.steps, ElementsAre("register"));
    EXPECT_EQ(store.registered, (std::vector<THotKeyData>{Close, edited, Capture}));
    ASSERT_EQ(told.size(), 1u);
    // Read twice, an unchanged definition is one entry and a new one.
    document.Reload({Capture, Capture});
    EXPECT_EQ(document.Entries()[0].Id, capture);
    EXPECT_NE(document.Entries()[1].Id, capture);
}

} // namespace
} // namespace corvinade
