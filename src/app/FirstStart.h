// The first start: once the message loop runs, the setup guide while the
// first use is not over, then, while still no hotkey file exists, the
// settings window; after each commit the guide again while "FirstUse" is
// still true. It asks the windows of the user interface for these through
// FirstRunPort, which the program entry hands it.
#pragma once

#include <memory>

namespace corvinade {

class Store;

// The windows of the first start. Called from posted tasks only, never
// from inside a save.
class FirstRunPort {
public:
    virtual ~FirstRunPort() = default;
    // A first-use wizard is being shown.
    virtual bool FirstUseWizardShown() const = 0;
    // Shows the first-use wizard modally.
    virtual void ShowFirstUseWizard() = 0;
    // The settings window, modally, while the tray icon ignores the mouse
    // and the application window and the panel are hidden; the icon takes
    // the mouse again however it ends.
    virtual void ShowSettingsForFirstRun() = 0;
};

class FirstStart {
public:
    // Posts the first start's windows for when the loop runs.
    FirstStart(const Store& store, FirstRunPort& windows);
    FirstStart(const FirstStart&) = delete;
    FirstStart& operator=(const FirstStart&) = delete;

    // A commit went through: the guide follows, once the caller has
    // returned, while the first use is not over.
    void Committed();

private:
    void Run();
    void ShowGuideIfDue();

    const Store& store_;
    FirstRunPort& windows_;
    bool checkPosted_ = false;
    // Tasks posted for an object gone by then do nothing.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

} // namespace corvinade
