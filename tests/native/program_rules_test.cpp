// Where a hotkey works: the lists of programs, how the program in front is
// matched, the rules in hotkeys.ini, and the registrations that follow the
// program in front.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "core/HotkeyHolds.h"
#include "core/ProgramRules.h"

using namespace corvinade;

namespace {

using A = THotkeyAction;

TEST(ProgramRules, ListsAreReadTidiedAndAddedTo) {
    EXPECT_EQ(ProgramNames(" notepad.exe ;; C:\\Tools\\my app.exe;\t"),
              (std::vector<std::string>{"notepad.exe", "C:\\Tools\\my app.exe"}));
    EXPECT_EQ(ProgramListText(" a.exe ; b.exe;"), "a.exe;b.exe");
    EXPECT_EQ(WithProgram("a.exe", "b.exe"), "a.exe;b.exe");
    EXPECT_EQ(WithProgram("", "b.exe"), "b.exe");
    EXPECT_EQ(WithProgram("a.exe;B.EXE", "b.exe"), "a.exe;B.EXE"); // held already, in any case
    EXPECT_EQ(RuleText("notepad.exe;winword.exe", ""), "only in notepad.exe, winword.exe");
    EXPECT_EQ(RuleText("", "cmd.exe"), "not in cmd.exe");
    EXPECT_EQ(RuleText("a.exe", "b.exe"), "only in a.exe; not in b.exe");
    EXPECT_EQ(RuleText(" ; ", ""), "");
}

TEST(ProgramRules, TheProgramInFrontIsMatchedByNameOrByFullPathWithoutCase) {
    const struct {
        const char* onlyIn;
        const char* notIn;
        const char* front;
        bool allows;
    } cases[] = {
        {"", "", "C:\\Windows\\notepad.exe", true},
        {"notepad.exe", "", "C:\\Windows\\system32\\NOTEPAD.EXE", true},
        {"Notepad.exe", "", "C:\\Windows\\write.exe", false},
        {"notepad", "", "C:\\Windows\\notepad.exe", false}, // a whole name
        {"a.exe;notepad.exe", "", "C:\\x\\notepad.exe", true},
        {"", "NOTEPAD.EXE", "C:\\Windows\\notepad.exe", false},
        {"", "notepad.exe", "C:\\Windows\\write.exe", true},
        {"C:\\Tools\\app.exe", "", "c:\\tools\\APP.exe", true},
        {"C:/Tools/app.exe", "", "C:\\Tools\\app.exe", true},
        {"C:\\Tools\\app.exe", "", "D:\\Tools\\app.exe", false}, // the path, not the name
        {"app.exe", "C:\\Old\\app.exe", "C:\\Old\\app.exe", false},
        {"app.exe", "C:\\Old\\app.exe", "C:\\New\\app.exe", true},
        {"\xC3\x89"
         "DIT.exe",
         "",
         "C:\\x\\\xC3\xA9"
         "dit.exe",
         true},                         // letters beyond ASCII
        {"notepad.exe", "", "", false}, // nothing known in front
        {"", "notepad.exe", "", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ProgramRule(c.onlyIn, c.notIn).Allows(FrontProgram(c.front)), c.allows)
            << "only in \"" << c.onlyIn << "\", not in \"" << c.notIn << "\", front " << c.front;
    EXPECT_TRUE(ProgramRule(" ; ", "").Empty());
}

// The rules are two values of the hotkey's section, written only when they
// say something: a file without them is written as before, and a section
// with lines of its own keeps them in place.
TEST(ProgramRules, HotkeysIniKeepsTheRulesAfterTheOtherValues) {
    UnregisteredPort port;
    THotkeyList list(port);
    list.LoadFromText("[a]\nactive=1\nkey=75\nshift=8\nfunc=close\nOnlyIn= notepad.exe;wordpad.exe \n"
                      "[b]\nactive=1\nkey=76\nshift=8\nfunc=close\nx=y\nnotin=cmd.exe\nz=w\n",
                      false);
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Items(0)->Definition.OnlyIn, "notepad.exe;wordpad.exe");
    EXPECT_EQ(list.Items(1)->Definition.NotIn, "cmd.exe");
    list.Items(1)->Definition.NotIn = "";
    list.Items(1)->Definition.OnlyIn = "a.exe";
    EXPECT_EQ(list.ToText(),
              "[key0]\r\nactive=1\r\nkey=75\r\nshift=8\r\nfunc=close\r\nparams=\r\nparams2=\r\n"
              "onlyin=notepad.exe;wordpad.exe\r\n\r\n"
              "[key1]\r\nactive=1\r\nkey=76\r\nshift=8\r\nfunc=close\r\nx=y\r\nnotin=\r\nz=w\r\n"
              "onlyin=a.exe\r\n\r\n");
}

// One window's registrations: a combination is held once system-wide.
class Registrar : public HotkeyPort {
public:
    std::uint16_t AddHotkeyAtom(const std::string& name) override {
        return atoms.try_emplace(name, static_cast<std::uint16_t>(0xC000 + atoms.size())).first->second;
    }
    bool RegisterCombination(std::uint16_t id, std::int32_t, std::int32_t) override {
        return held.insert(id).second;
    }
    bool UnregisterCombination(std::uint16_t id) override { return held.erase(id) == 1; }
    void DeleteHotkeyAtom(std::uint16_t) override {}

    std::map<std::string, std::uint16_t> atoms;
    std::set<std::uint16_t> held;
};

// Two hotkeys of one combination whose rules part the programs between
// them: the one for the program in front holds it, and a change hands it
// over (released first, so the other can take it).
TEST(ProgramRules, TheCombinationFollowsTheProgramInFront) {
    Registrar registrar;
    THotkeyList live(registrar);
    THotKeyData inNotepad{true, 'K', 2, A::Close, "", ""};
    inNotepad.OnlyIn = "notepad.exe";
    THotKeyData elsewhere{true, 'K', 2, A::Minimize, "", ""};
    elsewhere.NotIn = "notepad.exe";
    live.Add(inNotepad);
    live.Add(elsewhere);
    live.Add(true, 'M', 8, A::Maximize, "", "");
    LiveHolds holds;
    holds.RegisterAll(live, {.front = FrontProgram("C:\\Windows\\explorer.exe")});
    EXPECT_TRUE(holds.AnyRule());
    auto state = [&](int i) { return live.Items(i)->State(); };
    EXPECT_EQ(state(0), TRegistrationState::Unregistered);
    EXPECT_EQ(state(1), TRegistrationState::Registered);
    EXPECT_EQ(state(2), TRegistrationState::Registered);

    EXPECT_TRUE(holds.Apply(live, {.front = FrontProgram("C:\\Windows\\NOTEPAD.EXE")}));
    EXPECT_EQ(state(0), TRegistrationState::Registered);
    EXPECT_EQ(state(1), TRegistrationState::Unregistered);
    EXPECT_TRUE(holds.Holds(0) && !holds.Holds(1) && holds.Holds(2));

    // Another program where both answers stay: nothing touched.
    EXPECT_FALSE(holds.Apply(live, {.front = FrontProgram("C:\\x\\notepad.exe")}));
    // Paused, even the hotkey for the program in front gives it up.
    holds.Apply(live, {.paused = true, .front = FrontProgram("C:\\x\\notepad.exe")});
    EXPECT_TRUE(registrar.held.empty());
}

} // namespace
