// The log-on start entry; see LogonStart.h.
#include "app/LogonStart.h"

#include <windows.h>

#include "core/Wide_win.h"
#include "gui/Registry.h"

namespace corvinade {

std::string LogonStartData(const std::string& programPath, bool enabled) {
    return enabled ? "\"" + programPath + "\"" : std::string();
}

std::string ReadLogonStartEntry() {
    return gui::ReadUserText(RunKeyPath, LogonValueName).value_or(std::string());
}

void WriteLogonStartEntry(bool enabled) {
    gui::WriteUserText(RunKeyPath, LogonValueName, LogonStartData(ModuleFileName(), enabled));
}

} // namespace corvinade
