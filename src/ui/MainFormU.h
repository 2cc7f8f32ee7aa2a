// The application's main window. It stays hidden: it will carry the tray icon
// and show the panel of active hotkeys next to the taskbar.
#pragma once

#include "gui/Form.h"

namespace corvinade {

class TMainForm : public gui::Form {
public:
    TMainForm();

private:
    void FormCreate();
};

extern TMainForm* MainForm;

} // namespace corvinade
