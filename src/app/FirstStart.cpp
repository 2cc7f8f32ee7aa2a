// The first start; see FirstStart.h.
#include "app/FirstStart.h"

#include "app/Store.h"
#include "gui/Application.h"

namespace corvinade {

FirstStart::FirstStart(const Store& store, FirstRunPort& windows) : store_(store), windows_(windows) {
    gui::App().Post([this, alive = std::weak_ptr<bool>(alive_)] {
        if (!alive.expired())
            Run();
    });
}

// The guide while the first use is not over; then, when still no file
// exists, the settings window. An unreadable "FirstUse" ends it here.
void FirstStart::Run() {
    ShowGuideIfDue();
    if (!store_.HotkeyFileExists())
        windows_.ShowSettingsForFirstRun();
}

void FirstStart::ShowGuideIfDue() {
    if (!windows_.FirstUseWizardShown() && store_.ReadFirstUse())
        windows_.ShowFirstUseWizard();
}

void FirstStart::Committed() {
    if (checkPosted_)
        return;
    checkPosted_ = true;
    gui::App().Post([this, alive = std::weak_ptr<bool>(alive_)] {
        if (alive.expired())
            return;
        checkPosted_ = false;
        ShowGuideIfDue();
    });
}

} // namespace corvinade
