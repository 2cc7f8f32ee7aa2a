// The key field: an edit box that records a combination as it is pressed.
// A key pressed with modifiers held records the key and tells the owner the
// modifiers (OnModifiers); a key pressed alone records only the key. Bare
// Esc and Enter stay dialog keys (cancel, default button), recorded only
// with a modifier held; bare Backspace and Delete clear the key; Tab and
// Shift+Tab move the focus; a modifier alone records nothing. While it has
// the focus, a hotkey of the program's own that the user types goes into it
// as its combination instead of running its action.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "gui/Accessible.h"
#include "gui/Controls.h"

namespace corvinade::gui {

class KeyField : public Control, private AccessibleContent {
public:
    KeyField(Container& parent, const ControlArgs& args);

    // The virtual-key code, 0 when empty.
    std::uint16_t Key() const { return key_; }
    // Sets the key and shows its name (empty for 0).
    void SetKey(std::uint16_t key);

    // The name of a key as the field shows it.
    std::function<std::string(std::uint16_t key)> KeyName;
    // The whole combination, with the modifiers its owner keeps: what
    // screen readers read as the field's value. Unset: the key's name.
    std::function<std::string()> Combination;
    // The user recorded a key (0: cleared it).
    std::function<void()> OnChange;
    // The key was pressed with these modifiers held (MOD_ALT, MOD_CONTROL,
    // MOD_SHIFT, MOD_WIN), before OnChange.
    std::function<void(unsigned modifiers)> OnModifiers;

    bool TakeHotkey(unsigned key, unsigned modifiers) override;

protected:
    bool ControlMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    HBRUSH CtlColor(HDC dc) override;

private:
    void Record(std::uint16_t key, unsigned modifiers);
    std::optional<std::string> AccessibleValue() const override;

    std::uint16_t key_ = 0;
    AccessibleWindow accessible_{Handle(), *this};
};

} // namespace corvinade::gui
