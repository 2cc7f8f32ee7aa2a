// The hotkey list: list operations, registration through a recording port, and
// loading and saving hotkeys.ini.
#include "core/Errors.h"
#include "core/Hotkeys.h"
#include "core/TextEncoding.h"
#include "core/TextFile.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <set>
#include <sstream>

namespace corvinade {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;
using A = THotkeyAction;
using testing::ElementsAre;

// Behaves like the window system for one window: atoms are reference counted,
// a combination can be registered once system-wide, and every call is logged.
class RecordingPort : public HotkeyPort {
public:
    std::uint16_t AddHotkeyAtom(const std::string& name) override {
        std::uint16_t atom = 0;
        if (!failAtoms) {
            auto [it, added] = atoms.try_emplace(name, Atom{nextAtom, 0});
            if (added)
                ++nextAtom;
            ++it->second.refs;
            atom = it->second.id;
        }
        log.push_back("add " + name + " -> " + std::to_string(atom));
        return atom;
    }
    bool RegisterCombination(std::uint16_t id, std::int32_t modifiers, std::int32_t key) override {
        bool ok = !taken.count({modifiers, key}) && !registered.count(id);
        if (ok) {
            taken.insert({modifiers, key});
            registered[id] = {modifiers, key};
        }
        log.push_back("register " + std::to_string(id) + " mod " + std::to_string(modifiers) + " key " +
                      std::to_string(key) + (ok ? "" : " fails"));
        return ok;
    }
    bool UnregisterCombination(std::uint16_t id) override {
        auto it = registered.find(id);
        bool ok = it != registered.end();
        if (ok) {
            taken.erase(it->second);
            registered.erase(it);
        }
        log.push_back("unregister " + std::to_string(id) + (ok ? "" : " fails"));
        return ok;
    }
    void DeleteHotkeyAtom(std::uint16_t atom) override {
        for (auto it = atoms.begin(); it != atoms.end(); ++it)
            if (it->second.id == atom && --it->second.refs == 0) {
                atoms.erase(it);
                break;
            }
        log.push_back("delete " + std::to_string(atom));
    }
    int Refs(const std::string& name) const {
        auto it = atoms.find(name);
        return it == atoms.end() ? 0 : it->second.refs;
    }

    struct Atom {
        std::uint16_t id;
        int refs;
    };
    std::map<std::string, Atom> atoms;
    std::uint16_t nextAtom = 0xC000;
    std::set<std::pair<std::int32_t, std::int32_t>> taken; // (modifiers, key), any window
    std::map<std::uint16_t, std::pair<std::int32_t, std::int32_t>> registered;
    bool failAtoms = false;
    std::vector<std::string> log;
};

// --- List operations ---

TEST(HotkeysList, AddAppendsUnregisteredItemsWithTheirValues) {
    RecordingPort port;
    THotkeyList list(port);
    TGlobalHotKey* first = list.Add(true, 83, 8, A::CaptureScreen, "p", "q");
    TGlobalHotKey* second = list.Add(false, 65, 2, A::OpenFile, "notepad.exe", "x.txt");
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Items(0), first);
    EXPECT_EQ(list.Items(1), second);
    EXPECT_EQ(first->Definition, (THotKeyData{true, 83, 8, A::CaptureScreen, "p", "q"}));
    EXPECT_EQ(second->Definition, (THotKeyData{false, 65, 2, A::OpenFile, "notepad.exe", "x.txt"}));
    EXPECT_EQ(first->Atom, 0);
    EXPECT_TRUE(port.log.empty());
}

TEST(HotkeysList, IndexErrorsNameTheIndex) {
    RecordingPort port;
    THotkeyList list(port);
    list.Add(true, 1, 0, A::Close, "", "");
    const struct {
        int index;
        const char* message;
    } cases[] = {{1, "List index out of bounds (1)"},
                 {-1, "List index out of bounds (-1)"},
                 {2147483647, "List index out of bounds (2147483647)"}};
    for (const auto& c : cases) {
        try {
            list.Items(c.index);
            ADD_FAILURE() << "Items(" << c.index << ") did not throw";
        } catch (const Error& e) {
            EXPECT_STREQ(e.what(), c.message);
        }
        EXPECT_THROW(list.Delete(c.index), Error);
    }
    EXPECT_EQ(list.Count(), 1);
    THotkeyList empty(port);
    EXPECT_THROW(empty.Items(0), Error);
}

TEST(HotkeysList, IndexOfIsByIdentity) {
    RecordingPort port;
    THotkeyList list(port), other(port);
    list.Add(true, 1, 0, A::Close, "", "");
    TGlobalHotKey* b = list.Add(true, 1, 0, A::Close, "", "");
    TGlobalHotKey* stranger = other.Add(true, 1, 0, A::Close, "", "");
    EXPECT_EQ(list.IndexOf(b), 1);
    EXPECT_EQ(list.IndexOf(stranger), -1);
    EXPECT_EQ(list.IndexOf(nullptr), -1);
}

