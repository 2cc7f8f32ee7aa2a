// The key field: an edit box that records one key without modifiers. Every
// key a user may bind (Enter, Esc, Backspace and Delete included) goes into
// it, Tab and Shift+Tab still move the focus, a modifier alone records
// nothing, and Alt+letter records the letter. While it has the focus, a
// hotkey of the program's own that the user types goes into it as its key
// instead of running its action.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "gui/Controls.h"

namespace corvinade::gui {

class KeyField : public Control {
public:
    KeyField(Container& parent, const ControlArgs& args);

    // The virtual-key code, 0 when empty.
    std::uint16_t Key() const { return key_; }
    // Sets the key and shows its name (empty for 0).
    void SetKey(std::uint16_t key);

    // The name of a key as the field shows it.
    std::function<std::string(std::uint16_t key)> KeyName;
    // The user recorded a key.
    std::function<void()> OnChange;

    bool TakeHotkey(unsigned key) override;

protected:
    bool ControlMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    HBRUSH CtlColor(HDC dc) override;

private:
    void Record(std::uint16_t key);
    std::uint16_t key_ = 0;
};

} // namespace corvinade::gui
