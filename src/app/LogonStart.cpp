// The log-on start entry; see LogonStart.h.
#include "app/LogonStart.h"

#include <windows.h>

#include "core/Wide_win.h"
#include "gui/Registry.h"

namespace corvinade {

std::string LogonStartData(const std::string& programPath, bool enabled) {
    return enabled ? "\"" + programPath + "\"" : std::string();
}

namespace {

// A value of another type than text was not written by us.
bool NotOurs() {
    return gui::UserValueKindOf(RunKeyPath, LogonValueName) == gui::UserValueKind::Other;
}

} // namespace

std::string ReadLogonStartEntry() {
    return NotOurs() ? std::string() : gui::ReadUserText(RunKeyPath, LogonValueName).value_or(std::string());
}

void WriteLogonStartEntry(bool enabled) {
    if (!enabled && NotOurs())
        return;
    gui::WriteUserText(RunKeyPath, LogonValueName, LogonStartData(ModuleFileName(), enabled));
}

} // namespace corvinade