TEST(HotkeysList, FindReturnsTheFirstMatchActiveOrNot) {
    RecordingPort port;
    THotkeyList list(port);
    list.Add(true, 83, 4, A::Close, "", "");
    TGlobalHotKey* inactive = list.Add(false, 83, 8, A::Close, "first", "");
    list.Add(true, 83, 8, A::Close, "second", "");
    EXPECT_EQ(list.Find(83, 8), inactive);
    EXPECT_EQ(list.Find(83, 4), list.Items(0));
    EXPECT_EQ(list.Find(84, 8), nullptr);
    EXPECT_EQ(list.Find(8, 83), nullptr);
}

TEST(HotkeysList, DeleteClosesTheGap) {
    RecordingPort port;
    THotkeyList list(port);
    for (int k = 0; k < 4; ++k)
        list.Add(true, k, 0, A::Close, std::to_string(k), "");
    list.Delete(1);
    list.Delete(2);
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Items(0)->Definition.Params, "0");
    EXPECT_EQ(list.Items(1)->Definition.Params, "2");
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
}

TEST(HotkeysList, NeverRegisteredItemsLeaveTheSystemAlone) {
    RecordingPort port;
    {
        THotkeyList list(port);
        list.Add(true, 83, 8, A::Close, "", "");
        list.Add(true, 84, 8, A::Close, "", "");
        list.Add(true, 85, 8, A::Close, "", "");
        list.Delete(0);
        list.Clear();
        list.Add(true, 86, 8, A::Close, "", "");
    } // destruction clears too
    EXPECT_TRUE(port.log.empty());
}

// --- Registration ---

TEST(HotkeysRegistration, RegisterAddsTheAtomThenRegistersUnderIt) {
    RecordingPort port;
    THotkeyList list(port);
    TGlobalHotKey* item = list.Add(true, 83, 8, A::CaptureScreen, "", "");
    list.RegisterAll();
    EXPECT_THAT(port.log, ElementsAre("add corvinade-83-8 -> 49152", "register 49152 mod 8 key 83"));
    EXPECT_EQ(item->Atom, 49152);
}

TEST(HotkeysRegistration, AtomNamesAreSignedDecimals) {
    EXPECT_EQ(HotkeyAtomName(83, 8), "corvinade-83-8");
    EXPECT_EQ(HotkeyAtomName(-1, 0), "corvinade--1-0");
    EXPECT_EQ(HotkeyAtomName(0x106A, -2147483647 - 1), "corvinade-4202--2147483648");
}

TEST(HotkeysRegistration, RegisterAllGoesFirstToLastIgnoringActive) {
    RecordingPort port;
    THotkeyList list(port);
    list.Add(true, 65, 1, A::Close, "", "");
    list.Add(false, 66, 0, A::Close, "", ""); // plain key, inactive: still registered when asked
    list.Add(true, 67, 15, A::Close, "", "");
    list.RegisterAll();
    EXPECT_THAT(port.log, ElementsAre("add corvinade-65-1 -> 49152", "register 49152 mod 1 key 65",
                                      "add corvinade-66-0 -> 49153", "register 49153 mod 0 key 66",
                                      "add corvinade-67-15 -> 49154", "register 49154 mod 15 key 67"));
}

TEST(HotkeysRegistration, UnregisterReleasesTheAtomOnceAndUsesOnlyTheAtom) {
    RecordingPort port;
    TGlobalHotKey item(port);
    item.Definition = {true, 83, 8, A::Close, "", ""};
    item.Register();
    item.Definition.Key = 99; // changing the definition afterwards changes nothing
    port.log.clear();
    item.Unregister();
    item.Unregister();
    EXPECT_THAT(port.log, ElementsAre("unregister 49152", "delete 49152"));
    EXPECT_EQ(item.Atom, 0);
    EXPECT_EQ(port.Refs("corvinade-83-8"), 0);
}

TEST(HotkeysRegistration, UnregisterWithoutAtomDoesNothing) {
    RecordingPort port;
    TGlobalHotKey item(port);
    item.Unregister();
    EXPECT_TRUE(port.log.empty());
}

// No atom to be had: the hotkey is marked failed, as a refused one is, and
// nothing is asked of the system on its removal.
TEST(HotkeysRegistration, AFailedAtomAddMarksTheItemFailed) {
    RecordingPort port;
    port.failAtoms = true;
    {
        TGlobalHotKey item(port);
        item.Definition = {true, 83, 8, A::Close, "", ""};
        item.Register();
        EXPECT_EQ(item.Atom, 0);
        EXPECT_TRUE(item.Failed());
        EXPECT_EQ(item.State(), TRegistrationState::NoAtom);
    }
    EXPECT_THAT(port.log, ElementsAre("add corvinade-83-8 -> 0"));
}

