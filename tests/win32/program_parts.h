// The program's parts that are not windows, made as the program entry
// makes them (without a tray), for the tests of the windows that use them.
#pragma once

#include "app/ActionRunner.h"
#include "app/HotkeyService.h"
#include "app/Store.h"
#include "ui/UpdateFlow.h"

namespace corvinade::gui::testing {

struct ProgramParts {
    Store store;
    ActionRunner actions;
    HotkeyService hotkeys{store, actions, actions};
    UpdateCheckFlow updateCheck;
};

} // namespace corvinade::gui::testing
