// Whether a combination can be had: our own hotkeys are looked up first and
// never probed (a probe would fail against our own registration), the system
// only for the rest; the setup guide's fallbacks and their order.
#include "core/CombinationCheck.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>
#include <utility>
#include <vector>

namespace corvinade {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using Combination = std::pair<std::int32_t, std::int32_t>; // modifiers, key

constexpr std::int32_t Win = ModifierWin, Alt = ModifierAlt, Ctrl = ModifierCtrl, Shift = ModifierShift;

// The system: the combinations another program holds; every probe recorded.
class FakeSystem : public CombinationProbePort, public HotkeyPort {
public:
    bool CombinationFree(std::int32_t modifiers, std::int32_t key) override {
        probed.emplace_back(modifiers, key);
        return !held.contains({modifiers, key});
    }
    std::uint16_t AddHotkeyAtom(const std::string&) override { return ++lastAtom; }
    bool RegisterCombination(std::uint16_t, std::int32_t modifiers, std::int32_t key) override {
        return !held.contains({modifiers, key});
    }
    bool UnregisterCombination(std::uint16_t) override { return true; }
    void DeleteHotkeyAtom(std::uint16_t) override {}

    std::set<Combination> held;
    std::vector<Combination> probed;
    std::uint16_t lastAtom = 0xC000;
};

class FakeNames : public KeyNamePort {
public:
    std::string LayoutKeyName(std::uint16_t) const override { return "?"; }
};

class CombinationCheckTest : public ::testing::Test {
protected:
    // The document's entries, and the live list registered from the active ones.
    void Have(const std::vector<THotKeyData>& definitions) {
        entries.clear();
        live.Clear();
        std::uint32_t id = 0;
        for (const THotKeyData& d : definitions) {
            entries.push_back({++id, d});
            if (d.Active)
                live.Add(true, d.Key, d.Shift, d.Func, d.Params, d.Params2);
        }
        live.RegisterAll();
        system.probed.clear();
    }
    TCombinationStatus Check(std::int32_t key, std::int32_t shift, std::uint32_t except = 0) {
        return CheckCombination(key, shift, entries, except, live, system);
    }