// A refused combination gives its atom back at once: reloads and the tries
// again after an unlock leave no reference behind.
TEST(HotkeysRegistration, ACombinationTakenElsewhereFailsAndKeepsNoAtom) {
    RecordingPort port;
    port.taken.insert({8, 83}); // another program has WIN + S
    for (int reload = 0; reload < 3; ++reload) {
        THotkeyList list(port);
        TGlobalHotKey* item = list.Add(true, 83, 8, A::Close, "", "");
        list.RegisterAll();
        list.RegisterAll(); // tried again
        EXPECT_TRUE(item->Failed());
        EXPECT_EQ(item->Atom, 0);
    }
    EXPECT_EQ(port.log[0], "add corvinade-83-8 -> 49152");
    EXPECT_EQ(port.log[1], "register 49152 mod 8 key 83 fails");
    EXPECT_EQ(port.log[2], "delete 49152");
    EXPECT_TRUE(port.atoms.empty());
}

TEST(HotkeysRegistration, EqualCombinationsShareOneAtom) {
    RecordingPort port;
    THotkeyList list(port);
    list.Add(true, 83, 8, A::Close, "", "");
    list.Add(true, 83, 8, A::Maximize, "", "");
    list.RegisterAll();
    // The system takes it once; the second gives its reference back.
    EXPECT_THAT(port.log, ElementsAre("add corvinade-83-8 -> 49152", "register 49152 mod 8 key 83",
                                      "add corvinade-83-8 -> 49152", "register 49152 mod 8 key 83 fails",
                                      "delete 49152"));
    EXPECT_EQ(list.Items(0)->Atom, 49152);
    EXPECT_EQ(list.Items(1)->Atom, 0);
    EXPECT_EQ(port.Refs("corvinade-83-8"), 1);
    list.Clear();
    EXPECT_TRUE(port.atoms.empty());
    EXPECT_TRUE(port.registered.empty());
}

TEST(HotkeysRegistration, DeleteAndClearUnregisterInListOrder) {
    RecordingPort port;
    THotkeyList list(port);
    for (int k = 65; k < 69; ++k)
        list.Add(true, k, 2, A::Close, "", "");
    list.RegisterAll();
    port.log.clear();
    list.Delete(2);
    EXPECT_THAT(port.log, ElementsAre("unregister 49154", "delete 49154"));
    port.log.clear();
    list.Clear();
    EXPECT_THAT(port.log, ElementsAre("unregister 49152", "delete 49152", "unregister 49153", "delete 49153",
                                      "unregister 49155", "delete 49155"));
    EXPECT_TRUE(port.atoms.empty());
}

TEST(HotkeysRegistration, DestroyingTheListUnregistersEverything) {
    RecordingPort port;
    {
        THotkeyList list(port);
        list.Add(true, 65, 2, A::Close, "", "");
        list.Add(true, 66, 2, A::Close, "", "");
        list.RegisterAll();
    }
    EXPECT_TRUE(port.registered.empty());
    EXPECT_TRUE(port.atoms.empty());
}

// --- hotkeys.ini ---

class HotkeysFile : public testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "corvinade-hotkeys-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
        file_ = (dir_ / "hotkeys.ini").string();
    }
    void TearDown() override { fs::remove_all(dir_); }

    void Write(const std::string& content) const { std::ofstream(file_, std::ios::binary) << content; }
    std::string Read() const {
        std::ifstream in(file_, std::ios::binary);
        std::ostringstream out;
        out << in.rdbuf();
        return out.str();
    }
    std::vector<std::string> DirEntries() const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(dir_))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    std::vector<THotKeyData> Definitions(const THotkeyList& list) const {
        std::vector<THotKeyData> out;
        for (int i = 0; i < list.Count(); ++i)
            out.push_back(list.Items(i)->Definition);
        return out;
    }
    std::vector<THotKeyData> Load(const std::string& content, bool onlyActive) {
        Write(content);
        THotkeyList list(port_);
        list.LoadFromFile(file_, onlyActive);
        return Definitions(list);
    }

    RecordingPort port_;
    fs::path dir_;
    std::string file_;
};

TEST_F(HotkeysFile, TheExampleIsWrittenByteForByte) {
    THotkeyList list(port_);
    list.Add(true, 83, 8, A::CaptureScreen, "", "");
    list.SaveToFile(file_);
    EXPECT_EQ(Read(),
              "[key0]\r\nactive=1\r\nkey=83\r\nshift=8\r\nfunc=capturescreen\r\nparams=\r\nparams2=\r\n\r\n");
}

TEST_F(HotkeysFile, ValuesAreWrittenUnchanged) {
    THotkeyList list(port_);
    list.Add(false, -7, 0, A::SendKeystrokes, "a<?CR?><?LF?>b;[x]=y", "");
    list.Add(true, 0x6F, 3, A::OpenFile, "C:\\Program Files\\x.exe", "\"a b\" \xC3\xA9");
    list.SaveToFile(file_);
    EXPECT_EQ(Read(), "[key0]\r\nactive=0\r\nkey=-7\r\nshift=0\r\nfunc=sendkeystrokes\r\n"
                      "params=a<?CR?><?LF?>b;[x]=y\r\nparams2=\r\n\r\n"
                      "[key1]\r\nactive=1\r\nkey=111\r\nshift=3\r\nfunc=openfile\r\n"
                      "params=C:\\Program Files\\x.exe\r\nparams2=\"a b\" \xE9\r\n\r\n");
}

