// The windows of the first start, for the data module: the first-use
// wizard and the settings window shown modally while the tray icon ignores
// the mouse.
#pragma once

#include "app/datau.h"

namespace corvinade {

class FirstRunWindows : public FirstRunPort {
public:
    bool FirstUseWizardShown() const override;
    bool ShowFirstUseWizard() override;
    void ShowSettingsForFirstRun() override;
};

} // namespace corvinade
