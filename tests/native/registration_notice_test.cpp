// The tray notice after reloads of the live list, as the program asks the
// tray for it: one balloon per reload at most, naming only the hotkeys that
// newly failed, and a failed hotkey tried again at every reload.
#include "core/RegistrationStatus.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <utility>

namespace corvinade {
namespace {

using Combination = std::pair<std::int32_t, std::int32_t>; // modifiers, key

// One window's registrations: a combination is accepted once, never while
// another program holds it; equal names share an atom.
class System : public HotkeyPort {
public:
    std::uint16_t AddHotkeyAtom(const std::string& name) override {
        if (atomTableFull)
            return 0;
        return atoms.try_emplace(name, static_cast<std::uint16_t>(atoms.size() + 1)).first->second;
    }
    bool RegisterCombination(std::uint16_t id, std::int32_t modifiers, std::int32_t key) override {
        const Combination c{modifiers, key};
        const bool taken =
            std::any_of(registered.begin(), registered.end(), [&](auto& r) { return r.second == c; });
        return !taken && !heldElsewhere.count(c) && registered.emplace(id, c).second;
    }
    bool UnregisterCombination(std::uint16_t id) override { return registered.erase(id) > 0; }
    void DeleteHotkeyAtom(std::uint16_t) override {}

    std::set<Combination> heldElsewhere;
    bool atomTableFull = false;
    std::map<std::string, std::uint16_t> atoms;
    std::map<std::uint16_t, Combination> registered;
};

class RecordingTray : public TrayBalloonPort {
public:
    bool ShowBalloon(const std::string& title, const std::string& text) override {
        if (refuses)
            return false;
        balloons.push_back(title + ": " + text);
        return true;
    }
    std::vector<std::string> balloons;
    bool refuses = false; // as the shell does while there is no icon
};

class NoLayout : public KeyNamePort {
public:
    std::string LayoutKeyName(std::uint16_t) const override { return "?"; }
};

constexpr char WinNWinSWinN[] = "[a]\nactive=1\nkey=78\nshift=8\nfunc=openfile\nparams=notepad.exe\n"
                                "[b]\nactive=1\nkey=83\nshift=8\nfunc=capturescreen\n"
                                "[c]\nactive=1\nkey=78\nshift=8\nfunc=openwebsite\nparams=example.org\n";

TEST(RegistrationNotice, OneBalloonPerReloadNamingTheNewlyFailed) {
    System system;
    RecordingTray tray;
    RegistrationNotice notice;
    THotkeyList live(system);
    auto reload = [&](const char* ini) {
        live.LoadFromText(ini, true);
        live.RegisterAll();
        notice.Reloaded(live, NoLayout(), tray);
    };
    system.heldElsewhere = {{8, 'S'}};
    reload(WinNWinSWinN);
    EXPECT_THAT(tray.balloons, testing::ElementsAre(
                                   "Hotkeys not registered: WIN + S could not be registered: another program "
                                   "uses it.\nWIN + N (Open website) could not be registered: an earlier "
                                   "hotkey of yours uses it."));
    // The same failures again: nothing new to tell.
    reload(WinNWinSWinN);
    EXPECT_EQ(tray.balloons.size(), 1u);
    EXPECT_TRUE(live.Items(1)->Failed());

    // The other program lets WIN + S go: the next reload registers it.
    system.heldElsewhere.clear();
    reload(WinNWinSWinN);
    EXPECT_EQ(live.Items(1)->State(), TRegistrationState::Registered);
    EXPECT_EQ(tray.balloons.size(), 1u);

    // Taken again, with a new hotkey that fails too: one balloon names both.
    system.heldElsewhere = {{8, 'S'}, {2, 'K'}};
    reload(
        "[a]\nactive=1\nkey=83\nshift=8\nfunc=capturescreen\n[b]\nactive=1\nkey=75\nshift=2\nfunc=close\n");
    ASSERT_EQ(tray.balloons.size(), 2u);
    EXPECT_EQ(tray.balloons[1],
              "Hotkeys not registered: WIN + S could not be registered: another program uses "
              "it.\nCTRL + K could not be registered: another program uses it.");

    // A combination the user was told of before saving is not told again.
    notice.Told(75, 1);
    system.heldElsewhere = {{1, 'K'}};
    reload("[a]\nactive=1\nkey=75\nshift=1\nfunc=close\n");
    EXPECT_EQ(tray.balloons.size(), 2u);
}

// A balloon the shell refused told nobody: the next reload names the same
// failures instead of counting them as announced.
TEST(RegistrationNotice, RefusedBalloonIsShownAtTheNextReload) {
    System system;
    RecordingTray tray;
    RegistrationNotice notice;
    THotkeyList live(system);
    auto reload = [&] {
        live.LoadFromText("[a]\nactive=1\nkey=83\nshift=8\nfunc=capturescreen\n", true);
        live.RegisterAll();
        notice.Reloaded(live, NoLayout(), tray);
    };
    system.heldElsewhere = {{8, 'S'}};
    tray.refuses = true;
    reload();
    tray.refuses = false;
    reload();
    EXPECT_THAT(tray.balloons,
                testing::ElementsAre("Hotkeys not registered: WIN + S could not be registered: another "
                                     "program uses it."));
}

// No atom to register under: failed like a refused combination, with its own
// reason in the balloon and the settings row.
TEST(RegistrationNotice, AFullAtomTableIsAReasonToo) {
    System system;
    RecordingTray tray;
    RegistrationNotice notice;
    THotkeyList live(system);
    system.atomTableFull = true;
    live.LoadFromText("[a]\nactive=1\nkey=83\nshift=8\nfunc=capturescreen\n", true);
    live.RegisterAll();
    notice.Reloaded(live, NoLayout(), tray);
    EXPECT_THAT(tray.balloons,
                testing::ElementsAre("Hotkeys not registered: WIN + S could not be registered: "
                                     "Windows has no room for another hotkey."));
    EXPECT_EQ(EditorItemFault(live.Definitions(), 0, live), RegistrationFault::NoAtom);
    EXPECT_EQ(FaultTooltip(RegistrationFault::NoAtom, "WIN + S", THotkeyAction::None),
              "Windows has no room for another hotkey.");
}

} // namespace
} // namespace corvinade