TEST_F(HotkeysFile, SectionNamesDoNotMatterOnlyTheirOrder) {
    THotkeyList list(port_);
    Write("[b]\nactive=1\nkey=66\nfunc=close\n[a]\nactive=1\nkey=65\nfunc=close\n");
    list.LoadFromFile(file_, false);
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Items(0)->Definition.Key, 66);
    EXPECT_EQ(list.Items(1)->Definition.Key, 65);
    list.SaveToFile(file_);
    EXPECT_EQ(Read(), "[key0]\r\nactive=1\r\nkey=66\r\nshift=0\r\nfunc=close\r\nparams=\r\nparams2=\r\n\r\n"
                      "[key1]\r\nactive=1\r\nkey=65\r\nshift=0\r\nfunc=close\r\nparams=\r\nparams2=\r\n\r\n");
}

TEST_F(HotkeysFile, WhichSectionsLoad) {
    const std::string text = "[k0]\nactive=1\nfunc=Maximize\n"        // wrong case: kept, not live
                             "[k1]\nfunc=minimize\nkey=1\n"           // no active entry: inactive
                             "[k2]\nactive=true\nfunc=close\nkey=2\n" // not a number: inactive
                             "[k3]\nactive=2\nfunc=close\nkey=3\n"    // non-zero: active
                             "[k4]\nactive=1\nkey=4\n"                // no func: kept, not live
                             "[k5]\nactive=-1\nfunc=openfile\nkey=5\n"
                             "[k6]\nactive=$1\nfunc= capturewindow \nkey=6\n"
                             "[k7]\nactive=1\nfunc=\nkey=7\n";
    std::vector<int> all, active;
    for (const auto& d : Load(text, false))
        all.push_back(d.Key);
    for (const auto& d : Load(text, true))
        active.push_back(d.Key);
    EXPECT_THAT(all, ElementsAre(0, 1, 2, 3, 4, 5, 6, 7));
    EXPECT_THAT(active, ElementsAre(3, 5, 6));
    const auto defs = Load(text, false);
    EXPECT_FALSE(defs[1].Active);
    EXPECT_EQ(ActionDisplayName(defs[0]), "Unknown action: Maximize");
    EXPECT_EQ(ActionDisplayName(defs[4]), "Unknown action");
    EXPECT_EQ(defs[7].UnknownAction, "");
    EXPECT_TRUE(defs[0].Active && !IsLive(defs[0]));
}

TEST_F(HotkeysFile, EntryValuesAndDefaults) {
    auto defs = Load("[s]\nFUNC=openfile\nActive=1\nkey=0x53\nshift=$C\nparams=  \tnotepad.exe  \n"
                     "params2= -n x \n"
                     "[t]\nfunc=close\nactive=1\nkey=abc\nshift=99999999999\n"
                     "[u]\nfunc=close\nactive=1\nkey\nshift=\nparams\n",
                     false);
    ASSERT_EQ(defs.size(), 3u);
    EXPECT_EQ(defs[0], (THotKeyData{true, 83, 12, A::OpenFile, "notepad.exe", "-n x"}));
    EXPECT_EQ(defs[1], (THotKeyData{true, 0, 0, A::Close, "", ""}));
    EXPECT_EQ(defs[2], (THotKeyData{true, 0, 0, A::Close, "", ""}));
}

TEST_F(HotkeysFile, DuplicateSectionNamesLoadTwiceWithTheFirstValues) {
    auto defs = Load("[x]\nactive=1\nfunc=close\nkey=1\n[X]\nactive=1\nfunc=maximize\nkey=2\n", false);
    ASSERT_EQ(defs.size(), 2u);
    EXPECT_EQ(defs[0], defs[1]);
    EXPECT_EQ(defs[1].Func, A::Close);
    EXPECT_EQ(defs[1].Key, 1);
}

TEST_F(HotkeysFile, LoadingReplacesAndUnregistersButDoesNotRegister) {
    THotkeyList list(port_);
    list.Add(true, 90, 2, A::Close, "", "");
    list.RegisterAll();
    port_.log.clear();
    Write("[s]\nactive=1\nfunc=close\nkey=83\nshift=8\n");
    list.LoadFromFile(file_, true);
    EXPECT_THAT(port_.log, ElementsAre("unregister 49152", "delete 49152"));
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list.Items(0)->Atom, 0);
}

TEST_F(HotkeysFile, AMissingFileLoadsAsEmpty) {
    THotkeyList list(port_);
    list.Add(true, 90, 2, A::Close, "", "");
    list.LoadFromFile((dir_ / "absent.ini").string(), false);
    EXPECT_EQ(list.Count(), 0);
    list.Add(true, 90, 2, A::Close, "", "");
    list.LoadFromFile((dir_ / "no" / "such" / "dir.ini").string(), false);
    EXPECT_EQ(list.Count(), 0);
}