    FakeSystem system;
    THotkeyEntries entries;
    THotkeyList live{system};
};

const THotKeyData Notepad{true, 'N', Win | Alt, THotkeyAction::OpenFile, "notepad.exe", ""};
const THotKeyData Capture{true, 'S', Win, THotkeyAction::CaptureScreen, "", ""};

TEST_F(CombinationCheckTest, OwnHotkeysAreLookedUpAndOnlyTheRestIsProbed) {
    system.held = {{Win, 'S'}};
    Have({Notepad, {false, 'Q', Ctrl, THotkeyAction::Close, "", ""}});

    // Another active hotkey of the user's: named, and the system is not asked.
    EXPECT_EQ(Check('N', Win | Alt), (TCombinationStatus{CombinationUse::OwnHotkey, Notepad}));
    // Its own editor: our live registration answers, no probe.
    EXPECT_EQ(Check('N', Win | Alt, 1).Use, CombinationUse::Free);
    EXPECT_THAT(system.probed, IsEmpty());
    // An inactive hotkey holds nothing: the system is asked.
    EXPECT_EQ(Check('Q', Ctrl).Use, CombinationUse::Free);
    EXPECT_EQ(Check('S', Win).Use, CombinationUse::Elsewhere);
    EXPECT_THAT(system.probed, ElementsAre(Combination{Ctrl, 'Q'}, Combination{Win, 'S'}));

    // Our own registration that failed: asked again, as the other program
    // may have let it go.
    Have({Capture});
    EXPECT_EQ(Check('S', Win, 1).Use, CombinationUse::Elsewhere);
    system.held.clear();
    EXPECT_EQ(Check('S', Win, 1).Use, CombinationUse::Free);
    EXPECT_THAT(system.probed, ElementsAre(Combination{Win, 'S'}, Combination{Win, 'S'}));
}

TEST_F(CombinationCheckTest, TheLineSaysWhoHasTheCombination) {
    FakeNames names;
    EXPECT_EQ(CombinationStatusText({}, names), "This combination is free.");
    EXPECT_EQ(CombinationStatusText({CombinationUse::OwnHotkey, Notepad}, names),
              "Used by another of your hotkeys: ALT + WIN + N (Open file).");
    EXPECT_EQ(CombinationStatusText({CombinationUse::Elsewhere, {}}, names),
              "Windows or another program uses this combination; it works once freed.");
}

// The shell holds WIN+S and WIN+ALT+S; the user has WIN+CTRL+ALT+S for
// something else: WIN+SHIFT+ALT+S is offered. Never CTRL+ALT alone.
TEST_F(CombinationCheckTest, ASuggestionHeldElsewhereFallsBackInOrder) {
    auto isCapture = [](const THotKeyData& d) { return d.Func == THotkeyAction::CaptureScreen; };
    system.held = {{Win, 'S'}, {Win | Alt, 'S'}};
    Have({{true, 'S', Win | Ctrl | Alt, THotkeyAction::Close, "", ""}});
    EXPECT_EQ(OfferedModifiers('S', Win, entries, isCapture, live, system), Win | Shift | Alt);
    EXPECT_THAT(system.probed, ElementsAre(Combination{Win, 'S'}, Combination{Win | Alt, 'S'},
                                           Combination{Win | Shift | Alt, 'S'}));

    // The suggestion's own definition from an earlier run keeps its fallback.
    Have({{true, 'S', Win | Alt | Ctrl, THotkeyAction::CaptureScreen, "", ""}});
    EXPECT_EQ(OfferedModifiers('S', Win, entries, isCapture, live, system), Win | Ctrl | Alt);

    // A combination one of the user's own hotkeys holds stays offered.
    system.held.clear();
    Have({{true, 'S', Win, THotkeyAction::Close, "", ""}});
    EXPECT_EQ(OfferedModifiers('S', Win, entries, isCapture, live, system), Win);

    system.held = {{Win, 'S'}, {Win | Alt, 'S'}, {Win | Ctrl | Alt, 'S'}, {Win | Shift | Alt, 'S'}};
    Have({});
    EXPECT_EQ(OfferedModifiers('S', Win, entries, isCapture, live, system), std::nullopt);
    for (const Combination& c : system.probed)
        EXPECT_NE(c.first, Ctrl | Alt);
}

} // namespace
} // namespace corvinade

namespace corvinade {
namespace {

// A key that types a character needs ALT, CTRL or WIN; no key goes without
// a modifier.
TEST(CombinationRefusal, CharacterKeysNeedMoreThanShiftAndNoKeyGoesAlone) {
    using R = CombinationRefusal;
    const struct {
        std::int32_t key, shift;
        R refusal;
    } cases[] = {
        {'J', ModifierShift, R::ShiftAloneWithCharacter},
        {'7', ModifierShift, R::ShiftAloneWithCharacter},
        {0x20, ModifierShift, R::ShiftAloneWithCharacter}, // space
        {0xBA, ModifierShift, R::ShiftAloneWithCharacter}, // ";" on US keyboards
        {0x6A, ModifierShift, R::ShiftAloneWithCharacter}, // the keypad's "*"
        {0xE2, ModifierShift, R::ShiftAloneWithCharacter}, // the key beside the left SHIFT
        {'J', 0, R::NoModifier},
        {0x70, 0, R::NoModifier}, // F1
        {'J', ModifierShift | ModifierCtrl, R::None},
        {'J', ModifierAlt, R::None},
        {'J', ModifierWin, R::None},
        {0x70, ModifierShift, R::None}, // SHIFT + F1 types nothing
        {0x25, ModifierShift, R::None}, // SHIFT + Left
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "key " << c.key << " shift " << c.shift);
        EXPECT_EQ(RefusedCombination(c.key, c.shift), c.refusal);
    }
    EXPECT_EQ(CombinationRefusalText(R::NoModifier), "You must select a shift key for your hotkey.");
    EXPECT_EQ(CombinationRefusalText(R::None), "");
}

} // namespace
} // namespace corvinade
