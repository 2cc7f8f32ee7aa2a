// Pausing the hotkeys: the pause itself (the user's, and the one while a
// program runs full screen), and which live hotkeys hold their combination,
// registered and unregistered only as their answer changes.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "core/HotkeyHolds.h"
#include "core/PauseState.h"

using namespace corvinade;

namespace {

using A = THotkeyAction;

// One window's registrations: a combination can be held once; every call is logged.
class Registrar : public HotkeyPort {
public:
    std::uint16_t AddHotkeyAtom(const std::string& name) override {
        auto [it, added] = atoms.try_emplace(name, static_cast<std::uint16_t>(0xC000 + atoms.size()));
        return it->second;
    }
    bool RegisterCombination(std::uint16_t id, std::int32_t, std::int32_t key) override {
        log.push_back("register " + std::to_string(key));
        return held.insert(id).second;
    }
    bool UnregisterCombination(std::uint16_t id) override {
        log.push_back("unregister " + std::to_string(id - 0xC000));
        return held.erase(id) == 1;
    }
    void DeleteHotkeyAtom(std::uint16_t) override {}

    std::map<std::string, std::uint16_t> atoms;
    std::set<std::uint16_t> held;
    std::vector<std::string> log;
};

TEST(PauseState, TheUsersPauseAndThePauseForAFullScreenProgram) {
    PauseState pause;
    EXPECT_FALSE(pause.Paused());
    pause.Toggle();
    EXPECT_TRUE(pause.Paused());
    EXPECT_TRUE(pause.PausedByUser());
    pause.Toggle();
    EXPECT_FALSE(pause.Paused());

    // Full screen pauses only with the option.
    pause.Foreground(1, true);
    EXPECT_FALSE(pause.Paused());
    pause.SetFullScreenOption(true);
    EXPECT_TRUE(pause.Paused());
    EXPECT_FALSE(pause.PausedByUser());
    pause.Foreground(2, false);
    EXPECT_FALSE(pause.Paused());

    // Resumed in a full-screen program, the hotkeys stay on while it stays
    // in front; it pauses them again once it comes back.
    pause.Foreground(1, true);
    pause.Toggle();
    EXPECT_FALSE(pause.Paused());
    pause.Foreground(1, true);
    EXPECT_FALSE(pause.Paused());
    pause.Foreground(2, false);
    pause.Foreground(1, true);
    EXPECT_TRUE(pause.Paused());

    // A user's pause outlasts the full-screen program; Resume ends both.
    pause.Pause();
    pause.Foreground(2, false);
    EXPECT_TRUE(pause.Paused());
    pause.Foreground(1, true);
    pause.Resume();
    EXPECT_FALSE(pause.Paused());
}

class LiveHoldsTest : public ::testing::Test {
protected:
    Registrar registrar;
    THotkeyList live{registrar};
    LiveHolds holds;

    std::vector<std::string> Log() { return std::exchange(registrar.log, {}); }
};

TEST_F(LiveHoldsTest, PausedOnlyThePauseHotkeyHoldsItsCombination) {
    live.Add(true, 'M', 8, A::Maximize, "", "");
    live.Add(true, 'P', 3, A::ToggleHotkeys, "", "");
    live.Add(true, 'N', 8, A::Minimize, "", "");
    holds.RegisterAll(live, {.paused = false});
    EXPECT_EQ(registrar.held.size(), 3u);
    Log();

    EXPECT_TRUE(holds.Apply(live, {.paused = true}));
    EXPECT_EQ(Log(), (std::vector<std::string>{"unregister 0", "unregister 2"}));
    EXPECT_EQ(live.Items(0)->State(), TRegistrationState::Unregistered);
    EXPECT_EQ(live.Items(1)->State(), TRegistrationState::Registered);
    EXPECT_FALSE(holds.Holds(0));
    EXPECT_TRUE(holds.Holds(1));

    // Nothing changed, nothing touched.
    EXPECT_FALSE(holds.Apply(live, {.paused = true}));
    EXPECT_TRUE(Log().empty());

    EXPECT_TRUE(holds.Apply(live, {.paused = false}));
    EXPECT_EQ(Log(), (std::vector<std::string>{"register 77", "register 78"}));
    EXPECT_EQ(registrar.held.size(), 3u);

    // A list filled while paused registers the pause hotkey alone.
    holds.RegisterAll(live, {.paused = true});
    EXPECT_EQ(registrar.held.size(), 1u);
    EXPECT_FALSE(holds.Holds(3));
}

} // namespace