// The update check's answer must exist: a missing file is reported with the
// system's text, as an unreadable one is.
TEST_F(HotkeysFile, AFileThatMustExistReportsItsAbsence) {
    const std::string name = (dir_ / "answer.tmp").string();
    try {
        ReadExistingTextFile(name);
        ADD_FAILURE() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot open file \"" + name + "\". " + std::strerror(ENOENT));
    }
    std::ofstream(name, std::ios::binary) << "[UPDATE]\r\n";
    EXPECT_EQ(ReadExistingTextFile(name), "[UPDATE]\r\n");
}

TEST_F(HotkeysFile, AnUnreadableFileRaisesAndLeavesTheListEmpty) {
    THotkeyList list(port_);
    list.Add(true, 90, 2, A::Close, "", "");
    const std::string name = dir_.string(); // a directory opens but cannot be read
    try {
        list.LoadFromFile(name, false);
        ADD_FAILURE() << "no error";
    } catch (const Error& e) {
        EXPECT_THAT(e.what(), testing::StartsWith("Cannot open file \"" + name + "\". "));
        EXPECT_GT(std::string(e.what()).size(), name.size() + 21); // the system's text follows
    }
    EXPECT_EQ(list.Count(), 0);
}

// Sections this version cannot run are kept as they were, numbered with
// the rest; comments go.
TEST_F(HotkeysFile, SavingKeepsForeignSectionsAndDropsComments) {
    Write("; my notes\n[key0]\nactive=1\nfunc=close\nkey=1\n[mine]\nfunc=bogus\nactive=1\n[key5]\nx=y\n");
    THotkeyList list(port_);
    list.LoadFromFile(file_, false);
    list.SaveToFile(file_);
    EXPECT_EQ(Read(), "[key0]\r\nactive=1\r\nkey=1\r\nshift=0\r\nfunc=close\r\nparams=\r\nparams2=\r\n\r\n"
                      "[key1]\r\nfunc=bogus\r\nactive=1\r\n\r\n[key2]\r\nx=y\r\n\r\n");
}

TEST_F(HotkeysFile, AnEmptyListLeavesAnEmptyFile) {
    Write("[key0]\nactive=1\nfunc=close\n");
    THotkeyList list(port_);
    list.SaveToFile(file_);
    ASSERT_TRUE(fs::exists(file_));
    EXPECT_EQ(fs::file_size(file_), 0u);
    const std::string fresh = (dir_ / "fresh.ini").string();
    list.SaveToFile(fresh);
    EXPECT_TRUE(fs::exists(fresh));
    EXPECT_EQ(fs::file_size(fresh), 0u);
}

// Load, save, load again and save again: the definitions survive and the
// second save writes the same bytes as the first.
TEST_F(HotkeysFile, GoldenRoundTrip) {
    const std::string original =
        "leading junk\r\n; comment\r\n"
        "[zeta]\r\nactive=1\r\nkey=83\r\nshift=8\r\nfunc=capturescreen\r\n\r\n"
        "[ Alpha ]\nACTIVE = 0\nKey=0x41\nShift=$3\nFunc=sendkeystrokes\nParams= {CTRL}c<?CR?><?LF?>x=1 \n"
        "[third]\rfunc=openfile\ractive=1\rkey=112\rparams=C:\\a b\\c.exe\rparams2=--x \"y\"\r"
        "[fourth]\nfunc=placeinclipboard\nactive=5\nkey=-3\nshift=-1\nparams=\xE4\xF6\xFC \x01 tail\n"
        "[unknown]\nfunc=nothing\nactive=1\n"
        "[fifth]\nfunc=placefilecontentinclipboard\nactive=1\nkey=65\nshift=0\nparams=a=b\nparams=ignored\n";
    Write(original);
    THotkeyList first(port_);
    first.LoadFromFile(file_, false);
    EXPECT_THAT(
        Definitions(first),
        ElementsAre(
            THotKeyData{true, 83, 8, A::CaptureScreen, "", ""},
            THotKeyData{false, 65, 3, A::SendKeystrokes, "{CTRL}c<?CR?><?LF?>x=1", ""},
            THotKeyData{true, 112, 0, A::OpenFile, "C:\\a b\\c.exe", "--x \"y\""},
            THotKeyData{true, -3, -1, A::PlaceInClipboard, "\xC3\xA4\xC3\xB6\xC3\xBC \x01 tail", ""},
            THotKeyData{true, 0, 0, A::None, "", "", "nothing", {{"func", "nothing"}, {"active", "1"}}},
            THotKeyData{true, 65, 0, A::PlaceFileContentInClipboard, "a=b", ""}));
    first.SaveToFile(file_);
    const std::string saved = Read();
    EXPECT_EQ(saved,
              "[key0]\r\nactive=1\r\nkey=83\r\nshift=8\r\nfunc=capturescreen\r\nparams=\r\nparams2=\r\n\r\n"
              "[key1]\r\nactive=0\r\nkey=65\r\nshift=3\r\nfunc=sendkeystrokes\r\n"
              "params={CTRL}c<?CR?><?LF?>x=1\r\nparams2=\r\n\r\n"
              "[key2]\r\nactive=1\r\nkey=112\r\nshift=0\r\nfunc=openfile\r\n"
              "params=C:\\a b\\c.exe\r\nparams2=--x \"y\"\r\n\r\n"
              "[key3]\r\nactive=1\r\nkey=-3\r\nshift=-1\r\nfunc=placeinclipboard\r\n"
              "params=\xE4\xF6\xFC \x01 tail\r\nparams2=\r\n\r\n"
              "[key4]\r\nfunc=nothing\r\nactive=1\r\n\r\n"
              "[key5]\r\nactive=1\r\nkey=65\r\nshift=0\r\nfunc=placefilecontentinclipboard\r\n"
              "params=a=b\r\nparams2=\r\n\r\n");

    THotkeyList second(port_);
    second.LoadFromFile(file_, false);
    EXPECT_EQ(Definitions(second), Definitions(first));
    second.SaveToFile(file_);
    EXPECT_EQ(Read(), saved);
}

