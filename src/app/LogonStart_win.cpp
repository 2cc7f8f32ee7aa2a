// The log-on start entry of the running program; see LogonStart.h.
#include "app/LogonStart.h"

#include "core/Wide_win.h"
#include "gui/Registry.h"

namespace corvinade {

namespace {

bool NamesThisProgram() {
    if (gui::UserValueKindOf(RunKeyPath, LogonValueName) != gui::UserValueKind::Text)
        return false;
    const auto command = gui::ReadUserText(RunKeyPath, LogonValueName);
    return command && RunCommandNamesProgram(*command, ModuleFileName());
}

} // namespace

LogonStartState ReadLogonStart() {
    if (!NamesThisProgram())
        return {};
    const bool off = TurnedOffInStartupApps(
        gui::ReadUserBinary(StartupApprovedKeyPath, LogonValueName).value_or(std::vector<std::uint8_t>()));
    return {.On = !off, .TurnedOffByWindows = off};
}

void TurnLogonStart(bool on) {
    const bool ours = NamesThisProgram();
    if (!on) {
        if (ours)
            gui::DeleteUserValue(RunKeyPath, LogonValueName);
        return;
    }
    if (!ours)
        gui::WriteUserText(RunKeyPath, LogonValueName, LogonCommand(ModuleFileName()));
    const auto approved = gui::ReadUserBinary(StartupApprovedKeyPath, LogonValueName);
    if (approved && TurnedOffInStartupApps(*approved))
        gui::WriteUserBinary(StartupApprovedKeyPath, LogonValueName, TurnedOnInStartupApps(*approved));
}

} // namespace corvinade
