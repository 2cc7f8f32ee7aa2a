// Unit HotkeyTransfer; see HotkeyTransfer.h.
#include "core/HotkeyTransfer.h"

#include <algorithm>

#include "core/TextFile.h"

namespace corvinade {

THotkeyFileContent ReadHotkeyFile(const std::string& fileName) {
    UnregisteredPort unregistered;
    THotkeyList list(unregistered);
    THotkeyFileContent content;
    content.Refused = list.LoadFromText(ReadExistingTextFile(fileName), false);
    content.Definitions = list.Definitions();
    return content;
}

void WriteHotkeyFile(const std::string& fileName, const std::vector<THotKeyData>& definitions) {
    UnregisteredPort unregistered;
    THotkeyList list(unregistered);
    list.AddAll(definitions);
    ReplaceTextFile(fileName, list.ToText());
}

bool SameHotkey(const THotKeyData& a, const THotKeyData& b) {
    return a.Key == b.Key && a.Shift == b.Shift && a.Func == b.Func && a.Params == b.Params &&
           a.Params2 == b.Params2;
}

TImportCount MergeImport(THotkeyDraft& draft, const THotkeyFileContent& content, TImportMode mode) {
    TImportCount count;
    count.Refused = content.Refused;
    if (mode == TImportMode::Replace)
        draft.Entries.clear();
    for (const THotKeyData& imported : content.Definitions) {
        const bool held = mode == TImportMode::Add &&
                          std::any_of(draft.Entries.begin(), draft.Entries.end(), [&](const THotkeyEntry& e) {
                              return SameHotkey(e.Definition, imported);
                          });
        if (held) {
            ++count.Skipped;
            continue;
        }
        draft.Entries.push_back({0, imported});
        ++count.Added;
    }
    return count;
}

std::string HotkeysText(int count) {
    return std::to_string(count) + (count == 1 ? " hotkey" : " hotkeys");
}

std::string ImportReportText(const TImportCount& count) {
    return "Added " + HotkeysText(count.Added) + ", skipped " + std::to_string(count.Skipped) +
           " already in your list, refused " + std::to_string(count.Refused) + " without a known action.";
}

} // namespace corvinade