// The capture options are values of their own, written only when set: a
// section without them reads and saves as before they existed. A delay
// past the longest is read as the longest, and kept as written.
TEST_F(HotkeysFile, CaptureOptionsAreValuesOfTheirOwn) {
    Write("[key0]\nactive=1\nkey=82\nshift=9\nfunc=captureregion\nsamearea=1\ndelay=3\n"
          "[key1]\nactive=1\nkey=83\nshift=9\nfunc=capturescreen\n"
          "[key2]\nfunc=captureregion\nSameArea=1\nzoom=2\nDELAY=99\ncursor=1\n"
          "[key3]\nfunc=capturewindow\ndelay=-4\ncursor=0\n");
    THotkeyList list(port_);
    list.LoadFromFile(file_, false);
    ASSERT_EQ(list.Count(), 4);
    auto options = [&](int i) { return list.Items(i)->Definition.Capture; };
    EXPECT_EQ(options(0), (TCaptureOptions{.Delay = 3, .SameArea = true}));
    EXPECT_EQ(options(1), TCaptureOptions{});
    EXPECT_EQ(options(2), (TCaptureOptions{.Delay = MaxCaptureDelay, .Cursor = true, .SameArea = true}));
    EXPECT_EQ(options(3), TCaptureOptions{});
    list.Items(1)->Definition.Capture = {.Delay = 12, .Cursor = true};
    list.Items(2)->Definition.Capture.SameArea = false;
    list.SaveToFile(file_);
    EXPECT_EQ(Read(), "[key0]\r\nactive=1\r\nkey=82\r\nshift=9\r\nfunc=captureregion\r\nparams=\r\n"
                      "params2=\r\ndelay=3\r\nsamearea=1\r\n\r\n"
                      "[key1]\r\nactive=1\r\nkey=83\r\nshift=9\r\nfunc=capturescreen\r\nparams=\r\n"
                      "params2=\r\ndelay=12\r\ncursor=1\r\n\r\n"
                      "[key2]\r\nfunc=captureregion\r\nsamearea=0\r\nzoom=2\r\nDELAY=99\r\ncursor=1\r\n\r\n"
                      "[key3]\r\nactive=0\r\nkey=0\r\nshift=0\r\nfunc=capturewindow\r\nparams=\r\n"
                      "params2=\r\n\r\n");
}

// What the delay box takes: whole seconds up to the longest delay.
TEST(CaptureOptions, DelayInput) {
    const struct {
        const char* text;
        std::optional<int> seconds;
    } cases[] = {{"", 0},    {"0", 0},    {"5", 5},    {" 30 ", 30},        {"007", 7}, {"31", {}},
                 {"-1", {}}, {"1.5", {}}, {"3 s", {}}, {"99999999999", {}}, {"+2", {}}, {"\t4", 4}};
    for (const auto& c : cases)
        EXPECT_EQ(DelayFromInput(c.text), c.seconds) << '"' << c.text << '"';
    EXPECT_EQ(CaptureOptionsText({.Delay = 1, .Cursor = true, .SameArea = true}),
              "after 1 second, with the mouse pointer, same area as last time");
    EXPECT_EQ(CaptureOptionsText({}), "");
}

// Notepad begins a file it saves as UTF-8 with a byte-order mark; the first
// section still counts, and a save of ASCII texts writes no mark.
TEST_F(HotkeysFile, AByteOrderMarkBeforeTheFirstSectionIsSkipped) {
    Write("\xEF\xBB\xBF[key0]\r\nactive=1\r\nkey=78\r\nshift=8\r\nfunc=openfile\r\nparams=notepad.exe\r\n"
          "[key1]\r\nactive=1\r\nkey=83\r\nshift=3\r\nfunc=capturescreen\r\n");
    THotkeyList list(port_);
    list.LoadFromFile(file_, false);
    EXPECT_THAT(Definitions(list), ElementsAre(THotKeyData{true, 78, 8, A::OpenFile, "notepad.exe", ""},
                                               THotKeyData{true, 83, 3, A::CaptureScreen, "", ""}));
    list.SaveToFile(file_);
    EXPECT_TRUE(Read().starts_with("[key0]\r\n"));
    // Only a mark at the very start is skipped.
    Write("[key0]\r\nactive=1\r\nkey=1\r\nfunc=close\r\n\xEF\xBB\xBF[key1]\r\nactive=1\r\nkey=2\r\nfunc="
          "close\r\n");
    list.LoadFromFile(file_, false);
    ASSERT_EQ(list.Count(), 1);
    const THotKeyData& d = list.Items(0)->Definition;
    EXPECT_EQ(d.Key, 1);
    ASSERT_EQ(d.Lines.size(), 7u) << "the lines from the mark on stay with key0";
    EXPECT_EQ(d.Lines[3], (TIniLine{"\xEF\xBB\xBF[key1]", std::nullopt}));
}

// A text the ANSI code page cannot hold makes the file UTF-8 behind a mark;
// it reads back the same, and so does the system's own UTF-16.
TEST_F(HotkeysFile, TextsBeyondTheCodePageAreSavedAsUtf8) {
    const std::string cyrillic = "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82";
    const std::string cjk = "\xE4\xB8\xAD\xE6\x96\x87";
    THotkeyList list(port_);
    list.Add(true, 65, 2, A::PlaceInClipboard, cyrillic, "caf\xC3\xA9");
    list.Add(true, 66, 2, A::OpenFile, "C:\\" + cjk + "\\a.txt", "");
    list.SaveToFile(file_);
    EXPECT_EQ(Read(), "\xEF\xBB\xBF[key0]\r\nactive=1\r\nkey=65\r\nshift=2\r\nfunc=placeinclipboard\r\n"
                      "params=" +
                          cyrillic +
                          "\r\nparams2=caf\xC3\xA9\r\n\r\n"
                          "[key1]\r\nactive=1\r\nkey=66\r\nshift=2\r\nfunc=openfile\r\n"
                          "params=C:\\" +
                          cjk + "\\a.txt\r\nparams2=\r\n\r\n");
    THotkeyList again(port_);
    again.LoadFromFile(file_, false);
    EXPECT_EQ(Definitions(again), Definitions(list));

    const char wide[] = "\xFF\xFE[\0k\0]\0\r\0\n\0f\0u\0n\0c\0=\0c\0l\0o\0s\0e\0\n\0"
                        "a\0c\0t\0i\0v\0e\0=\0001\0\n\0p\0a\0r\0a\0m\0s\0=\0\x1F\x04";
    EXPECT_THAT(Load(std::string(wide, sizeof wide - 1), false),
                ElementsAre(THotKeyData{true, 0, 0, A::Close, "\xD0\x9F", ""}));
}

TEST_F(HotkeysFile, SavingLeavesNoTemporaryFileBehind) {
    THotkeyList list(port_);
    list.Add(true, 83, 8, A::CaptureScreen, "", "");
    list.SaveToFile(file_);
    list.SaveToFile(file_);
    EXPECT_THAT(DirEntries(), ElementsAre("hotkeys.ini"));
}

// A save ended half-way leaves its temporary file; the next save removes it,
// and nothing else beside the file.
TEST_F(HotkeysFile, ASaveRemovesTheLeftoversOfEarlierOnes) {
    for (const char* name :
         {"hotkeys.ini.a1B2c3", "hotkeys.ini.ZZZZZZ", "hotkeys.ini.bak", "other.ini.a1B2c3"})
        std::ofstream(dir_ / name) << "left";
    THotkeyList list(port_);
    list.Add(true, 83, 8, A::CaptureScreen, "", "");
    list.SaveToFile(file_);
    EXPECT_THAT(DirEntries(), ElementsAre("hotkeys.ini", "hotkeys.ini.bak", "other.ini.a1B2c3"));
}

// A reader that opened the old file before the save still reads it whole:
// the new content goes into a new file that takes the old one's place, so the
// old file is never truncated or half-written.
TEST_F(HotkeysFile, SavingNeverRewritesTheOldFileInPlace) {
    Write("[key0]\r\nactive=1\r\nkey=1\r\nfunc=close\r\n");
    std::ifstream earlier(file_, std::ios::binary);
    ASSERT_TRUE(earlier.is_open());
    THotkeyList list(port_);
    list.Add(true, 2, 2, A::Maximize, std::string(100000, 'n'), "");
    list.SaveToFile(file_);
    std::ostringstream old;
    old << earlier.rdbuf();
    EXPECT_EQ(old.str(), "[key0]\r\nactive=1\r\nkey=1\r\nfunc=close\r\n");
    EXPECT_NE(Read().find("func=maximize"), std::string::npos);
}

TEST_F(HotkeysFile, AFailedSaveRaisesAndKeepsEverything) {
    THotkeyList list(port_);
    list.Add(true, 83, 8, A::CaptureScreen, "", "");
    // The target is a directory: the new content cannot be put in its place.
    const fs::path blocked = dir_ / "blocked.ini";
    fs::create_directory(blocked);
    fs::path inside = blocked / "keep.txt";
    std::ofstream(inside) << "old";
    try {
        list.SaveToFile(blocked.string());
        ADD_FAILURE() << "no error";
    } catch (const Error& e) {
        EXPECT_THAT(e.what(), testing::StartsWith("Cannot create file \"" + blocked.string() + "\". "));
    }
    EXPECT_TRUE(fs::is_directory(blocked));
    EXPECT_TRUE(fs::exists(inside));
    EXPECT_THAT(DirEntries(), ElementsAre("blocked.ini")); // no temporary file left
    EXPECT_EQ(list.Count(), 1);

    const std::string nowhere = (dir_ / "missing" / "hotkeys.ini").string();
    EXPECT_THROW(list.SaveToFile(nowhere), Error);
    EXPECT_FALSE(fs::exists(dir_ / "missing"));
}

// --- Robustness: whatever the file holds, loading neither crashes nor hangs ---

// Random bytes spliced into a valid file: most rounds still hold definitions,
// and whatever loads survives a save and a second load unchanged.
TEST_F(HotkeysFile, RandomBytesLoadWithoutHarm) {
    std::mt19937 random(20240611);
    const std::string valid =
        "[key0]\r\nactive=1\r\nkey=78\r\nshift=8\r\nfunc=openfile\r\nparams=notepad.exe\r\n"
        "params2=x.txt\r\n\r\n[key1]\r\nactive=0\r\nkey=83\r\nshift=3\r\n"
        "func=sendkeystrokes\r\nparams={CTRL}c\r\n\r\n[key2]\r\nactive=1\r\nkey=$41\r\n"
        "func=placeinclipboard\r\nparams=text\r\n";
    const std::string alphabet = "[]=;\r\n \t\0afunckeyactive1$0x"s;
    int withDefinitions = 0;
    for (int round = 0; round < 200; ++round) {
        std::string bytes = valid;
        const int splices = 1 + static_cast<int>(random() % 4);
        for (int s = 0; s < splices; ++s) {
            std::string piece(random() % 16, '\0');
            for (char& c : piece)
                c = (round % 2) ? static_cast<char>(random()) : alphabet[random() % alphabet.size()];
            const std::size_t at = random() % (bytes.size() + 1);
            const std::size_t cut = std::min<std::size_t>(random() % 4, bytes.size() - at);
            bytes.replace(at, cut, piece);
        }
        Write(bytes);
        THotkeyList list(port_);
        list.LoadFromFile(file_, round % 3 == 0);
        if (list.Count() > 0)
            ++withDefinitions;
        list.SaveToFile(file_);
        THotkeyList again(port_);
        again.LoadFromFile(file_, false);
        ASSERT_EQ(Definitions(again), Definitions(list)) << "round " << round;
    }
    EXPECT_GT(withDefinitions, 150);
}

TEST_F(HotkeysFile, ATenMegabyteFileLoadsEveryValidSection) {
    // Distinct section names, so that a lookup that scans all sections would
    // take quadratic time here.
    const std::string padding = "; " + std::string(200, '#') + "\n";
    std::string text;
    text.reserve((10u << 20) + 512);
    int sections = 0;
    while (text.size() < (10u << 20)) {
        const std::string n = std::to_string(sections++);
        text += "[s" + n + "]\nfunc=close\nactive=" + (n.back() == '7' ? "0" : "1") + "\nkey=" + n +
                "\nparams=\xFF\0\x01"s + n + "\n" + padding;
    }
    Write(text);
    THotkeyList list(port_);
    list.LoadFromFile(file_, true);
    ASSERT_EQ(list.Count(), sections - (sections + 2) / 10);
    const THotKeyData& last = list.Items(list.Count() - 1)->Definition;
    const std::string n = std::to_string(last.Key);
    EXPECT_GE(last.Key, sections - 2);
    EXPECT_EQ(last.Params, "\xC3\xBF\0\x01"s + n); // the file is ANSI: 0xFF is "ÿ"
}

TEST_F(HotkeysFile, AMegabyteLineSurvivesARoundTrip) {
    std::string huge(1u << 20, 'x');
    for (std::size_t i = 0; i < huge.size(); i += 997)
        huge[i] = static_cast<char>(0x80 + i % 100); // high bytes inside stay
    huge[500] = '\0';
    Write("[k]\nfunc=sendkeystrokes\nactive=1\nparams=" + huge + "\n");
    THotkeyList list(port_);
    list.LoadFromFile(file_, false);
    ASSERT_EQ(list.Count(), 1);
    const std::string text = Windows1252().ToUtf8(huge);
    EXPECT_EQ(list.Items(0)->Definition.Params, text);
    list.SaveToFile(file_);
    EXPECT_NE(Read().find(huge), std::string::npos); // the same ANSI bytes
    THotkeyList again(port_);
    again.LoadFromFile(file_, false);
    ASSERT_EQ(again.Count(), 1);
    EXPECT_EQ(again.Items(0)->Definition.Params, text);
}

} // namespace
} // namespace corvinade
